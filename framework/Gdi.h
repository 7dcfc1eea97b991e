#pragma once
// RAII types for GDI: one type per handle kind, each with its own release call, move-only.
// Owning types (CFont, CBitmap, ...) delete their object; borrowed handles stay plain HXXX values.
#include <windows.h>

#include <utility>

namespace fx {

// A GDI object (pen, brush, font, bitmap, region) released with DeleteObject.
template <class THandle>
class CGdiObject
{
public:
    CGdiObject() = default;
    explicit CGdiObject(THandle handle) : m_handle(handle) {}
    ~CGdiObject() { Reset(); }
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;
    CGdiObject(CGdiObject&& other) noexcept : m_handle(other.Release()) {}
    CGdiObject& operator=(CGdiObject&& other) noexcept
    {
        if (this != &other) Reset(other.Release());
        return *this;
    }

    THandle Get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }
    THandle Release() { return std::exchange(m_handle, nullptr); }
    void Reset(THandle handle = nullptr)
    {
        if (m_handle) DeleteObject(m_handle);
        m_handle = handle;
    }

private:
    THandle m_handle = nullptr;
};

using CFont = CGdiObject<HFONT>;
using CBrush = CGdiObject<HBRUSH>;
using CPen = CGdiObject<HPEN>;
using CBitmap = CGdiObject<HBITMAP>;

// GetDC / ReleaseDC.
class CClientDC
{
public:
    explicit CClientDC(HWND window) : m_window(window), m_dc(GetDC(window)) {}
    ~CClientDC()
    {
        if (m_dc) ReleaseDC(m_window, m_dc);
    }
    CClientDC(const CClientDC&) = delete;
    CClientDC& operator=(const CClientDC&) = delete;

    HDC Get() const { return m_dc; }
    explicit operator bool() const { return m_dc != nullptr; }

private:
    HWND m_window;  // not owned
    HDC m_dc;
};

// CreateCompatibleDC / DeleteDC.
class CMemoryDC
{
public:
    explicit CMemoryDC(HDC compatibleWith) : m_dc(CreateCompatibleDC(compatibleWith)) {}
    ~CMemoryDC()
    {
        if (m_dc) DeleteDC(m_dc);
    }
    CMemoryDC(const CMemoryDC&) = delete;
    CMemoryDC& operator=(const CMemoryDC&) = delete;

    HDC Get() const { return m_dc; }
    explicit operator bool() const { return m_dc != nullptr; }

private:
    HDC m_dc;
};

// BeginPaint / EndPaint; only inside WM_PAINT.
class CPaintDC
{
public:
    explicit CPaintDC(HWND window) : m_window(window) { m_dc = BeginPaint(window, &m_paint); }
    ~CPaintDC() { EndPaint(m_window, &m_paint); }
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;

    HDC Get() const { return m_dc; }
    const PAINTSTRUCT& Paint() const { return m_paint; }

private:
    HWND m_window;  // not owned
    PAINTSTRUCT m_paint{};
    HDC m_dc = nullptr;
};

// Selects an object into a DC and restores the previous one on scope exit. Declare the owner of
// the selected object before the selector, so that the object is deselected before it is deleted.
class CSelectObject
{
public:
    CSelectObject(HDC dc, HGDIOBJ object) : m_dc(dc), m_previous(object ? SelectObject(dc, object) : nullptr) {}
    ~CSelectObject()
    {
        if (m_previous) SelectObject(m_dc, m_previous);
    }
    CSelectObject(const CSelectObject&) = delete;
    CSelectObject& operator=(const CSelectObject&) = delete;

private:
    HDC m_dc;            // not owned
    HGDIOBJ m_previous;  // not owned: the DC's own object before the selection
};

// A 32-bit top-down DIB section, the pixel format that layered windows and pixel tests need.
struct CDibSection
{
    CBitmap bitmap;
    void* bits = nullptr;  // owned by the bitmap

    CDibSection(HDC dc, int width, int height)
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        bitmap.Reset(CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        if (!bitmap) bits = nullptr;
    }
};

inline int Width(const RECT& rect) { return rect.right - rect.left; }
inline int Height(const RECT& rect) { return rect.bottom - rect.top; }

}  // namespace fx
