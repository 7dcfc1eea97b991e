#include "controls/HeaderCtrlEx.h"

#include "controls/Fonts.h"
#include "controls/PngPainting.h"
#include "framework/MessageMap.h"
#include "framework/Scale.h"
#include "res/PrivateMessages.h"
#include "res/resource.h"

#include <array>
#include <vector>

namespace {
constexpr size_t kCaptionCapacity = 260;
}  // namespace

void CHeaderCtrlEx::SetBkColor(BYTE red, BYTE green, BYTE blue)
{
    m_bkRed = red;
    m_bkGreen = green;
    m_bkBlue = blue;
}

RECT CHeaderCtrlEx::CheckBoxRect(const RECT& column, float scale)
{
    const int left = column.left + fx::Scaled(3, scale);
    const int top = column.top + fx::Scaled(8, scale);
    const int size = fx::Scaled(kCellSize, scale);
    return RECT{left, top, left + size, top + size};
}

bool CHeaderCtrlEx::ProcessMessage(fx::Message& m)
{
    static const fx::MessageEntry<CHeaderCtrlEx> map[] = {
        fx::OnMessage(HDM_LAYOUT, &CHeaderCtrlEx::OnLayout),  // our height, for header and rows
        fx::OnMessage(WM_PAINT, &CHeaderCtrlEx::OnPaint),
        fx::OnMessage(WM_ERASEBKGND, &CHeaderCtrlEx::OnEraseBackground),
        fx::OnMessage(WM_LBUTTONUP, &CHeaderCtrlEx::OnLButtonUp),  // the check-all box
    };
    return fx::Dispatch(*this, map, m);
}

bool CHeaderCtrlEx::OnLayout(fx::Message& m)
{
    m.result = Default(m);
    auto* layout = m.Data<HDLAYOUT>();
    if (m.result && layout && layout->prc && layout->pwpos) {
        layout->pwpos->cy = m_nHeight;
        layout->prc->top = m_nHeight;
    }
    return true;
}

bool CHeaderCtrlEx::OnEraseBackground(fx::Message& m)
{
    m.result = TRUE;  // the paint covers everything
    return true;
}

bool CHeaderCtrlEx::OnPaint(fx::Message& m)
{
    fx::CPaintDC paint(m_hWnd);
    const RECT client = GetClientRect();
    PaintBuffered(paint.Get(), client, [this](HDC dc, const RECT& rect) { PaintFace(dc, rect); });
    m.result = 0;
    return true;
}

void CHeaderCtrlEx::PaintFace(HDC dc, const RECT& client)
{
    fx::CBrush background(CreateSolidBrush(GetBkColor()));
    FillRect(dc, &client, background.Get());
    m_rcCheckBox = RECT{};

    const int count = Header_GetItemCount(m_hWnd);
    if (count <= 0) return;
    std::vector<int> order(static_cast<size_t>(count));
    if (!Header_GetOrderArray(m_hWnd, count, order.data())) {
        for (int i = 0; i < count; ++i) order[static_cast<size_t>(i)] = i;
    }
    fx::CSelectObject font(dc, GetWindowFontOrDefault(m_hWnd));
    SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, m_crText);
    for (size_t position = 0; position < order.size(); ++position) {
        const bool first = position == 0;
        bool boxShown = false;
        if (first && m_bHasCheckBox) {
            // Without its picture the header stops painting here.
            if (!EnsurePngLoaded(m_pCheckStrip, IDB_HEADER_CHECKBOX_STRIP)) return;
            boxShown = true;
        }
        PaintColumn(dc, order[position], first, boxShown);
    }
}

void CHeaderCtrlEx::PaintColumn(HDC dc, int index, bool first, bool boxShown)
{
    RECT column{};
    if (!Header_GetItemRect(m_hWnd, index, &column)) return;
    if (boxShown) {
        m_rcCheckBox = CheckBoxRect(column, m_fScale);
        const int cell = m_bChecked ? kCellSize : 0;
        Gdiplus::Graphics graphics(dc);
        graphics.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
        DrawStretched(graphics, *m_pCheckStrip, m_rcCheckBox, RECT{cell, 0, cell + kCellSize, kCellSize});
    }

    std::array<wchar_t, kCaptionCapacity> caption{};
    HDITEMW item{};
    item.mask = HDI_TEXT;
    item.pszText = caption.data();
    item.cchTextMax = static_cast<int>(caption.size());
    if (!Header_GetItem(m_hWnd, index, &item) || !item.pszText) return;
    caption.back() = L'\0';

    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    RECT text = column;
    text.left += first && boxShown ? fx::Scaled(20, m_fScale) : fx::Scaled(3, m_fScale);
    text.top += (fx::Height(column) - metrics.tmHeight) / 2;
    DrawTextW(dc, item.pszText, -1, &text, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
}

bool CHeaderCtrlEx::OnLButtonUp(fx::Message& m)
{
    const POINT point = m.Point();
    if (m_bHasCheckBox && PtInRect(&m_rcCheckBox, point)) {
        m_bChecked = m_bChecked ? 0 : 1;
        ::SendMessageW(GetParent(), WM_HEADER_CHECK_CHANGED, static_cast<WPARAM>(m_bChecked), 0);
        Invalidate(false);
    }
    m.result = Default(m);
    return true;
}
