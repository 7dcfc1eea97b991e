#pragma once
// GDI+ for the whole program: the header with what it needs before it, and owned images.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <memory>

namespace fx {

// GDI+ images are freed with delete (GdiplusBase supplies the matching operator delete).
using ImagePtr = std::unique_ptr<Gdiplus::Image>;

inline Gdiplus::Rect ToGdiplusRect(const RECT& rect)
{
    return Gdiplus::Rect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

}  // namespace fx
