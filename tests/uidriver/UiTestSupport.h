#pragma once
// Shared by the user-interface tests: every modal dialog under test runs on a UI thread of its own
// (CModalRun) while the test thread drives it with real input and reads the screen.
#include "framework/Application.h"
#include "framework/GdiplusImage.h"
#include "tests/uidriver/UiDriver.h"

#include <atomic>
#include <functional>
#include <vector>

namespace uitest {

// GDI+ and the common controls, started once for the test program.
void EnsureApplication();

// Runs `body` (build a dialog, configure it, return its DoModal) on a UI thread of its own.
class CModalRun
{
public:
    explicit CModalRun(std::function<INT_PTR()> body);
    ~CModalRun() = default;
    CModalRun(const CModalRun&) = delete;
    CModalRun& operator=(const CModalRun&) = delete;

    // The shown layered frame of the dialog, waited for; null when it never came.
    HWND Frame();
    // The first shown top-level window of the thread (a dialog that is no pair).
    HWND Dialog();
    // The shown window that the frame owns (the child dialog).
    HWND Child();
    DWORD ThreadId() const { return m_thread.Id(); }
    // Waits for DoModal to return; true when it has.
    bool Wait(DWORD timeoutMs = ui::kDefaultTimeoutMs);
    bool Finished() const { return m_done; }
    INT_PTR Result() const { return m_result; }

private:
    bool m_parked;  // before the thread: the dialog must not open under the cursor
    std::atomic<bool> m_done{false};
    std::atomic<INT_PTR> m_result{-2};
    ui::CUiThread m_thread;  // last: it starts running the body at construction
};

// Moves the real cursor onto the window's middle from just beside it, lets the move arrive, then
// clicks there, the way a user does.
void ClickControl(HWND window);

// Pixels of a picture or of a screen area, row by row.
struct Pixels
{
    int width = 0;
    int height = 0;
    std::vector<ui::Rgb> rgb;
    ui::Rgb At(int x, int y) const
    {
        return rgb[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
    }
};

// `source` of PNG resource `id` drawn stretched to width x height over a ground of `under`, as a
// control would draw it.
Pixels RenderResource(UINT id, const RECT& source, int width, int height, COLORREF under = RGB(255, 255, 255));
// The whole resource at its own size.
Pixels RenderResource(UINT id, COLORREF under = RGB(255, 255, 255));
// What the screen shows in `screenRect`.
Pixels CaptureScreen(const RECT& screenRect);
// Mean absolute channel difference; a large value when the sizes differ.
double MeanDifference(const Pixels& a, const Pixels& b);
// Of the given resources, the one whose picture the screen area looks most like.
UINT ClosestResource(const RECT& screenRect, const std::vector<UINT>& ids);
// Whether every pixel is the same colour.
bool IsUniform(const Pixels& pixels);

}  // namespace uitest
