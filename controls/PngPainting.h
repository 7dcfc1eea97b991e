#pragma once
// PNG artwork: loading from the program's resources, showing a frame image with per-pixel alpha
// in a layered window, and painting backgrounds and background pieces into device contexts.
#include "framework/Gdi.h"
#include "framework/GdiplusImage.h"

// Loads PNG resource `id` (resource type "PNG") into `image`. False when the resource is missing
// or cannot be loaded; `image` is then left as it was.
bool LoadPngFromResource(fx::ImagePtr& image, UINT id);

// Loads `image` from resource `id` when it is still empty; true when it is loaded.
bool EnsurePngLoaded(fx::ImagePtr& image, UINT id);

// Whether the program's resources hold PNG `id`.
bool HasPngResource(UINT id);

// Makes `frame` a layered window and shows PNG `imageId` stretched to `size` at the frame's current
// position with per-pixel alpha. False (and the frame unpainted) when the image cannot be loaded.
// The window keeps what it shows, so the decoded picture is freed again at once.
bool PaintLayeredFrame(HWND frame, SIZE size, UINT imageId);

// `source` (image pixels) of the image stretched over `destination`. The image's edge pixels are
// mirrored outward while sampling, so that a stretched picture gets no dark seam along its
// right and bottom edges.
void DrawStretched(Gdiplus::Graphics& graphics, Gdiplus::Image& image, const RECT& destination, const RECT& source);
// The whole image stretched over `destination`.
void DrawStretched(Gdiplus::Graphics& graphics, Gdiplus::Image& image, const RECT& destination);

// The whole image stretched over `rect`.
void PaintBackground(HDC dc, const RECT& rect, Gdiplus::Image& image);
// The same through a memory bitmap copied in one BitBlt, so that nothing half-drawn shows.
void PaintBackgroundBuffered(HDC dc, const RECT& rect, Gdiplus::Image& image);

// The part of a parent's background image that lies behind a control, in unscaled image pixels.
// A control paints it first over its whole client rectangle and so looks transparent.
class CBackgroundPiece
{
public:
    void SetImage(Gdiplus::Image* image) { m_image = image; }
    void SetRect(int left, int top, int right, int bottom) { m_source = {left, top, right, bottom}; }
    bool IsSet() const { return m_image != nullptr; }
    const RECT& Source() const { return m_source; }
    void Draw(Gdiplus::Graphics& graphics, const RECT& destination) const;
    // The same on a device context of its own, when nothing else is drawn with GDI+.
    void Draw(HDC dc, const RECT& destination) const;

private:
    Gdiplus::Image* m_image = nullptr;  // not owned: the parent's background
    RECT m_source{};
};

// Paints through a memory bitmap the size of `rect`: `paint(memoryDc, localRect)` draws, then one
// BitBlt copies the result to `dc` at the rectangle's place. False when no bitmap could be made.
template <class TPaint>
bool PaintBuffered(HDC dc, const RECT& rect, TPaint&& paint)
{
    const int width = fx::Width(rect);
    const int height = fx::Height(rect);
    if (width <= 0 || height <= 0) return false;
    fx::CBitmap bitmap(CreateCompatibleBitmap(dc, width, height));
    fx::CMemoryDC memory(dc);
    if (!bitmap || !memory) return false;
    {
        fx::CSelectObject select(memory.Get(), bitmap.Get());
        paint(memory.Get(), RECT{0, 0, width, height});
        BitBlt(dc, rect.left, rect.top, width, height, memory.Get(), 0, 0, SRCCOPY);
    }
    return true;
}
