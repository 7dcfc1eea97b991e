#include "controls/CheckBoxBtn.h"

#include "controls/Fonts.h"
#include "framework/MessageMap.h"
#include "framework/Scale.h"

bool CCheckBoxBtn::ProcessMessage(fx::Message& m)
{
    // The button class draws its own face straight to the screen when its check, press or focus
    // state changes; each of those is followed at once by our own painting.
    static const fx::MessageEntry<CCheckBoxBtn> map[] = {
        fx::OnMessage(WM_PAINT, &CCheckBoxBtn::OnPaint),
        fx::OnMessage(WM_ERASEBKGND, &CCheckBoxBtn::OnEraseBackground),
        fx::OnMessage(WM_MBUTTONDOWN, &CCheckBoxBtn::OnMiddleButtonDown),
        fx::OnMessage(BM_SETCHECK, &CCheckBoxBtn::RedrawAfterDefault),
        fx::OnMessage(BM_SETSTATE, &CCheckBoxBtn::RedrawAfterDefault),
        fx::OnMessage(WM_LBUTTONDOWN, &CCheckBoxBtn::RedrawAfterDefault),
        fx::OnMessage(WM_LBUTTONUP, &CCheckBoxBtn::RedrawAfterDefault),
        fx::OnMessage(WM_LBUTTONDBLCLK, &CCheckBoxBtn::RedrawAfterDefault),
        fx::OnMessage(WM_KEYUP, &CCheckBoxBtn::RedrawAfterDefault),
        fx::OnMessage(WM_SETFOCUS, &CCheckBoxBtn::RedrawAfterDefault),
        fx::OnMessage(WM_KILLFOCUS, &CCheckBoxBtn::RedrawAfterDefault),
        fx::OnMessage(WM_ENABLE, &CCheckBoxBtn::RedrawAfterDefault),
        fx::OnMessage(WM_SETTEXT, &CCheckBoxBtn::RedrawAfterDefault),
        fx::OnMessage(WM_UPDATEUISTATE, &CCheckBoxBtn::RedrawAfterDefault),
    };
    return fx::Dispatch(*this, map, m);
}

void CCheckBoxBtn::UseParentFont() { DeriveFont(GetParent(), 0, 0, m_font); }

bool CCheckBoxBtn::RedrawAfterDefault(fx::Message& m)
{
    m.result = Default(m);
    if (m_hWnd) RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    return true;
}

bool CCheckBoxBtn::OnMiddleButtonDown(fx::Message& m)
{
    Invalidate();
    return false;
}

bool CCheckBoxBtn::OnEraseBackground(fx::Message& m)
{
    m.result = TRUE;
    return true;
}

bool CCheckBoxBtn::OnPaint(fx::Message& m)
{
    fx::CPaintDC paint(m_hWnd);
    EnsurePngLoaded(m_strip, kStripImageId);
    const RECT client = GetClientRect();
    PaintBuffered(paint.Get(), client, [this](HDC dc, const RECT& rect) { PaintFace(dc, rect); });
    return true;
}

void CCheckBoxBtn::PaintFace(HDC dc, const RECT& rect)
{
    FillRect(dc, &rect, m_brBackground.Get());
    SetBkMode(dc, TRANSPARENT);
    {
        Gdiplus::Graphics graphics(dc);
        graphics.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
        m_background.Draw(graphics, rect);
        if (m_strip) {
            const int box = fx::Scaled(kCellSize, m_fScale);
            const int top = fx::Height(rect) / 2 - fx::Scaled(kCellSize / 2, m_fScale);
            const int cell = CellForCheckState(SendMessage(BM_GETCHECK));
            DrawStretched(graphics, *m_strip, RECT{rect.left, top, rect.left + box, top + box},
                          RECT{cell, 0, cell + kCellSize, kCellSize});
        }
    }
    fx::CSelectObject select(dc, m_font.Get());
    ::SetTextColor(dc, m_crText);
    RECT text = rect;
    text.left += fx::Scaled(kCellSize, m_fScale) + 2;
    const std::wstring caption = GetWindowText();
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text, DT_VCENTER | DT_SINGLELINE);
}
