#include "controls/PngPainting.h"

#include "framework/Application.h"

#include <cstring>

bool HasPngResource(UINT id)
{
    return FindResourceW(fx::CWinApp::ResourceHandle(), MAKEINTRESOURCEW(id), L"PNG") != nullptr;
}

bool LoadPngFromResource(fx::ImagePtr& image, UINT id)
{
    HINSTANCE module = fx::CWinApp::ResourceHandle();
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(id), L"PNG");
    if (!resource) return false;
    const DWORD size = SizeofResource(module, resource);
    HGLOBAL loaded = LoadResource(module, resource);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes || size == 0) return false;

    HGLOBAL copy = GlobalAlloc(GMEM_FIXED, size);
    if (!copy) return false;
    std::memcpy(GlobalLock(copy), bytes, size);
    GlobalUnlock(copy);
    // The stream frees the block when its last reference goes. GDI+ keeps a reference for as
    // long as the image lives (it may read the stream again while drawing), so the copy lives
    // exactly as long as the image.
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(copy, TRUE, &stream))) {
        GlobalFree(copy);
        return false;
    }
    fx::ImagePtr loadedImage(new Gdiplus::Image(stream, FALSE));
    stream->Release();
    // An undecodable resource gives an image object that draws nothing: it is no image, and the
    // caller's earlier one stays.
    if (loadedImage->GetLastStatus() != Gdiplus::Ok) return false;
    image = std::move(loadedImage);
    return true;
}

bool EnsurePngLoaded(fx::ImagePtr& image, UINT id) { return image || LoadPngFromResource(image, id); }

bool PaintLayeredFrame(HWND frame, SIZE size, UINT imageId)
{
    SetWindowLongW(frame, GWL_EXSTYLE, GetWindowLongW(frame, GWL_EXSTYLE) | WS_EX_LAYERED);
    fx::ImagePtr image;
    if (!LoadPngFromResource(image, imageId) || size.cx <= 0 || size.cy <= 0) return false;

    fx::CClientDC windowDc(frame);
    // UpdateLayeredWindow wants premultiplied 32-bit BGRA: GDI+ draws into the DIB's pixels
    // through a PARGB bitmap, since GDI+ on an HDC would not keep the alpha channel.
    fx::CDibSection canvas(windowDc.Get(), size.cx, size.cy);
    fx::CMemoryDC memory(windowDc.Get());
    if (!canvas.bits || !memory) return false;
    {
        Gdiplus::Bitmap pixels(size.cx, size.cy, size.cx * 4, PixelFormat32bppPARGB, static_cast<BYTE*>(canvas.bits));
        Gdiplus::Graphics graphics(&pixels);
        graphics.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
        DrawStretched(graphics, *image, RECT{0, 0, size.cx, size.cy});
        graphics.Flush(Gdiplus::FlushIntentionSync);
    }
    fx::CSelectObject select(memory.Get(), canvas.bitmap.Get());
    RECT window{};
    GetWindowRect(frame, &window);
    POINT position{window.left, window.top};
    POINT source{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    return UpdateLayeredWindow(frame, windowDc.Get(), &position, &size, memory.Get(), &source, 0, &blend, ULW_ALPHA) !=
           FALSE;
}

void DrawStretched(Gdiplus::Graphics& graphics, Gdiplus::Image& image, const RECT& destination, const RECT& source)
{
    Gdiplus::ImageAttributes attributes;
    attributes.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
    graphics.DrawImage(&image, fx::ToGdiplusRect(destination), source.left, source.top, fx::Width(source),
                       fx::Height(source), Gdiplus::UnitPixel, &attributes);
}

void DrawStretched(Gdiplus::Graphics& graphics, Gdiplus::Image& image, const RECT& destination)
{
    DrawStretched(graphics, image, destination,
                  RECT{0, 0, static_cast<LONG>(image.GetWidth()), static_cast<LONG>(image.GetHeight())});
}

void PaintBackground(HDC dc, const RECT& rect, Gdiplus::Image& image)
{
    Gdiplus::Graphics graphics(dc);
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
    DrawStretched(graphics, image, rect);
}

void PaintBackgroundBuffered(HDC dc, const RECT& rect, Gdiplus::Image& image)
{
    PaintBuffered(dc, RECT{0, 0, rect.right, rect.bottom},
                  [&](HDC memory, const RECT&) { PaintBackground(memory, rect, image); });
}

void CBackgroundPiece::Draw(Gdiplus::Graphics& graphics, const RECT& destination) const
{
    if (m_image) DrawStretched(graphics, *m_image, destination, m_source);
}

void CBackgroundPiece::Draw(HDC dc, const RECT& destination) const
{
    if (!m_image) return;
    Gdiplus::Graphics graphics(dc);
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
    Draw(graphics, destination);
}
