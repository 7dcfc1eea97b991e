#pragma once
// A plain window standing in for the main window, for the usage agreement viewer: the main
// window's background picture, the agreement link in its bottom row, a low-level click hook that
// posts WM_HOOK_LBUTTONDOWN to it as the program's click hook does, and the viewer driven the way
// the main window drives it. It runs on a UI thread of its own (a WH_MOUSE_LL hook needs a message
// loop on the thread that installed it).
#include "tests/uidriver/UiDriver.h"

#include <atomic>
#include <functional>
#include <memory>

class CTooltipDlg;

namespace uitest {

// Loads the rich edit library from the system folder, as the program's start-up does; the viewer's
// template needs it.
bool EnsureRichEdit();

class CMainStandIn
{
public:
    // The main window's design size (400 x 600) times `scale`, at a fixed place on the screen.
    explicit CMainStandIn(float scale);
    ~CMainStandIn();
    CMainStandIn(const CMainStandIn&) = delete;
    CMainStandIn& operator=(const CMainStandIn&) = delete;

    HWND Window() const;
    // The agreement link, in screen coordinates.
    RECT LinkOnScreen() const;
    // The viewer's frame, null before the first click on the link.
    CTooltipDlg* Viewer() const;
    bool IsViewerShown() const;
    // Runs `work` on the stand-in's thread and returns when it is done.
    void Invoke(const std::function<void()>& work) const;

private:
    class CWindow;
    std::unique_ptr<CWindow> m_window;
    std::atomic<bool> m_ready{false};
    ui::CUiThread m_thread;  // last: it starts at construction
};

}  // namespace uitest
