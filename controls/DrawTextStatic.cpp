#include "controls/DrawTextStatic.h"

#include "controls/Fonts.h"
#include "framework/MessageMap.h"

bool CDrawnStaticBase::ProcessMessage(fx::Message& m)
{
    static const fx::MessageEntry<CDrawnStaticBase> map[] = {
        fx::OnMessage(WM_PAINT, &CDrawnStaticBase::OnPaint),
        fx::OnMessage(WM_ERASEBKGND, &CDrawnStaticBase::OnEraseBackground),
        fx::OnMessage(WM_SETTEXT, &CDrawnStaticBase::OnSetText),
    };
    return fx::Dispatch(*this, map, m);
}

bool CDrawnStaticBase::OnPaint(fx::Message& m)
{
    fx::CPaintDC paint(m_hWnd);
    const RECT client = GetClientRect();
    PaintBuffered(paint.Get(), client, [this](HDC dc, const RECT& rect) { PaintFace(dc, rect); });
    return true;
}

bool CDrawnStaticBase::OnEraseBackground(fx::Message& m)
{
    m.result = TRUE;  // WM_PAINT covers every pixel
    return true;
}

bool CDrawnStaticBase::OnSetText(fx::Message& m)
{
    // The static class paints the new text itself at once; store it plainly and repaint ours.
    m.result = DefWindowProcW(m.hwnd, m.message, m.wParam, m.lParam);
    Invalidate();
    return true;
}

void CDrawnStaticBase::DrawLabelText(HDC dc, const RECT& rect, COLORREF color, int format) const
{
    if (format < 0) return;
    fx::CSelectObject select(dc, m_font.Get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, color);
    RECT textRect = rect;
    const std::wstring text = DisplayText();
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &textRect, static_cast<UINT>(format));
}

int CDrawTextStatic::FormatFor(int code)
{
    switch (code) {
    case 0: return DT_WORDBREAK | DT_VCENTER;
    case 1: return DT_SINGLELINE | DT_VCENTER;
    case 2: return DT_SINGLELINE | DT_VCENTER | DT_CENTER;
    case 3: return DT_WORDBREAK | DT_VCENTER | DT_RIGHT;
    case 4: return DT_SINGLELINE | DT_VCENTER;
    default: return -1;
    }
}

bool CDrawTextStatic::SetFont(int sizeIncrease, int weight)
{
    return DeriveFont(GetParent(), sizeIncrease, weight, m_font);
}

void CDrawTextStatic::SetTextColors(COLORREF normal, COLORREF hover)
{
    m_crNormal = normal;
    m_crHover = hover;
}

bool CDrawTextStatic::ContainsScreenPoint(int x, int y) const
{
    const RECT window = GetWindowRect();
    return PtInRect(&window, POINT{x, y}) != FALSE;
}

void CDrawTextStatic::UpdateHover(int x, int y)
{
    const bool hovered = ContainsScreenPoint(x, y);
    if (hovered == m_bHovered) return;
    m_bHovered = hovered;
    Invalidate();
}

void CDrawTextStatic::PaintFace(HDC dc, const RECT& rect)
{
    if (!m_brBackground) m_brBackground.Reset(CreateSolidBrush(m_crBackground));
    FillRect(dc, &rect, m_brBackground.Get());
    m_background.Draw(dc, rect);
    DrawLabelText(dc, rect, m_bHovered ? m_crHover : m_crNormal, FormatFor(m_nAlignment));
}

int CDrawStateInfoStatic::FormatFor(int code)
{
    switch (code) {
    case 2: return DT_SINGLELINE | DT_VCENTER | DT_CENTER;
    case 3: return DT_SINGLELINE | DT_VCENTER | DT_RIGHT;
    case 4: return DT_WORDBREAK | DT_VCENTER;
    case 5: return DT_WORDBREAK | DT_VCENTER | DT_CENTER;
    case 6: return DT_WORDBREAK | DT_VCENTER | DT_RIGHT;
    default: return DT_SINGLELINE | DT_VCENTER;
    }
}

bool CDrawStateInfoStatic::ProcessMessage(fx::Message& m)
{
    static const fx::MessageEntry<CDrawStateInfoStatic> map[] = {
        fx::OnTimer(kDotsTimer, &CDrawStateInfoStatic::OnDotsTimer),
    };
    return fx::Dispatch(*this, map, m) || CDrawnStaticBase::ProcessMessage(m);
}

void CDrawStateInfoStatic::UseParentFont() { DeriveFont(GetParent(), 0, 0, m_font); }

void CDrawStateInfoStatic::SetTextColorAndRedraw(COLORREF color)
{
    m_crText = color;
    Invalidate();
}

void CDrawStateInfoStatic::StopDots()
{
    KillTimer(kDotsTimer);
    m_nDots = 0;
    Invalidate();
}

bool CDrawStateInfoStatic::OnDotsTimer(fx::Message&)
{
    m_nDots = (m_nDots + 1) % 4;
    Invalidate();
    return false;  // timers get the default processing too
}

std::wstring CDrawStateInfoStatic::DisplayText() const
{
    return GetWindowText() + std::wstring(static_cast<size_t>(m_nDots), L'.');
}

void CDrawStateInfoStatic::PaintFace(HDC dc, const RECT& rect)
{
    FillRect(dc, &rect, m_brBackground.Get());
    m_background.Draw(dc, rect);
    DrawLabelText(dc, rect, m_crText, FormatFor(m_nAlignment));
}
