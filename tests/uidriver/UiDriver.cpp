#include "tests/uidriver/UiDriver.h"

#include "framework/Gdi.h"

#include <objidl.h>
#include <gdiplus.h>
#include <windowsx.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <utility>

namespace ui {

namespace {

constexpr DWORD kPollMs = 10;
// Time for the receiving thread to take an injected event before the next one.
constexpr DWORD kInputSettleMs = 15;
constexpr int kClassNameCapacity = 256;

ULONGLONG Now() { return GetTickCount64(); }

struct EnumState
{
    const WindowPredicate* match;
    std::vector<HWND>* found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM param)
{
    auto* state = reinterpret_cast<EnumState*>(param);
    if (!*state->match || (*state->match)(window)) state->found->push_back(window);
    return TRUE;
}

// Dispatches what is queued now; false when a WM_QUIT came (it is put back for the real loop).
bool PumpPending()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return true;
}

void WaitForMessagesOrTimeout(DWORD ms)
{
    MsgWaitForMultipleObjectsEx(0, nullptr, ms, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

// The system gives every thread with windows a hidden input method window of its own.
bool IsImeWindow(HWND window)
{
    const std::wstring name = ClassName(window);
    return name == L"IME" || name == L"MSCTFIME UI";
}

void SendOneInput(INPUT& input) { SendInput(1, &input, sizeof(INPUT)); }

DWORD DownFlag(MouseButton button)
{
    return button == MouseButton::Left ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_RIGHTDOWN;
}

DWORD UpFlag(MouseButton button) { return button == MouseButton::Left ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_RIGHTUP; }

// Absolute SendInput coordinates run 0..65535 over the virtual screen and the system maps them
// back with dx * width / 65536: round up so that the mapping lands on the intended pixel.
LONG ToAbsolute(LONG pixel, int origin, int extent)
{
    const long long scaled = (static_cast<long long>(pixel - origin) * 65536 + extent - 1) / extent;
    return static_cast<LONG>(scaled);
}

// One mouse event at an absolute point: a move, and with `buttonFlags` a press or release there.
// A press or release carries its point, as a real mouse's does: it lands there even when a late
// report (see MoveCursor) has taken the cursor off the point since the last move.
void SendMouseAt(POINT screen, DWORD buttonFlags)
{
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = ToAbsolute(screen.x, left, GetSystemMetrics(SM_CXVIRTUALSCREEN));
    input.mi.dy = ToAbsolute(screen.y, top, GetSystemMetrics(SM_CYVIRTUALSCREEN));
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK | buttonFlags;
    SendOneInput(input);
}

bool IsExtendedKey(WORD virtualKey)
{
    switch (virtualKey) {
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
    case VK_INSERT:
    case VK_DELETE:
    case VK_HOME:
    case VK_END:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_RCONTROL:
    case VK_RMENU:
    case VK_DIVIDE:
    case VK_NUMLOCK: return true;
    default: return false;
    }
}

void SendKey(WORD virtualKey, bool up)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (IsExtendedKey(virtualKey) ? KEYEVENTF_EXTENDEDKEY : 0);
    SendOneInput(input);
}

void SendUnicodeUnit(wchar_t unit, bool up)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wScan = unit;
    input.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
    SendOneInput(input);
}

// GDI+ is reference counted by its startup token: each save starts and shuts down its own use, so
// the driver neither needs nor disturbs the program's own start-up.
class GdiplusUse
{
public:
    GdiplusUse()
    {
        Gdiplus::GdiplusStartupInput input;
        m_ok = Gdiplus::GdiplusStartup(&m_token, &input, nullptr) == Gdiplus::Ok;
    }
    ~GdiplusUse()
    {
        if (m_ok) Gdiplus::GdiplusShutdown(m_token);
    }
    GdiplusUse(const GdiplusUse&) = delete;
    GdiplusUse& operator=(const GdiplusUse&) = delete;
    bool IsOk() const { return m_ok; }

private:
    ULONG_PTR m_token = 0;
    bool m_ok = false;
};

std::optional<CLSID> PngEncoder()
{
    UINT count = 0;
    UINT bytes = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &bytes) != Gdiplus::Ok || bytes == 0) return std::nullopt;
    std::vector<BYTE> buffer(bytes);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::GetImageEncoders(count, bytes, codecs) != Gdiplus::Ok) return std::nullopt;
    for (UINT i = 0; i < count; ++i) {
        if (std::wstring(codecs[i].MimeType) == L"image/png") return codecs[i].Clsid;
    }
    return std::nullopt;
}

}  // namespace

// ---- Finding windows ------------------------------------------------------------------------

WindowPredicate HasClass(std::wstring className)
{
    return [className = std::move(className)](HWND window) { return ClassName(window) == className; };
}

WindowPredicate HasTitle(std::wstring title)
{
    return [title = std::move(title)](HWND window) { return WindowText(window) == title; };
}

WindowPredicate TitleContains(std::wstring part)
{
    return [part = std::move(part)](HWND window) { return WindowText(window).find(part) != std::wstring::npos; };
}

WindowPredicate OwnedBy(HWND owner)
{
    return [owner](HWND window) { return Owner(window) == owner; };
}

WindowPredicate HasControlId(int id)
{
    return [id](HWND window) { return ControlId(window) == id; };
}

WindowPredicate OnThread(DWORD threadId)
{
    return [threadId](HWND window) { return ThreadOf(window) == threadId; };
}

WindowPredicate InProcess(DWORD processId)
{
    return [processId](HWND window) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        return owner == processId;
    };
}

WindowPredicate IsShown()
{
    return [](HWND window) { return IsVisible(window); };
}

WindowPredicate All(std::vector<WindowPredicate> parts)
{
    return [parts = std::move(parts)](HWND window) {
        for (const auto& part : parts) {
            if (part && !part(window)) return false;
        }
        return true;
    };
}

std::vector<HWND> TopLevelWindows(const WindowPredicate& match)
{
    std::vector<HWND> found;
    EnumState state{&match, &found};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&state));
    return found;
}

std::vector<HWND> ChildWindows(HWND parent, const WindowPredicate& match)
{
    std::vector<HWND> found;
    EnumState state{&match, &found};
    EnumChildWindows(parent, CollectWindow, reinterpret_cast<LPARAM>(&state));
    return found;
}

std::vector<HWND> OwnedWindows(HWND owner) { return TopLevelWindows(OwnedBy(owner)); }

HWND FindTopLevel(const WindowPredicate& match)
{
    const auto found = TopLevelWindows(match);
    return found.empty() ? nullptr : found.front();
}

HWND FindChild(HWND parent, const WindowPredicate& match)
{
    const auto found = ChildWindows(parent, match);
    return found.empty() ? nullptr : found.front();
}

HWND FindControl(HWND dialog, int controlId) { return GetDlgItem(dialog, controlId); }

HWND WaitForWindow(const WindowPredicate& match, DWORD timeoutMs)
{
    HWND found = nullptr;
    PumpUntil([&] { return (found = FindTopLevel(match)) != nullptr; }, timeoutMs);
    return found;
}

HWND WaitForChild(HWND parent, const WindowPredicate& match, DWORD timeoutMs)
{
    HWND found = nullptr;
    PumpUntil([&] { return (found = FindChild(parent, match)) != nullptr; }, timeoutMs);
    return found;
}

bool WaitForWindowGone(HWND window, DWORD timeoutMs)
{
    return PumpUntil([window] { return !IsWindow(window); }, timeoutMs);
}

// ---- Reading windows ------------------------------------------------------------------------

std::wstring WindowText(HWND window, DWORD timeoutMs)
{
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, timeoutMs, &length)) return {};
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_NORMAL,
                             timeoutMs, &copied)) {
        return {};
    }
    text.resize(copied < text.size() ? copied : text.size() - 1);
    return text;
}

std::wstring ClassName(HWND window)
{
    wchar_t name[kClassNameCapacity] = {};
    const int length = GetClassNameW(window, name, kClassNameCapacity);
    return std::wstring(name, length > 0 ? length : 0);
}

RECT WindowRect(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

RECT ClientRectOnScreen(HWND window)
{
    RECT rect{};
    GetClientRect(window, &rect);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool IsVisible(HWND window) { return IsWindowVisible(window) != FALSE; }
bool IsEnabled(HWND window) { return IsWindowEnabled(window) != FALSE; }
DWORD Style(HWND window) { return static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)); }
DWORD ExStyle(HWND window) { return static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE)); }
int ControlId(HWND window) { return GetDlgCtrlID(window); }
HWND Owner(HWND window) { return GetWindow(window, GW_OWNER); }
DWORD ThreadOf(HWND window) { return GetWindowThreadProcessId(window, nullptr); }

namespace {

GUITHREADINFO GuiThreadInfo(DWORD threadId)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(threadId, &info)) return GUITHREADINFO{};
    return info;
}

}  // namespace

HWND FocusOf(DWORD threadId) { return GuiThreadInfo(threadId).hwndFocus; }
HWND ActiveOf(DWORD threadId) { return GuiThreadInfo(threadId).hwndActive; }

POINT CenterOf(const RECT& rect) { return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}; }
SIZE SizeOf(const RECT& rect) { return {rect.right - rect.left, rect.bottom - rect.top}; }

POINT ClientToScreenPoint(HWND window, POINT client)
{
    ClientToScreen(window, &client);
    return client;
}

// ---- Input ----------------------------------------------------------------------------------

// Under Wine every move of the cursor also moves the X server's pointer, and the X server reports
// that move to the thread that owns the window under the pointer. That thread turns the report into
// a mouse move of its own when it next reads its X events: read after a newer move, it puts the
// cursor back where the older move had left it. Wine holds the pointer for each move and waits for
// the X server's answer first, so once a move has returned, the X server has sent every report of
// the moves before it: a move therefore returns only after every thread that owns a shown window has
// read what it was sent, and puts the cursor back on its point when that moved it. While a window is
// dragged by the mouse its thread holds the X pointer, which stays where the drag began and is
// reported there once the drag ends: the release puts it where the drag ended. On Windows, which
// has no such reports, the same steps change nothing.

namespace {

// A move followed by late reports settles within two rounds: the first takes the reports in, the
// second the one that putting the cursor back causes.
constexpr int kSettleRounds = 4;

bool SamePoint(POINT a, POINT b) { return a.x == b.x && a.y == b.y; }

// What a thread of this process does when the driver asks it to (see RunOnWindowThread).
enum class ThreadTask : WPARAM
{
    TakeInput,  // take in the input that the window system holds for the thread
    Reseat,     // put the pointer on the point in lParam again, through the thread's own link to the X server
};

UINT ThreadTaskMessage()
{
    static const UINT message = RegisterWindowMessageW(L"QuorlinUiDriverThreadTask");
    return message;
}

// A wait that returns at once: under Wine it makes the calling thread read its X events and turn
// them into input, without dispatching any message.
void TakePendingInput() { MsgWaitForMultipleObjectsEx(0, nullptr, 0, QS_ALLINPUT, 0); }

// The system only moves the pointer when the point differs from where it believes the cursor is, so
// a pointer left behind (by a drag) is moved one pixel aside and back.
void ReseatPointer(POINT screen)
{
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    SetCursorPos(screen.x > left ? screen.x - 1 : screen.x + 1, screen.y);
    SetCursorPos(screen.x, screen.y);
}

void RunThreadTask(ThreadTask task, LPARAM lParam)
{
    switch (task) {
    case ThreadTask::TakeInput: TakePendingInput(); break;
    case ThreadTask::Reseat: ReseatPointer({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}); break;
    }
}

LRESULT CALLBACK ThreadTaskHook(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == ThreadTaskMessage()) {
        RunThreadTask(static_cast<ThreadTask>(call->wParam), call->lParam);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

class CThreadHook
{
public:
    CThreadHook(int kind, HOOKPROC proc, DWORD threadId) : m_hook(SetWindowsHookExW(kind, proc, nullptr, threadId)) {}
    ~CThreadHook()
    {
        if (m_hook) UnhookWindowsHookEx(m_hook);
    }
    CThreadHook(const CThreadHook&) = delete;
    CThreadHook& operator=(const CThreadHook&) = delete;
    bool IsSet() const { return m_hook != nullptr; }

private:
    HHOOK m_hook;
};

// Runs the task on the thread of this process that owns the window, whatever that thread is busy
// with: a hook of the thread sees the sent message before the window does. A thread that takes no
// message within the timeout is left alone (it cannot act on input either).
void RunOnWindowThread(HWND window, ThreadTask task, LPARAM lParam = 0)
{
    const DWORD thread = ThreadOf(window);
    if (thread == GetCurrentThreadId()) {
        RunThreadTask(task, lParam);
        return;
    }
    const CThreadHook hook(WH_CALLWNDPROC, ThreadTaskHook, thread);
    if (!hook.IsSet()) return;
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(window, ThreadTaskMessage(), static_cast<WPARAM>(task), lParam, SMTO_NORMAL | SMTO_ABORTIFHUNG,
                        kDefaultTimeoutMs, &ignored);
}

// One shown top-level window of each thread of this process that has one, other than the calling
// thread: the threads that receive the window system's reports of the pointer.
std::vector<HWND> OneWindowPerOtherThread(const WindowPredicate& match = nullptr)
{
    std::vector<DWORD> threads{GetCurrentThreadId()};
    std::vector<HWND> windows;
    for (HWND window : TopLevelWindows(All({InProcess(GetCurrentProcessId()), IsShown(), match}))) {
        const DWORD thread = ThreadOf(window);
        if (std::find(threads.begin(), threads.end(), thread) != threads.end()) continue;
        threads.push_back(thread);
        windows.push_back(window);
    }
    return windows;
}

bool IsMovingOrSizing(DWORD threadId) { return (GuiThreadInfo(threadId).flags & GUI_INMOVESIZE) != 0; }

// The window whose caption or sizing border is at the point: a press of the left button there
// starts the system's loop that moves or sizes it. Null for any other point.
HWND WindowMovedByPressAt(POINT screen)
{
    HWND window = WindowFromPoint(screen);
    if (!window) return nullptr;
    const auto hit = Send(window, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y));
    if (!hit) return nullptr;
    return *hit == HTCAPTION || (*hit >= HTLEFT && *hit <= HTBOTTOMRIGHT) ? window : nullptr;
}

// Every window thread takes in the reports the window system holds for it; a report that came late
// moved the cursor off the point, so it is put back and the round repeats. True once the cursor
// stays on the point.
// This thread and every other thread of this process that owns a shown window read what the window
// system holds for them (late pointer and focus reports among it).
void TakeInputOnEveryThread()
{
    TakePendingInput();
    for (HWND window : OneWindowPerOtherThread()) RunOnWindowThread(window, ThreadTask::TakeInput);
}

bool SettleCursor(POINT screen)
{
    for (int round = 0; round < kSettleRounds; ++round) {
        TakeInputOnEveryThread();
        if (SamePoint(CursorPos(), screen)) return true;
        SetCursorPos(screen.x, screen.y);
    }
    return SamePoint(CursorPos(), screen);
}

}  // namespace

bool MoveCursor(POINT screen)
{
    SendMouseAt(screen, 0);
    return SettleCursor(screen);
}

POINT CursorPos()
{
    POINT point{};
    GetCursorPos(&point);
    return point;
}

void MouseDown(POINT screen, MouseButton button)
{
    MoveCursor(screen);
    HWND moved = button == MouseButton::Left ? WindowMovedByPressAt(screen) : nullptr;
    SendMouseAt(screen, DownFlag(button));
    // The loop is running before the press returns, so that the release knows to end it.
    if (moved) {
        const DWORD thread = ThreadOf(moved);
        PumpUntil([thread] { return IsMovingOrSizing(thread); });
    }
    PumpFor(kInputSettleMs);
}

void MouseUp(POINT screen, MouseButton button)
{
    MoveCursor(screen);
    const std::vector<HWND> dragged =
        OneWindowPerOtherThread([](HWND window) { return IsMovingOrSizing(ThreadOf(window)); });
    SendMouseAt(screen, UpFlag(button));
    // The release ends the drag. The thread that dragged lets go of the X pointer and then, through
    // the same link to the X server (so that the X server has let go first), puts it where the drag
    // ended.
    for (HWND window : dragged) {
        const DWORD thread = ThreadOf(window);
        PumpUntil([thread] { return !IsMovingOrSizing(thread); });
        RunOnWindowThread(window, ThreadTask::Reseat, MAKELPARAM(screen.x, screen.y));
    }
    if (!dragged.empty()) SettleCursor(screen);
    PumpFor(kInputSettleMs);
}

void Click(POINT screen, MouseButton button)
{
    MouseDown(screen, button);
    MouseUp(screen, button);
}

void ClickWindow(HWND window) { Click(CenterOf(WindowRect(window))); }

void Drag(POINT from, POINT to, int steps, DWORD stepPauseMs)
{
    if (steps < 1) steps = 1;
    MoveCursor(from);
    PumpFor(stepPauseMs);
    MouseDown(from);
    for (int i = 1; i <= steps; ++i) {
        const POINT step{from.x + MulDiv(to.x - from.x, i, steps), from.y + MulDiv(to.y - from.y, i, steps)};
        MoveCursor(step);
        PumpFor(stepPauseMs);
    }
    MouseUp(to);
}

void KeyDown(WORD virtualKey)
{
    SendKey(virtualKey, false);
    PumpFor(kInputSettleMs);
}

void KeyUp(WORD virtualKey)
{
    SendKey(virtualKey, true);
    PumpFor(kInputSettleMs);
}

void PressKey(WORD virtualKey)
{
    KeyDown(virtualKey);
    KeyUp(virtualKey);
}

void PressChord(std::initializer_list<WORD> virtualKeys)
{
    for (WORD key : virtualKeys) KeyDown(key);
    for (auto it = std::rbegin(virtualKeys); it != std::rend(virtualKeys); ++it) KeyUp(*it);
}

void TypeText(const std::wstring& text)
{
    for (wchar_t unit : text) {
        SendUnicodeUnit(unit, false);
        SendUnicodeUnit(unit, true);
        PumpFor(kInputSettleMs);
    }
}

bool Activate(HWND window, DWORD timeoutMs)
{
    SetForegroundWindow(window);
    return PumpUntil([window] { return GetForegroundWindow() == window; }, timeoutMs);
}

bool WaitForInput(HWND window, HWND focus, DWORD timeoutMs)
{
    const auto takesInput = [window, focus] {
        if (!IsEnabled(window) || GetForegroundWindow() != window) return false;
        const HWND current = FocusOf(ThreadOf(window));
        return focus ? current == focus : current == window || IsChild(window, current);
    };
    // Under Wine the X server reports the activation's focus change late; the thread that reads the
    // report takes the activation away again, or releases the modifier keys that the X server never
    // saw pressed. The state counts once it holds after every thread has read what it was sent.
    return PumpUntil(
        [&takesInput] {
            if (!takesInput()) return false;
            TakeInputOnEveryThread();
            return takesInput();
        },
        timeoutMs);
}

// ---- Messages -------------------------------------------------------------------------------

std::optional<LRESULT> Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD timeoutMs)
{
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, timeoutMs, &result)) {
        return std::nullopt;
    }
    return static_cast<LRESULT>(result);
}

bool Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return PostMessageW(window, message, wParam, lParam) != FALSE;
}

void PumpFor(DWORD ms)
{
    const ULONGLONG deadline = Now() + ms;
    for (;;) {
        if (!PumpPending()) return;
        const ULONGLONG now = Now();
        if (now >= deadline) return;
        WaitForMessagesOrTimeout(static_cast<DWORD>(deadline - now));
    }
}

bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    const ULONGLONG deadline = Now() + timeoutMs;
    for (;;) {
        if (condition()) return true;
        if (Now() >= deadline) return false;
        // Conditions often depend on other threads, which do not wake this one: poll as well.
        PumpPending();
        WaitForMessagesOrTimeout(kPollMs);
    }
}

bool RegisterWindowClass(const wchar_t* className, WNDPROC windowProc)
{
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = windowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = className;
    return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// ---- Threads --------------------------------------------------------------------------------

CUiThread::CUiThread(std::function<void()> body)
    : m_body(std::move(body)), m_ready(CreateEventW(nullptr, TRUE, FALSE, nullptr))
{
    m_thread.Reset(CreateThread(nullptr, 0, ThreadMain, this, 0, &m_threadId));
    if (m_thread.IsValid()) WaitForSingleObject(m_ready.Get(), INFINITE);
}

CUiThread::~CUiThread()
{
    if (!m_thread.IsValid() || Join(0)) return;
    const WindowPredicate ownWindows = All({OnThread(m_threadId), [](HWND window) { return !IsImeWindow(window); }});
    for (HWND window : TopLevelWindows(ownWindows)) PostMessageW(window, WM_CLOSE, 0, 0);
    // A body whose loop does not end with its last window gets WM_QUIT once the windows are gone.
    PumpUntil([&] { return Join(0) || TopLevelWindows(ownWindows).empty(); }, kDefaultTimeoutMs);
    if (Join(0)) return;
    PostThreadMessageW(m_threadId, WM_QUIT, 0, 0);
    if (Join(kDefaultTimeoutMs)) return;
    std::fprintf(stderr, "ui::CUiThread: thread %lu did not end; ending the test process\n", m_threadId);
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), 3);
}

bool CUiThread::Join(DWORD timeoutMs)
{
    return PumpUntil([this] { return WaitForSingleObject(m_thread.Get(), 0) == WAIT_OBJECT_0; }, timeoutMs);
}

DWORD WINAPI CUiThread::ThreadMain(void* param)
{
    auto* self = static_cast<CUiThread*>(param);
    MSG msg;
    PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);  // creates the message queue
    SetEvent(self->m_ready.Get());
    self->m_body();
    return 0;
}

void RunMessageLoop()
{
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// ---- Screen pixels --------------------------------------------------------------------------

Rgb ToRgb(COLORREF color) { return {GetRValue(color), GetGValue(color), GetBValue(color)}; }

bool IsNear(Rgb a, Rgb b, int tolerance)
{
    auto close = [tolerance](BYTE x, BYTE y) { return std::abs(int(x) - int(y)) <= tolerance; };
    return close(a.r, b.r) && close(a.g, b.g) && close(a.b, b.b);
}

bool IsLayeredPixel(Rgb seen, Rgb source, BYTE alpha, Rgb background, int tolerance)
{
    auto blend = [alpha](BYTE top, BYTE below) { return static_cast<BYTE>(top + below * (255 - alpha) / 255); };
    const Rgb blended{blend(source.r, background.r), blend(source.g, background.g), blend(source.b, background.b)};
    if (IsNear(seen, blended, tolerance)) return true;
    return alpha != 0 && IsNear(seen, source, tolerance);
}

std::ostream& operator<<(std::ostream& out, const Rgb& color)
{
    return out << "RGB(" << int(color.r) << ", " << int(color.g) << ", " << int(color.b) << ")";
}

CScreenCapture::CScreenCapture(const RECT& screenRect) : m_rect(screenRect)
{
    const int width = Width();
    const int height = Height();
    if (width <= 0 || height <= 0) return;
    fx::CClientDC screen(nullptr);
    fx::CMemoryDC memory(screen.Get());
    if (!screen || !memory) return;
    fx::CDibSection canvas(screen.Get(), width, height);
    if (!canvas.bits) return;
    fx::CSelectObject selection(memory.Get(), canvas.bitmap.Get());
    if (!BitBlt(memory.Get(), 0, 0, width, height, screen.Get(), m_rect.left, m_rect.top, SRCCOPY | CAPTUREBLT)) return;
    GdiFlush();
    const auto* first = static_cast<const std::uint32_t*>(canvas.bits);
    m_pixels.assign(first, first + static_cast<size_t>(width) * height);
    for (auto& pixel : m_pixels) pixel &= 0x00FFFFFF;
}

CScreenCapture CScreenCapture::OfWindow(HWND window) { return CScreenCapture(WindowRect(window)); }

CScreenCapture CScreenCapture::OfScreen()
{
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    return CScreenCapture(
        RECT{left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN), top + GetSystemMetrics(SM_CYVIRTUALSCREEN)});
}

Rgb CScreenCapture::GetPixel(int x, int y) const
{
    if (!IsValid() || x < 0 || y < 0 || x >= Width() || y >= Height()) return {};
    const std::uint32_t pixel = m_pixels[static_cast<size_t>(y) * Width() + x];
    return {static_cast<BYTE>(pixel >> 16), static_cast<BYTE>(pixel >> 8), static_cast<BYTE>(pixel)};
}

Rgb CScreenCapture::GetScreenPixel(POINT screen) const
{
    return GetPixel(screen.x - m_rect.left, screen.y - m_rect.top);
}

bool CScreenCapture::SavePng(const std::wstring& path) const
{
    if (!IsValid()) return false;
    GdiplusUse gdiplus;
    if (!gdiplus.IsOk()) return false;
    const auto encoder = PngEncoder();
    if (!encoder) return false;
    // The bitmap only borrows the pixels, which outlive it.
    Gdiplus::Bitmap bitmap(Width(), Height(), Width() * 4, PixelFormat32bppRGB,
                           reinterpret_cast<BYTE*>(const_cast<std::uint32_t*>(m_pixels.data())));
    if (bitmap.GetLastStatus() != Gdiplus::Ok) return false;
    return bitmap.Save(path.c_str(), &*encoder, nullptr) == Gdiplus::Ok;
}

bool SaveScreenshot(HWND window, const std::wstring& path)
{
    const CScreenCapture capture = window ? CScreenCapture::OfWindow(window) : CScreenCapture::OfScreen();
    return capture.SavePng(path);
}

// ---- Backdrop -------------------------------------------------------------------------------

namespace {

constexpr wchar_t kBackdropClass[] = L"QuorlinTestBackdrop";

LRESULT CALLBACK BackdropProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND: {
        RECT client{};
        GetClientRect(window, &client);
        const HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(GetWindowLongPtrW(window, GWLP_USERDATA)));
        FillRect(reinterpret_cast<HDC>(wParam), &client, brush);
        DeleteObject(brush);
        return 1;
    }
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

CBackdrop::CBackdrop(COLORREF color)
    : m_color(color), m_thread([this] {
          RegisterWindowClass(kBackdropClass, BackdropProc);
          const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
          const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
          HWND window = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kBackdropClass, L"", WS_POPUP, left, top,
                                        GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN),
                                        nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
          if (window) {
              SetWindowLongPtrW(window, GWLP_USERDATA, static_cast<LONG_PTR>(m_color));
              SetWindowPos(window, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
              UpdateWindow(window);
          }
          m_window = window;
          m_created = true;
          if (window) RunMessageLoop();
      })
{
    // The constructor of m_thread returns once the thread has a queue; wait for the window too.
    PumpUntil([this] { return m_created.load(); }, kDefaultTimeoutMs);
}

}  // namespace ui
