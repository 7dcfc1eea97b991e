#pragma once
// Reads and drives the volume choosers from the test thread: the rows and check boxes of a list
// view of another thread of this process (the messages carry pointers, which is fine within one
// process) or, by its geometry, of another process, and the message prompt that a chooser raises.
#include "framework/Scale.h"
#include "tests/uidriver/UiTestSupport.h"

#include <commctrl.h>

#include <array>
#include <string>
#include <utility>

namespace uitest {

inline int ListRowCount(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }

// A row's rectangle (LVIR_BOUNDS, LVIR_LABEL, ...) in screen coordinates.
inline RECT ListRowRect(HWND list, int row, int part = LVIR_BOUNDS)
{
    RECT rect{};
    rect.left = part;
    SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rect));
    MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

inline std::wstring ListRowText(HWND list, int row, int column = 0)
{
    std::array<wchar_t, 512> text{};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text.data();
    item.cchTextMax = static_cast<int>(text.size());
    SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return text.data();
}

// The view's own check box: 1 ticked, 0 not, -1 no box.
inline int ListViewCheck(HWND list, int row)
{
    const UINT state =
        static_cast<UINT>(SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK));
    return static_cast<int>(state >> 12) - 1;
}

inline int ListSelectedRow(HWND list)
{
    return static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

inline std::wstring ListColumnCaption(HWND list, int column)
{
    std::array<wchar_t, 260> text{};
    LVCOLUMNW info{};
    info.mask = LVCF_TEXT;
    info.pszText = text.data();
    info.cchTextMax = static_cast<int>(text.size());
    SendMessageW(list, LVM_GETCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&info));
    return text.data();
}

// The middle of a row's text.
inline POINT CenterOfLabel(HWND list, int row) { return ui::CenterOf(ListRowRect(list, row, LVIR_LABEL)); }

// The middle of the check box that a list of scale `scale` draws one tree level into the row.
inline POINT CenterOfCheckBox(HWND list, int row, float scale)
{
    const RECT bounds = ListRowRect(list, row);
    int width = 16;
    int height = 16;
    auto states = reinterpret_cast<HIMAGELIST>(SendMessageW(list, LVM_GETIMAGELIST, LVSIL_STATE, 0));
    if (states) ImageList_GetIconSize(states, &width, &height);
    return POINT{bounds.left + fx::Scaled(16, scale) + width / 2, (bounds.top + bounds.bottom) / 2};
}

// A chooser's list in another process (the real program): LVM_GETITEMRECT's pointer would not
// reach it, so a row is found from what any process can read. Row 0 starts below the header, and
// the choosers make every row as high as the header; their few rows never scroll. Whether a click
// took is read back with LVM_GETNEXTITEM and LVM_GETITEMSTATE, which carry no pointer.
inline RECT OutsideRowRect(HWND list, int row)
{
    const RECT client = ui::ClientRectOnScreen(list);
    const RECT header = ui::WindowRect(ListView_GetHeader(list));
    const int height = header.bottom - header.top;
    const int top = header.bottom + row * height;
    return RECT{client.left, top, client.right, top + height};
}

// Inside the check box that such a list draws one level into the row: the view's state images are
// small icons.
inline POINT OutsideCheckBoxPoint(HWND list, int row, float scale)
{
    const RECT bounds = OutsideRowRect(list, row);
    return POINT{bounds.left + fx::Scaled(16, scale) + GetSystemMetrics(SM_CXSMICON) / 2,
                 (bounds.top + bounds.bottom) / 2};
}

// Moves the cursor there, lets the move arrive, and clicks.
inline void ClickAt(POINT screen)
{
    ui::MoveCursor(screen);
    ui::PumpFor(200);
    ui::Click(screen);
    ui::PumpFor(200);
}

// The first and last x (relative to the rectangle) of the screen's columns there that hold dark
// (text) pixels; {-1, -1} when none do.
inline std::pair<int, int> DarkSpan(const RECT& screenRect)
{
    const Pixels pixels = CaptureScreen(screenRect);
    std::pair<int, int> span{-1, -1};
    for (int x = 0; x < pixels.width; ++x) {
        for (int y = 0; y < pixels.height; ++y) {
            const ui::Rgb p = pixels.At(x, y);
            if (p.r + p.g + p.b < 3 * 128) {
                if (span.first < 0) span.first = x;
                span.second = x;
                break;
            }
        }
    }
    return span;
}

// A shown layered frame on the chooser's thread other than the chooser's own: the prompt it
// raised. Null when none came within the time.
inline HWND FindPromptOver(DWORD threadId, HWND chooserFrame, DWORD timeoutMs = ui::kDefaultTimeoutMs)
{
    return ui::WaitForWindow(ui::All({ui::OnThread(threadId), ui::IsShown(),
                                      [chooserFrame](HWND window) {
                                          return window != chooserFrame && (ui::ExStyle(window) & WS_EX_LAYERED) != 0;
                                      }}),
                             timeoutMs);
}

}  // namespace uitest
