#include "controls/SkinScrollBar.h"

#include "controls/PngPainting.h"
#include "framework/Gdi.h"
#include "framework/MessageMap.h"
#include "framework/Scale.h"

#include <algorithm>

namespace scrollskin {

void StretchTile(HDC dc, const RECT& destination, HDC skinDc, const RECT& source)
{
    if (fx::Width(destination) <= 0 || fx::Height(destination) <= 0) return;
    StretchBlt(dc, destination.left, destination.top, fx::Width(destination), fx::Height(destination), skinDc,
               source.left, source.top, fx::Width(source), fx::Height(source), SRCCOPY);
}

void TileOver(HDC dc, const RECT& destination, HDC skinDc, const RECT& source, float scale)
{
    const int stepX = std::max(1, fx::Scaled(static_cast<float>(fx::Width(source)), scale));
    const int stepY = std::max(1, fx::Scaled(static_cast<float>(fx::Height(source)), scale));
    for (LONG y = destination.top; y < destination.bottom; y += stepY) {
        for (LONG x = destination.left; x < destination.right; x += stepX) {
            const RECT piece{x, y, std::min<LONG>(x + stepX, destination.right),
                             std::min<LONG>(y + stepY, destination.bottom)};
            StretchTile(dc, piece, skinDc, source);
        }
    }
}

}  // namespace scrollskin

namespace {

// Each end cap of the thumb is this long (plus the thumb cap) and keeps its length at any scale.
constexpr int kThumbEndCap = 3;
constexpr int kMinimumThumb = 6;

// The tile column of a part: the horizontal columns follow the vertical ones.
int ColumnFor(int part, bool vertical)
{
    int column = scrollskin::kVerticalTrack;
    switch (part) {
    case SB_LINEUP: column = scrollskin::kUpArrow; break;
    case SB_LINEDOWN: column = scrollskin::kDownArrow; break;
    case SB_THUMBTRACK: column = scrollskin::kVerticalThumb; break;
    default: break;
    }
    return vertical ? column : column + scrollskin::kLeftArrow;
}

bool IsArrow(int part) { return part == SB_LINEUP || part == SB_LINEDOWN; }

// The piece of `rect` from `start` to `end` along the bar's axis, counted from the rectangle's start.
RECT AlongAxis(const RECT& rect, int start, int end, bool vertical)
{
    return vertical ? RECT{rect.left, rect.top + start, rect.right, rect.top + end}
                    : RECT{rect.left + start, rect.top, rect.left + end, rect.bottom};
}

}  // namespace

int ScrollBarLayout::PartAt(int offset) const
{
    if (offset < 0 || offset >= length) return CSkinScrollBar::kNoPart;
    if (offset < arrow) return SB_LINEUP;
    if (offset >= length - arrow) return SB_LINEDOWN;
    if (offset < thumbStart) return SB_PAGEUP;
    if (offset < thumbStart + thumb) return SB_THUMBTRACK;
    return SB_PAGEDOWN;
}

std::pair<int, int> ScrollBarLayout::Extent(int part) const
{
    const int trackEnd = std::max(arrow, length - arrow);
    std::pair<int, int> extent{0, 0};
    switch (part) {
    case SB_LINEUP: extent = {0, arrow}; break;
    case SB_PAGEUP: extent = {arrow, thumbStart}; break;
    case SB_THUMBTRACK: extent = {thumbStart, thumbStart + thumb}; break;
    case SB_PAGEDOWN: extent = {thumbStart + thumb, trackEnd}; break;
    case SB_LINEDOWN: extent = {length - arrow, length}; break;
    default: break;
    }
    extent.second = std::max(extent.first, extent.second);
    return extent;
}

int ThumbLength(int track, int page, int range, int thumbCap)
{
    const int minimum = 2 * std::max(thumbCap, 0) + kMinimumThumb;
    if (range <= 0 || track < minimum) return 0;
    const auto length = static_cast<int>(static_cast<long long>(std::max(page, 0)) * track / range);
    return std::min(std::max(length, minimum), track);
}

ScrollBarLayout LayOutScrollBar(int length, int tile, float scale, int thumbCap, const SCROLLINFO& info, int position,
                                bool forHitTest)
{
    ScrollBarLayout layout;
    layout.length = std::max(length, 0);
    layout.track = std::max(0, layout.length - static_cast<int>(2 * tile * scale));
    const int range = info.nMax - info.nMin + 1;
    const int page = static_cast<int>(info.nPage);
    const int span = range - page;
    layout.thumb = ThumbLength(layout.track, page, range, thumbCap);
    if (span <= 0 && !forHitTest) layout.thumb = 0;
    layout.arrow = layout.track > 0 ? fx::Scaled(static_cast<float>(tile), scale) : layout.length / 2;
    const int travel = layout.track - layout.thumb;
    if (span > 0) {
        // Positions count from the range's minimum; one outside the range keeps the thumb on its track.
        const int offset = std::clamp(position - info.nMin, 0, span);
        layout.thumbStart = layout.arrow + static_cast<int>(static_cast<long long>(offset) * travel / span);
    } else {
        layout.thumbStart = layout.arrow + travel / 2;
    }
    return layout;
}

// ---- CSkinScrollBar -------------------------------------------------------------------------

bool CSkinScrollBar::Create(const fx::CreateArgs& args, float scale, int thumbCap)
{
    m_fScale = scale;
    m_nThumbCap = thumbCap;
    if (!CreateControl(L"ScrollBar", args)) return false;
    const RECT client = GetClientRect();
    m_nLength = IsVertical() ? fx::Height(client) : fx::Width(client);
    return true;
}

void CSkinScrollBar::SetSkin(HBITMAP skin)
{
    m_hSkin = skin;
    BITMAP bitmap{};
    if (skin && GetObjectW(skin, sizeof(bitmap), &bitmap)) m_nTile = bitmap.bmWidth / scrollskin::kColumns;
    if (!m_hWnd) return;
    const RECT window = GetWindowRect();
    const int thickness = Thickness();
    SetWindowPos(m_hWnd, nullptr, 0, 0, IsVertical() ? thickness : fx::Width(window),
                 IsVertical() ? fx::Height(window) : thickness, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Invalidate(false);
}

bool CSkinScrollBar::IsVertical() const { return (GetWindowLongW(m_hWnd, GWL_STYLE) & SBS_VERT) != 0; }

int CSkinScrollBar::Thickness() const { return fx::Scaled(static_cast<float>(m_nTile), m_fScale); }

void CSkinScrollBar::SetScrollInfo(const SCROLLINFO& info, bool redraw)
{
    SendMessage(SBM_SETSCROLLINFO, redraw ? TRUE : FALSE, reinterpret_cast<LPARAM>(&info));
}

SCROLLINFO CSkinScrollBar::GetScrollInfo() const
{
    SCROLLINFO info{sizeof(info), SIF_ALL};
    SendMessage(SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(&info));
    return info;
}

int CSkinScrollBar::LastPosition() const
{
    return std::max(m_si.nMin, m_si.nMax - std::max(static_cast<int>(m_si.nPage) - 1, 0));
}

ScrollBarLayout CSkinScrollBar::Layout(bool forHitTest) const
{
    const int position = m_bDragging ? m_si.nTrackPos : m_si.nPos;
    return LayOutScrollBar(m_nLength, m_nTile, m_fScale, m_nThumbCap, m_si, position, forHitTest);
}

int CSkinScrollBar::HitTest(POINT client) const
{
    // Across the axis every part spans the bar's thickness.
    const int across = IsVertical() ? client.x : client.y;
    if (across < 0 || across >= Thickness()) return kNoPart;
    return Layout(true).PartAt(Offset(client));
}

RECT CSkinScrollBar::PartRect(int part) const
{
    const auto [start, end] = Layout(part == SB_THUMBTRACK && m_bDragging).Extent(part);
    const int thickness = Thickness();
    return IsVertical() ? RECT{0, start, thickness, end} : RECT{start, 0, end, thickness};
}

int CSkinScrollBar::RowFor(int part) const
{
    if (part == SB_THUMBTRACK) {
        if (m_bDragging) return scrollskin::kPressed;
        return m_nHoverPart == part && m_nPressedPart == kNoPart ? scrollskin::kHover : scrollskin::kNormal;
    }
    // Tracks have no hover or pressed look.
    if (!IsArrow(part)) return scrollskin::kNormal;
    if (m_nPressedPart == part) return m_bOutside ? scrollskin::kNormal : scrollskin::kPressed;
    return m_nHoverPart == part && m_nPressedPart == kNoPart ? scrollskin::kHover : scrollskin::kNormal;
}

void CSkinScrollBar::PaintPart(HDC dc, HDC skinDc, int part) const
{
    const RECT rect = PartRect(part);
    if (IsRectEmpty(&rect)) return;
    const bool vertical = IsVertical();
    const RECT tile = scrollskin::TileRect(m_nTile, ColumnFor(part, vertical), RowFor(part));
    if (IsArrow(part)) {
        scrollskin::StretchTile(dc, rect, skinDc, tile);
        return;
    }
    if (part != SB_THUMBTRACK) {
        scrollskin::TileOver(dc, rect, skinDc, tile, m_fScale);
        return;
    }
    // The thumb in three slices: its two rounded end caps keep their length, the straight middle of
    // the tile is tiled over the rest.
    const int cap = kThumbEndCap + m_nThumbCap;
    const int length = vertical ? fx::Height(rect) : fx::Width(rect);
    scrollskin::StretchTile(dc, AlongAxis(rect, 0, cap, vertical), skinDc, AlongAxis(tile, 0, cap, vertical));
    scrollskin::StretchTile(dc, AlongAxis(rect, length - cap, length, vertical), skinDc,
                            AlongAxis(tile, m_nTile - cap, m_nTile, vertical));
    const RECT middle = AlongAxis(tile, cap, m_nTile - cap, vertical);
    if (!IsRectEmpty(&middle))
        scrollskin::TileOver(dc, AlongAxis(rect, cap, length - cap, vertical), skinDc, middle, m_fScale);
}

void CSkinScrollBar::Paint(HDC dc) const
{
    if (!m_hSkin || m_nTile <= 0) return;
    fx::CMemoryDC skinDc(dc);
    if (!skinDc) return;
    fx::CSelectObject select(skinDc.Get(), m_hSkin);
    const int previousMode = SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    for (int part : {SB_LINEUP, SB_PAGEUP, SB_PAGEDOWN, SB_LINEDOWN, SB_THUMBTRACK}) PaintPart(dc, skinDc.Get(), part);
    SetStretchBltMode(dc, previousMode);
}

void CSkinScrollBar::RedrawNow() const
{
    InvalidateRect(m_hWnd, nullptr, FALSE);
    UpdateWindow(m_hWnd);
}

void CSkinScrollBar::Notify(int code, int position) const
{
    const UINT message = IsVertical() ? WM_VSCROLL : WM_HSCROLL;
    ::SendMessageW(GetParent(), message, MAKEWPARAM(code, position), reinterpret_cast<LPARAM>(m_hWnd));
}

bool CSkinScrollBar::ProcessMessage(fx::Message& m)
{
    static const fx::MessageEntry<CSkinScrollBar> map[] = {
        fx::OnMessage(WM_PAINT, &CSkinScrollBar::OnPaint),
        fx::OnMessage(WM_ERASEBKGND, &CSkinScrollBar::OnEraseBackground),
        fx::OnMessage(WM_SIZE, &CSkinScrollBar::OnSize),
        fx::OnMessage(WM_ENABLE, &CSkinScrollBar::OnEnable),
        fx::OnMessage(SBM_SETSCROLLINFO, &CSkinScrollBar::OnSetScrollInfo),
        fx::OnMessage(SBM_GETSCROLLINFO, &CSkinScrollBar::OnGetScrollInfo),
        fx::OnMessage(WM_LBUTTONDOWN, &CSkinScrollBar::OnLButtonDown),
        fx::OnMessage(WM_LBUTTONDBLCLK, &CSkinScrollBar::OnLButtonDblClk),
        fx::OnMessage(WM_MOUSEMOVE, &CSkinScrollBar::OnMouseMove),
        fx::OnMessage(WM_MOUSELEAVE, &CSkinScrollBar::OnMouseLeave),
        fx::OnMessage(WM_LBUTTONUP, &CSkinScrollBar::OnLButtonUp),
        fx::OnMessage(WM_CAPTURECHANGED, &CSkinScrollBar::OnCaptureChanged),
        fx::OnTimer(kFirstDelayTimer, &CSkinScrollBar::OnFirstDelayTimer),
        fx::OnTimer(kRepeatTimer, &CSkinScrollBar::OnRepeatTimer),
    };
    return fx::Dispatch(*this, map, m);
}

bool CSkinScrollBar::OnPaint(fx::Message& m)
{
    fx::CPaintDC paint(m_hWnd);
    if (m_hSkin) PaintBuffered(paint.Get(), GetClientRect(), [this](HDC dc, const RECT&) { Paint(dc); });
    m.result = 0;
    return true;
}

bool CSkinScrollBar::OnEraseBackground(fx::Message& m)
{
    m.result = TRUE;  // every pixel is painted by WM_PAINT
    return true;
}

bool CSkinScrollBar::OnSize(fx::Message& m)
{
    m.result = Default(m);
    m_nLength = IsVertical() ? m.Size().cy : m.Size().cx;
    return true;
}

bool CSkinScrollBar::OnEnable(fx::Message& m)
{
    // The system bar would paint its own look here.
    Invalidate(false);
    m.result = 0;
    return true;
}

bool CSkinScrollBar::OnSetScrollInfo(fx::Message& m)
{
    const auto* info = m.Data<SCROLLINFO>();
    if (info) {
        if (info->fMask & SIF_RANGE) {
            m_si.nMin = info->nMin;
            m_si.nMax = info->nMax;
        }
        if (info->fMask & SIF_PAGE) m_si.nPage = info->nPage;
        if (info->fMask & SIF_POS) m_si.nPos = info->nPos;
        if (m.wParam) RedrawNow();
    }
    m.result = info ? 1 : 0;
    return true;
}

bool CSkinScrollBar::OnGetScrollInfo(fx::Message& m)
{
    auto* info = m.Data<SCROLLINFO>();
    if (info) {
        if (info->fMask & SIF_RANGE) {
            info->nMin = m_si.nMin;
            info->nMax = m_si.nMax;
        }
        if (info->fMask & SIF_PAGE) info->nPage = m_si.nPage;
        if (info->fMask & SIF_POS) info->nPos = m_si.nPos;
        if (info->fMask & SIF_TRACKPOS) info->nTrackPos = m_si.nTrackPos;
    }
    m.result = info ? 1 : 0;
    return true;
}

bool CSkinScrollBar::OnLButtonDown(fx::Message& m)
{
    const POINT point = m.Point();
    SetCapture(m_hWnd);
    const int part = HitTest(point);
    if (part == SB_THUMBTRACK) {
        m_bDragging = 1;
        m_ptDrag = point;
        m_nDragPos = m_si.nTrackPos = m_si.nPos;
        RedrawNow();
    } else if (part != kNoPart) {
        m_nPressedPart = part;
        Notify(part, 0);
        SetTimer(kFirstDelayTimer, kFirstDelayMs);
        m_bOutside = 0;
        RedrawNow();
    }
    m.result = 0;
    return true;
}

bool CSkinScrollBar::OnLButtonDblClk(fx::Message& m)
{
    // The second press of a double click: one click scrolls one step, a double click no more.
    m.result = 1;
    return true;
}

void CSkinScrollBar::RequestLeave()
{
    if (m_bTrackingLeave) return;
    TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, m_hWnd, 1};
    m_bTrackingLeave = TrackMouseEvent(&track) ? 1 : 0;
}

bool CSkinScrollBar::OnMouseMove(fx::Message& m)
{
    RequestLeave();
    MoveTo(m.Point());
    m.result = 0;
    return true;
}

bool CSkinScrollBar::OnMouseLeave(fx::Message& m)
{
    m_bTrackingLeave = 0;
    // While a part is held the captured moves keep track of the mouse; otherwise the hover ends.
    if (!m_bDragging && m_nPressedPart == kNoPart) MoveTo(POINT{-1, -1});
    m.result = 0;
    return true;
}

void CSkinScrollBar::MoveTo(POINT point)
{
    if (m_bDragging) {
        const ScrollBarLayout layout = Layout();
        const int travel = layout.track - layout.thumb;
        const int span = m_si.nMax - m_si.nMin - static_cast<int>(m_si.nPage) + 1;
        if (travel <= 0 || span <= 0) return;
        const int moved = Offset(point) - Offset(m_ptDrag);
        const auto position = std::clamp(static_cast<int>(m_nDragPos + static_cast<long long>(span) * moved / travel),
                                         m_si.nMin, LastPosition());
        if (position == m_si.nTrackPos) return;
        m_si.nTrackPos = position;
        RedrawNow();
        Notify(SB_THUMBTRACK, position);
        return;
    }
    if (m_nPressedPart != kNoPart) {
        const int outside = HitTest(point) != m_nPressedPart ? 1 : 0;
        if (outside == m_bOutside) return;
        m_bOutside = outside;
        RedrawNow();
        return;
    }
    const int part = HitTest(point);
    if (part == m_nHoverPart) return;
    m_nHoverPart = part;
    RedrawNow();
}

bool CSkinScrollBar::OnLButtonUp(fx::Message& m)
{
    Release(m.Point());
    ReleaseCapture();
    // A leave notice that came while the mouse was held was not acted on: ask again, so that the
    // hover look ends when the mouse leaves from here.
    m_bTrackingLeave = 0;
    RequestLeave();
    m.result = 0;
    return true;
}

bool CSkinScrollBar::OnCaptureChanged(fx::Message& m)
{
    // Capture taken away in mid-press (another window, a menu): end the press as a release would,
    // so that no auto-repeat outlives it.
    if (m.Window() != m_hWnd && (m_bDragging || m_nPressedPart != kNoPart)) {
        POINT cursor{};
        GetCursorPos(&cursor);
        ScreenToClient(m_hWnd, &cursor);
        Release(cursor);
    }
    m.result = 0;
    return true;
}

void CSkinScrollBar::Release(POINT point)
{
    if (m_bDragging) {
        m_bDragging = 0;
        Notify(SB_THUMBPOSITION, m_si.nTrackPos);
        m_si.nTrackPos = -1;
        m_nHoverPart = HitTest(point);
        RedrawNow();
    }
    if (m_nPressedPart != kNoPart) {
        KillTimer(kFirstDelayTimer);
        KillTimer(kRepeatTimer);
        m_bRepeating = 0;
        m_nPressedPart = kNoPart;
        m_bOutside = 0;
        m_nHoverPart = HitTest(point);
        RedrawNow();
    }
}

bool CSkinScrollBar::OnFirstDelayTimer(fx::Message& m)
{
    m_bRepeating = 1;
    KillTimer(kFirstDelayTimer);
    SetTimer(kRepeatTimer, kRepeatMs);
    Step();
    m.result = 0;
    return true;
}

bool CSkinScrollBar::OnRepeatTimer(fx::Message& m)
{
    Step();
    m.result = 0;
    return true;
}

void CSkinScrollBar::Step()
{
    if (m_nPressedPart == kNoPart) {
        KillTimer(kRepeatTimer);
        return;
    }
    // Paused, not stopped, while the mouse is off the held part.
    if (m_bOutside) return;
    bool done = false;
    switch (m_nPressedPart) {
    case SB_LINEUP: done = m_si.nPos <= m_si.nMin; break;
    case SB_LINEDOWN: done = m_si.nPos >= LastPosition(); break;
    default: {
        // Paging stops once the thumb has come under the cursor.
        POINT cursor{};
        GetCursorPos(&cursor);
        ScreenToClient(m_hWnd, &cursor);
        done = HitTest(cursor) == SB_THUMBTRACK;
        break;
    }
    }
    if (done)
        KillTimer(kRepeatTimer);
    else
        Notify(m_nPressedPart, 0);
}
