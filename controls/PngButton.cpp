#include "controls/PngButton.h"

#include "framework/MessageMap.h"

#include <algorithm>

void CSkinButtonBase::SetStateImages(UINT normalId, UINT hoverId, UINT pressedId, UINT disabledId)
{
    FreeStateImages();
    m_stateImageIds = {normalId, hoverId, pressedId, disabledId};
}

void CSkinButtonBase::FreeStateImages()
{
    for (auto& image : m_stateImages) image.reset();
    m_stateImageIds = {};
}

bool CSkinButtonBase::HasAllStateImages() const
{
    return std::all_of(m_stateImageIds.begin(), m_stateImageIds.end(), HasPngResource);
}

Gdiplus::Image* CSkinButtonBase::CurrentImage() const
{
    constexpr size_t kDisabledSlot = 3;
    const size_t state = m_hWnd && !IsWindowEnabled() ? kDisabledSlot : static_cast<size_t>(m_nState - 1);
    const auto first = std::find(m_stateImageIds.begin(), m_stateImageIds.end(), m_stateImageIds[state]);
    const auto slot = static_cast<size_t>(first - m_stateImageIds.begin());
    EnsurePngLoaded(m_stateImages[slot], m_stateImageIds[slot]);
    return m_stateImages[slot].get();
}

bool CSkinButtonBase::ProcessMessage(fx::Message& m)
{
    static const fx::MessageEntry<CSkinButtonBase> map[] = {
        fx::OnMessage(WM_MOUSEMOVE, &CSkinButtonBase::OnMouseMove),    // tracking request
        fx::OnMessage(WM_MOUSEHOVER, &CSkinButtonBase::OnMouseHover),  // -> hover
        fx::OnMessage(WM_LBUTTONUP, &CSkinButtonBase::OnMouseHover),   // release -> hover
        fx::OnMessage(WM_LBUTTONDOWN, &CSkinButtonBase::OnLButtonDown),
        fx::OnMessage(WM_MOUSELEAVE, &CSkinButtonBase::OnMouseLeave),
        fx::OnMessage(fx::WM_REFLECT_DRAWITEM, &CSkinButtonBase::OnDrawItem),
    };
    return fx::Dispatch(*this, map, m);
}

void CSkinButtonBase::ChangeState(int state)
{
    if (m_nState == state) return;
    m_nState = state;
    Invalidate();
}

bool CSkinButtonBase::OnMouseMove(fx::Message& m)
{
    m.result = Default(m);
    if (IsWindowEnabled() && !m_bTracking) {
        TRACKMOUSEEVENT track{sizeof(track), TME_HOVER | TME_LEAVE, m_hWnd, kHoverTimeMs};
        m_bTracking = TrackMouseEvent(&track) != FALSE;
    }
    return true;
}

bool CSkinButtonBase::OnMouseHover(fx::Message& m)
{
    if (IsWindowEnabled() && AcceptsPoint(m.Point())) ChangeState(kHover);
    // The hover has come, and only the leave is still awaited: asked for alone, it is watched at the
    // system's own pace. Otherwise a system that watches the leave by polling (Wine) keeps polling at
    // the hover's 10 ms for as long as the cursor rests on the button.
    if (m.message == WM_MOUSEHOVER && m_bTracking) {
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, m_hWnd, HOVER_DEFAULT};
        m_bTracking = TrackMouseEvent(&track) != FALSE;
    }
    return false;  // the default processing follows (release of capture, the click)
}

bool CSkinButtonBase::OnLButtonDown(fx::Message& m)
{
    if (IsWindowEnabled() && AcceptsPoint(m.Point())) ChangeState(kPressed);
    return false;
}

bool CSkinButtonBase::OnMouseLeave(fx::Message& m)
{
    m.result = Default(m);
    if (IsWindowEnabled()) ChangeState(kNormal);
    m_bTracking = false;
    return true;
}

bool CSkinButtonBase::OnDrawItem(fx::Message& m)
{
    const auto* item = m.Data<DRAWITEMSTRUCT>();
    if (HasAllStateImages()) {
        PaintBuffered(item->hDC, item->rcItem, [this](HDC dc, const RECT& rect) { PaintFace(dc, rect); });
    }
    m.result = TRUE;
    return true;
}

RECT CPngButton::StateImageSource(UINT width, UINT height, float scale)
{
    const LONG shrink = scale > 1.0f ? 1 : 0;
    return RECT{0, 0, static_cast<LONG>(width) - shrink, static_cast<LONG>(height) - shrink};
}

void CPngButton::PaintFace(HDC dc, const RECT& rect) const
{
    Gdiplus::Image* image = CurrentImage();
    if (!HasAllStateImages() || !image) return;
    Gdiplus::Graphics graphics(dc);
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
    if (m_background.IsSet())
        m_background.Draw(graphics, rect);
    else
        FillRect(dc, &rect, m_brBackground.Get());
    DrawStretched(graphics, *image, rect, StateImageSource(image->GetWidth(), image->GetHeight(), m_fScale));
}

bool CImageButton::ProcessMessage(fx::Message& m)
{
    static const fx::MessageEntry<CImageButton> map[] = {
        fx::OnMessage(WM_ERASEBKGND, &CImageButton::OnEraseBackground),
    };
    return fx::Dispatch(*this, map, m) || CSkinButtonBase::ProcessMessage(m);
}

bool CImageButton::AcceptsPoint(POINT point) const
{
    const RECT client = GetClientRect();
    return PtInRect(&client, point) != FALSE;
}

bool CImageButton::IsCursorInHotArea() const
{
    POINT cursor{};
    if (!GetCursorPos(&cursor) || !ScreenToClient(m_hWnd, &cursor)) return false;
    RECT hot = GetClientRect();
    hot.left += m_insets.left;
    hot.top += m_insets.top;
    hot.right -= m_insets.right;
    hot.bottom -= m_insets.bottom;
    return PtInRect(&hot, cursor) != FALSE;
}

void CImageButton::PaintFace(HDC dc, const RECT& rect) const
{
    Gdiplus::Image* image = CurrentImage();
    if (!HasAllStateImages() || !image) return;
    FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    Gdiplus::Graphics graphics(dc);
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
    m_background.Draw(graphics, rect);
    DrawStretched(graphics, *image, rect);
}

bool CImageButton::OnEraseBackground(fx::Message& m)
{
    if (HasAllStateImages()) {
        const RECT client = GetClientRect();
        PaintBuffered(m.Dc(), client, [this](HDC dc, const RECT& rect) { PaintFace(dc, rect); });
    }
    m.result = TRUE;
    return true;
}
