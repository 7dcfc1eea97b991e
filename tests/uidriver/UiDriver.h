#pragma once
// Drives real windows from tests: finds and reads them, moves the real cursor and presses real keys
// through SendInput, pumps messages and captures the screen.
//
// Every wait takes a timeout. The free functions keep no state, so any thread may call them. Input
// goes through the system's hardware input queue, which the target's thread reads: a window that is
// dragged by its caption or runs a modal loop must live on another thread than the one that drives
// it (CUiThread below), or the modal loop and the driver block each other.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "framework/base/KernelHandle.h"

namespace ui {

constexpr DWORD kDefaultTimeoutMs = 5000;

// ---- Finding windows ------------------------------------------------------------------------

using WindowPredicate = std::function<bool(HWND)>;

WindowPredicate HasClass(std::wstring className);
WindowPredicate HasTitle(std::wstring title);
WindowPredicate TitleContains(std::wstring part);
WindowPredicate OwnedBy(HWND owner);
WindowPredicate HasControlId(int id);
WindowPredicate OnThread(DWORD threadId);
WindowPredicate InProcess(DWORD processId);
WindowPredicate IsShown();
// True when every part is; an empty part (nullptr) counts as true.
WindowPredicate All(std::vector<WindowPredicate> parts);

// Top-level windows in z-order, topmost first; a null predicate matches every window.
std::vector<HWND> TopLevelWindows(const WindowPredicate& match = nullptr);
// Every descendant of the parent, not only its direct children.
std::vector<HWND> ChildWindows(HWND parent, const WindowPredicate& match = nullptr);
// Top-level windows whose owner is the given window.
std::vector<HWND> OwnedWindows(HWND owner);
HWND FindTopLevel(const WindowPredicate& match);
HWND FindChild(HWND parent, const WindowPredicate& match);
HWND FindControl(HWND dialog, int controlId);

// Wait while pumping the calling thread's messages; null / false on timeout.
HWND WaitForWindow(const WindowPredicate& match, DWORD timeoutMs = kDefaultTimeoutMs);
HWND WaitForChild(HWND parent, const WindowPredicate& match, DWORD timeoutMs = kDefaultTimeoutMs);
bool WaitForWindowGone(HWND window, DWORD timeoutMs = kDefaultTimeoutMs);

// ---- Reading windows ------------------------------------------------------------------------

// The text through WM_GETTEXT with a timeout, so a hung owner thread cannot hang the test;
// empty on timeout.
std::wstring WindowText(HWND window, DWORD timeoutMs = kDefaultTimeoutMs);
std::wstring ClassName(HWND window);
// Rectangles in screen coordinates.
RECT WindowRect(HWND window);
RECT ClientRectOnScreen(HWND window);
bool IsVisible(HWND window);
bool IsEnabled(HWND window);
DWORD Style(HWND window);
DWORD ExStyle(HWND window);
int ControlId(HWND window);
HWND Owner(HWND window);
DWORD ThreadOf(HWND window);
// The window with the keyboard focus in the thread's input state; null when none.
HWND FocusOf(DWORD threadId);
HWND ActiveOf(DWORD threadId);

POINT CenterOf(const RECT& rect);
SIZE SizeOf(const RECT& rect);
// A point given in the window's client coordinates, in screen coordinates.
POINT ClientToScreenPoint(HWND window, POINT client);

// ---- Input through the hardware input queue ---------------------------------------------------

enum class MouseButton
{
    Left,
    Right
};

// Moves the cursor with an absolute SendInput move (so WM_MOUSEMOVE, hover tracking, hit-testing
// and low-level hooks see it), then waits until every thread of this process that owns a shown
// window has taken in the input the window system still holds for it, and puts the cursor back on
// the point (SetCursorPos) when that input, or rounding, left it elsewhere. True when the cursor
// rests on the point. Windows of other processes are not waited for.
bool MoveCursor(POINT screen);
POINT CursorPos();
// A press or release moves onto the point first and carries the point itself, as a real mouse's
// does: it lands there even when a late report has taken the cursor off the point meanwhile.
void MouseDown(POINT screen, MouseButton button = MouseButton::Left);
// A release that ends the drag of a window by the mouse also waits for the drag to end and leaves
// the cursor resting on the point.
void MouseUp(POINT screen, MouseButton button = MouseButton::Left);
void Click(POINT screen, MouseButton button = MouseButton::Left);
// Clicks the middle of the window.
void ClickWindow(HWND window);
// Presses at `from`, moves to `to` in even steps with a pause after each, releases at `to`.
void Drag(POINT from, POINT to, int steps = 12, DWORD stepPauseMs = 20);

void KeyDown(WORD virtualKey);
void KeyUp(WORD virtualKey);
void PressKey(WORD virtualKey);
// Presses the keys in order and releases them in reverse: PressChord({VK_MENU, VK_F4}).
void PressChord(std::initializer_list<WORD> virtualKeys);
// Types the text as Unicode key events (VK_PACKET), whatever the keyboard layout.
void TypeText(const std::wstring& text);

// Makes the window the foreground window; true once it is.
bool Activate(HWND window, DWORD timeoutMs = kDefaultTimeoutMs);
// Waits for what a person waits for before pressing keys: the window is enabled, it is the
// foreground window, and its thread's keyboard focus is on `focus` (without one: on the window or
// a window inside it). A window that has just come or got back the activation may still be busy
// setting itself up. False when the time ran out first.
bool WaitForInput(HWND window, HWND focus = nullptr, DWORD timeoutMs = kDefaultTimeoutMs);

// ---- Messages -------------------------------------------------------------------------------

// SendMessageTimeout: no value when the receiver did not answer in time.
std::optional<LRESULT> Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0,
                            DWORD timeoutMs = kDefaultTimeoutMs);
bool Post(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
// Dispatches the calling thread's messages for the given time. A WM_QUIT is put back.
void PumpFor(DWORD ms);
// Pumps until the condition holds; false when the time ran out first.
bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = kDefaultTimeoutMs);

// ---- Threads for windows under test -----------------------------------------------------------

// Runs a body (create a window and pump, run a modal dialog) on its own thread, which has a
// message queue before the constructor returns. The destructor closes what is left: WM_CLOSE to
// the thread's top-level windows, then WM_QUIT; a thread that still does not end within the
// timeout ends the test process with exit code 3, since a test must never hang silently.
class CUiThread
{
public:
    explicit CUiThread(std::function<void()> body);
    ~CUiThread();
    CUiThread(const CUiThread&) = delete;
    CUiThread& operator=(const CUiThread&) = delete;

    DWORD Id() const { return m_threadId; }
    // True once the body has returned.
    bool Join(DWORD timeoutMs = kDefaultTimeoutMs);

private:
    static DWORD WINAPI ThreadMain(void* param);

    std::function<void()> m_body;
    fx::CKernelHandle m_ready;
    fx::CKernelHandle m_thread;
    DWORD m_threadId = 0;
};

// Registers a plain window class of this module (arrow cursor, no background brush) for probe
// windows; true when it is registered, also by an earlier call from any thread.
bool RegisterWindowClass(const wchar_t* className, WNDPROC windowProc);
// Runs GetMessage / TranslateMessage / DispatchMessage until WM_QUIT.
void RunMessageLoop();

// ---- Screen pixels --------------------------------------------------------------------------

struct Rgb
{
    BYTE r = 0;
    BYTE g = 0;
    BYTE b = 0;
    bool operator==(const Rgb& other) const { return r == other.r && g == other.g && b == other.b; }
    bool operator!=(const Rgb& other) const { return !(*this == other); }
};
Rgb ToRgb(COLORREF color);
// True when each channel differs by at most the tolerance.
bool IsNear(Rgb a, Rgb b, int tolerance);
std::ostream& operator<<(std::ostream& out, const Rgb& color);
// Whether a captured pixel shows a layered window's pixel (UpdateLayeredWindow with ULW_ALPHA) of
// premultiplied colour `source` and alpha `alpha` over `background`. Windows blends them:
// source + background * (255 - alpha) / 255. Wine without a compositing manager (as under Xvfb)
// shows pixels of alpha 0 as the background and every other pixel as its premultiplied colour,
// as if over black. Both agree for alpha 0 and 255; in between either result is accepted.
bool IsLayeredPixel(Rgb seen, Rgb source, BYTE alpha, Rgb background, int tolerance = 2);

// A copy of what the screen shows in a rectangle, taken with BitBlt from the screen DC with
// CAPTUREBLT so that layered windows are in it.
class CScreenCapture
{
public:
    explicit CScreenCapture(const RECT& screenRect);
    static CScreenCapture OfWindow(HWND window);
    static CScreenCapture OfScreen();

    bool IsValid() const { return !m_pixels.empty(); }
    const RECT& ScreenRect() const { return m_rect; }
    int Width() const { return m_rect.right - m_rect.left; }
    int Height() const { return m_rect.bottom - m_rect.top; }
    // (x, y) relative to the captured rectangle's top-left corner; black outside it.
    Rgb GetPixel(int x, int y) const;
    Rgb GetScreenPixel(POINT screen) const;
    // Writes the capture as a PNG through GDI+'s encoder.
    bool SavePng(const std::wstring& path) const;

private:
    RECT m_rect{};
    std::vector<std::uint32_t> m_pixels;  // top-down rows of 0x00RRGGBB
};

// Saves a PNG of the window's rectangle, or of the whole screen for a null window.
bool SaveScreenshot(HWND window, const std::wstring& path);

// A plain window of one colour over the whole virtual screen, at the bottom of the z-order and
// never activated, on its own thread; tests check soft edges and transparent pixels against it.
class CBackdrop
{
public:
    explicit CBackdrop(COLORREF color);
    ~CBackdrop() = default;
    CBackdrop(const CBackdrop&) = delete;
    CBackdrop& operator=(const CBackdrop&) = delete;

    HWND Window() const { return m_window; }

private:
    COLORREF m_color;
    // Written once by the backdrop's thread: the window (not owned, destroyed when the thread
    // ends), then the flag that the attempt to create it is over.
    std::atomic<HWND> m_window{nullptr};
    std::atomic<bool> m_created{false};
    CUiThread m_thread;
};

}  // namespace ui
