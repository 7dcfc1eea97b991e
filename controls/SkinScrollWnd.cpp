#include "controls/SkinScrollWnd.h"

#include "framework/Gdi.h"
#include "framework/MessageMap.h"
#include "framework/Scale.h"
#include "res/PrivateMessages.h"

#include <commctrl.h>

#include <utility>

namespace {

// The control's procedure before the skin procedure, kept with the control itself so that the skin
// procedure can always pass messages on, also after the frame has gone.
constexpr wchar_t kPreviousProcProperty[] = L"QuorlinSkinScrollPrevious";
constexpr UINT_PTR kAnchorId = 0x5C80;

RECT InParentClient(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void Place(CSkinScrollBar& bar, const RECT& rect)
{
    if (IsRectEmpty(&rect)) {
        bar.ShowWindow(SW_HIDE);
        return;
    }
    SetWindowPos(bar.GetSafeHwnd(), nullptr, rect.left, rect.top, fx::Width(rect), fx::Height(rect),
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

}  // namespace

CSkinScrollWnd* SkinWndScroll(HWND control, HBITMAP skin, float scale, int thumbCap)
{
    return CSkinScrollWnd::Wrap(control, skin, scale, thumbCap);
}

CSkinScrollWnd::CSkinScrollWnd(HBITMAP skin, float scale, int thumbCap)
    : m_hSkin(skin), m_fScale(scale), m_nThumbCap(thumbCap)
{
}

CSkinScrollWnd* CSkinScrollWnd::Wrap(HWND control, HBITMAP skin, float scale, int thumbCap)
{
    if (!control || !::IsWindow(control) || !skin || FrameOf(control)) return nullptr;
    auto* frame = new CSkinScrollWnd(skin, scale, thumbCap);
    if (frame->Attach(control)) return frame;
    // A frame whose window exists is deleted after its window (OnFinalMessage).
    if (frame->m_hWnd)
        ::DestroyWindow(frame->m_hWnd);
    else
        delete frame;
    return nullptr;
}

SkinScrollLayout CSkinScrollWnd::LayOut(const RECT& client, int barWidth, bool vertical, bool horizontal,
                                        bool leftScroll)
{
    SkinScrollLayout layout;
    layout.limit = client;
    if (horizontal) layout.limit.bottom -= barWidth;
    if (vertical && leftScroll) {
        // The control keeps its full width: it starts one bar to the left, where the limit cuts its
        // own bar away.
        layout.limit.left += barWidth;
        layout.controlX = -barWidth;
        layout.vertical = RECT{client.left, client.top, client.left + barWidth, layout.limit.bottom};
    } else if (vertical) {
        layout.limit.right -= barWidth;
        layout.vertical = RECT{layout.limit.right, client.top, layout.limit.right + barWidth, layout.limit.bottom};
    }
    if (horizontal) layout.horizontal = RECT{layout.limit.left, layout.limit.bottom, layout.limit.right, client.bottom};
    if (vertical && horizontal) layout.corner = leftScroll ? kCornerLeft : kCornerRight;
    return layout;
}

bool CSkinScrollWnd::Attach(HWND control)
{
    BITMAP bitmap{};
    if (!GetObjectW(m_hSkin, sizeof(bitmap), &bitmap)) return false;
    m_nTile = bitmap.bmWidth / scrollskin::kColumns;
    m_nBarWidth = fx::Scaled(static_cast<float>(m_nTile), m_fScale);

    const RECT rect = InParentClient(control);
    const HWND parent = ::GetParent(control);
    const int id = GetDlgCtrlID(control);
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    const LONG exStyle = GetWindowLongW(control, GWL_EXSTYLE);

    // The frame takes the control's place and its border; the control keeps none of its own.
    DWORD frameStyle = WS_CHILD | (style & (WS_VISIBLE | WS_BORDER));
    DWORD frameExStyle = (exStyle & WS_EX_CLIENTEDGE);
    if (exStyle & WS_EX_TOOLWINDOW) frameExStyle |= WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    if (!Create(fx::CreateArgs{frameExStyle, frameStyle, rect, parent, id, kWindowName})) return false;
    const fx::CreateArgs limit{0, WS_CHILD | WS_VISIBLE, RECT{}, m_hWnd, kLimitId, kLimitName};
    const fx::CreateArgs horizontal{0, WS_CHILD | SBS_HORZ, RECT{}, m_hWnd, kHorizontalBarId};
    const fx::CreateArgs vertical{0, WS_CHILD | SBS_VERT, RECT{}, m_hWnd, kVerticalBarId};
    if (!m_wndLimit.Create(limit) || !m_sbHorz.Create(horizontal, m_fScale, m_nThumbCap) ||
        !m_sbVert.Create(vertical, m_fScale, m_nThumbCap)) {
        return false;
    }
    m_sbHorz.SetSkin(m_hSkin);
    m_sbVert.SetSkin(m_hSkin);
    // Keep the control's place in the tab order.
    SetWindowPos(m_hWnd, control, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    SetWindowLongW(control, GWL_STYLE, style & ~WS_BORDER);
    SetWindowLongW(control, GWL_EXSTYLE, exStyle & ~WS_EX_CLIENTEDGE);
    ::SetParent(control, m_wndLimit.GetSafeHwnd());
    SetWindowLongPtrW(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    // The anchor keeps the control's SetWindowSubclass chain from ever running empty while the skin
    // procedure sits above it: when its last entry goes, comctl32 puts the procedure it found back
    // into GWLP_WNDPROC, which would cut the skin procedure out. With the anchor in place, fx::CWnd
    // bindings can come and go in any order.
    SetWindowSubclass(control, &CSkinScrollWnd::AnchorProc, kAnchorId, 0);
    const LONG_PTR previous =
        SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CSkinScrollWnd::SkinProc));
    SetPropW(control, kPreviousProcProperty, reinterpret_cast<HANDLE>(previous));
    m_hControl = control;

    // The control fills the frame's client area; its frame change lays the bars out.
    const RECT inner = GetClientRect();
    SetWindowPos(control, nullptr, 0, 0, fx::Width(inner), fx::Height(inner),
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    SetTimer(kSyncTimer, kSyncMs);
    return true;
}

void CSkinScrollWnd::Detach(bool giveBack)
{
    const HWND control = std::exchange(m_hControl, nullptr);
    if (!control) return;
    if (GetWindowLongPtrW(control, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&CSkinScrollWnd::SkinProc)) {
        SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GetPropW(control, kPreviousProcProperty)));
        RemovePropW(control, kPreviousProcProperty);
        RemoveWindowSubclass(control, &CSkinScrollWnd::AnchorProc, kAnchorId);
    }
    // Otherwise a procedure installed later still calls the skin procedure, which from now on only
    // passes messages on; the anchor stays until the control goes.
    SetWindowLongPtrW(control, GWLP_USERDATA, 0);
    if (giveBack) {
        const RECT place = InParentClient(m_hWnd);
        ::SetParent(control, ::GetParent(m_hWnd));
        ::MoveWindow(control, place.left, place.top, fx::Width(place), fx::Height(place), FALSE);
    }
}

CSkinScrollWnd* CSkinScrollWnd::FrameOf(HWND control)
{
    return reinterpret_cast<CSkinScrollWnd*>(GetWindowLongPtrW(control, GWLP_USERDATA));
}

LRESULT CALLBACK CSkinScrollWnd::SkinProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam)
{
    const auto previous = reinterpret_cast<WNDPROC>(GetPropW(control, kPreviousProcProperty));
    if (message == WM_DESTROY) {
        // The control goes first: take it out of the frame, then let the frame go.
        if (CSkinScrollWnd* frame = FrameOf(control)) {
            frame->Detach(true);
            ::DestroyWindow(frame->m_hWnd);
        }
    }
    const LRESULT result = previous ? CallWindowProcW(previous, control, message, wParam, lParam)
                                    : DefWindowProcW(control, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        RemovePropW(control, kPreviousProcProperty);
        return result;
    }
    if (CSkinScrollWnd* frame = FrameOf(control)) frame->AfterControlMessage(message, wParam, lParam);
    return result;
}

LRESULT CALLBACK CSkinScrollWnd::AnchorProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                            DWORD_PTR)
{
    if (message == WM_NCDESTROY) RemoveWindowSubclass(control, &CSkinScrollWnd::AnchorProc, id);
    return DefSubclassProc(control, message, wParam, lParam);
}

void CSkinScrollWnd::AfterControlMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    const LONG style = GetWindowLongW(m_hControl, GWL_STYLE);
    const LONG exStyle = GetWindowLongW(m_hControl, GWL_EXSTYLE);
    if (message == WM_NCCALCSIZE && wParam) {
        // The system took room for its own bars; give the control back all but the skinned bars'
        // width, so that the limit window cuts exactly the system bars away. This is needed after
        // every frame change, the frame's own moves included.
        auto* params = reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam);
        if (style & WS_VSCROLL) {
            const int extra = GetSystemMetrics(SM_CXVSCROLL) - m_nBarWidth;
            if (exStyle & WS_EX_LEFTSCROLLBAR)
                params->rgrc[0].left -= extra;
            else
                params->rgrc[0].right += extra;
        }
        if (style & WS_HSCROLL) params->rgrc[0].bottom += GetSystemMetrics(SM_CYHSCROLL) - m_nBarWidth;
        PostMessageW(m_hWnd, WM_SKIN_SCROLL_UPDATE, (style & WS_VSCROLL) ? 1 : 0,
                     (exStyle & WS_EX_LEFTSCROLLBAR) ? 1 : 0);
        return;
    }
    if (message == WM_ERASEBKGND && !m_bUpdating) {
        if (style & WS_VSCROLL) Sync(SB_VERT, false);
        if (style & WS_HSCROLL) Sync(SB_HORZ, false);
    }
}

void CSkinScrollWnd::Sync(int which, bool always)
{
    CSkinScrollBar& bar = which == SB_VERT ? m_sbVert : m_sbHorz;
    SCROLLINFO info{sizeof(info), SIF_ALL};
    if (!m_hControl || !::GetScrollInfo(m_hControl, which, &info)) return;
    const SCROLLINFO& shown = bar.Info();
    if (always || info.nMin != shown.nMin || info.nMax != shown.nMax || info.nPage != shown.nPage ||
        info.nPos != shown.nPos) {
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        bar.SetScrollInfo(info, true);
    }
    EnableWindow(bar.GetSafeHwnd(), info.nMax >= static_cast<int>(info.nPage));
}

bool CSkinScrollWnd::ProcessMessage(fx::Message& m)
{
    static const fx::MessageEntry<CSkinScrollWnd> map[] = {
        fx::OnMessage(WM_SKIN_SCROLL_UPDATE, &CSkinScrollWnd::OnLayout),
        fx::OnMessage(WM_VSCROLL, &CSkinScrollWnd::OnScroll),
        fx::OnMessage(WM_HSCROLL, &CSkinScrollWnd::OnScroll),
        fx::OnTimer(kSyncTimer, &CSkinScrollWnd::OnSyncTimer),
        fx::OnMessage(WM_SIZE, &CSkinScrollWnd::OnSize),
        fx::OnMessage(WM_PAINT, &CSkinScrollWnd::OnPaint),
        fx::OnMessage(WM_DESTROY, &CSkinScrollWnd::OnDestroy),
    };
    return fx::Dispatch(*this, map, m);
}

bool CSkinScrollWnd::OnLayout(fx::Message& m)
{
    m.result = 0;
    if (!m_hControl) return true;
    const LONG style = GetWindowLongW(m_hControl, GWL_STYLE);
    const bool leftScroll = (GetWindowLongW(m_hControl, GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR) != 0;
    const SkinScrollLayout layout =
        LayOut(GetClientRect(), m_nBarWidth, (style & WS_VSCROLL) != 0, (style & WS_HSCROLL) != 0, leftScroll);
    m_bUpdating = 1;
    Place(m_sbVert, layout.vertical);
    Place(m_sbHorz, layout.horizontal);
    m_wndLimit.MoveWindow(layout.limit.left, layout.limit.top, fx::Width(layout.limit), fx::Height(layout.limit));
    SetWindowPos(m_hControl, nullptr, layout.controlX, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_bUpdating = 0;
    if (layout.corner != m_nCorner) {
        m_nCorner = layout.corner;
        Invalidate(false);
    }
    for (int which : {SB_VERT, SB_HORZ}) {
        CSkinScrollBar& bar = which == SB_VERT ? m_sbVert : m_sbHorz;
        if (bar.IsWindowVisible()) Sync(which, false);
    }
    return true;
}

bool CSkinScrollWnd::OnScroll(fx::Message& m)
{
    const HWND sender = m.Window();
    if (!m_hControl || (sender != m_sbVert.GetSafeHwnd() && sender != m_sbHorz.GetSafeHwnd())) return false;
    const int code = LOWORD(m.wParam);
    m_bUpdating = 1;
    ::SendMessageW(m_hControl, m.message, MAKEWPARAM(code, HIWORD(m.wParam)), 0);
    m_bUpdating = 0;
    // While the thumb is dragged the bar shows where it is; afterwards it shows where the control went.
    if (code != SB_THUMBTRACK) Sync(m.message == WM_VSCROLL ? SB_VERT : SB_HORZ, true);
    m.result = 0;
    return true;
}

bool CSkinScrollWnd::OnSyncTimer(fx::Message& m)
{
    for (int which : {SB_VERT, SB_HORZ}) {
        CSkinScrollBar& bar = which == SB_VERT ? m_sbVert : m_sbHorz;
        if (bar.IsWindowVisible() && !bar.IsDragging()) Sync(which, false);
    }
    m.result = 0;
    return true;
}

bool CSkinScrollWnd::OnSize(fx::Message& m)
{
    m.result = Default(m);
    if (m_hControl) SetWindowPos(m_hControl, nullptr, 0, 0, m.Size().cx, m.Size().cy, SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}

bool CSkinScrollWnd::OnPaint(fx::Message& m)
{
    fx::CPaintDC paint(m_hWnd);
    m.result = 0;
    if (m_nCorner == kNoCorner || !m_hSkin) return true;
    // The square between the two bars shows the size grip.
    const RECT client = GetClientRect();
    const int w = m_nBarWidth;
    const bool left = m_nCorner == kCornerLeft;
    const RECT corner = left ? RECT{client.left, client.bottom - w, client.left + w, client.bottom}
                             : RECT{client.right - w, client.bottom - w, client.right, client.bottom};
    fx::CMemoryDC skinDc(paint.Get());
    if (!skinDc) return true;
    fx::CSelectObject select(skinDc.Get(), m_hSkin);
    SetStretchBltMode(paint.Get(), HALFTONE);
    SetBrushOrgEx(paint.Get(), 0, 0, nullptr);
    scrollskin::StretchTile(
        paint.Get(), corner, skinDc.Get(),
        scrollskin::TileRect(m_nTile, scrollskin::kSizeGrip, left ? scrollskin::kGripLeft : scrollskin::kGripRight));
    return true;
}

bool CSkinScrollWnd::OnDestroy(fx::Message& m)
{
    // A window around the frame is going (the control goes with it): the control gets its own
    // procedure back first.
    Detach(false);
    m.result = Default(m);
    return true;
}

void CSkinScrollWnd::OnFinalMessage(HWND) { delete this; }
