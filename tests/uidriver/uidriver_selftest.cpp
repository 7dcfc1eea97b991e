// The UI driver against a plain probe window on its own thread: finding, clicking, typing,
// dragging by a caption strip, Alt+F4 and pixel checks of screen captures.
#include <doctest.h>
#include <objidl.h>
#include <gdiplus.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

#include "framework/Gdi.h"
#include "tests/uidriver/UiDriver.h"

namespace {

constexpr wchar_t kProbeClass[] = L"QuorlinDriverProbe";
constexpr wchar_t kProbeTitle[] = L"探针窗口";
constexpr int kButtonId = 101;
constexpr int kEditId = 102;
constexpr int kProbeWidth = 300;
constexpr int kProbeHeight = 200;
constexpr int kStripHeight = 30;
constexpr int kButtonTop = 140;
constexpr COLORREF kLeftColour = RGB(200, 0, 0);
constexpr COLORREF kRightColour = RGB(0, 0, 200);
// Under Wine a cursor that has been still for 100 ms is read back from the X server's pointer.
constexpr DWORD kCursorStillMs = 200;
// How long the cursor is watched after a move for input that would still arrive.
constexpr DWORD kLateInputMs = 50;
// How long a busy probe's thread works on each mouse move.
constexpr int kBusyMouseMoveMs = 20;

// What the probe saw, written by its thread, read by the test.
struct ProbeLog
{
    explicit ProbeLog(int mouseMoveWorkMs) : mouseMoveWorkMs(mouseMoveWorkMs) {}
    std::atomic<int> clicks{0};
    std::atomic<int> mouseMoves{0};
    std::atomic<int> escapes{0};
    std::atomic<int> returns{0};
    const int mouseMoveWorkMs;  // how long the probe's thread is busy with each mouse move
};

ProbeLog& LogOf(HWND window) { return *reinterpret_cast<ProbeLog*>(GetWindowLongPtrW(window, GWLP_USERDATA)); }

LRESULT CALLBACK ProbeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NCCREATE:
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_CREATE:
        CreateWindowExW(0, L"BUTTON", L"按钮", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 160, kButtonTop, 120, 40, window,
                        reinterpret_cast<HMENU>(kButtonId), nullptr, nullptr);
        CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 10, 40, 280, 24, window,
                        reinterpret_cast<HMENU>(kEditId), nullptr, nullptr);
        return 0;
    case WM_NCHITTEST: {
        // The top strip drags the window, the way the program's borderless dialogs do.
        POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        ScreenToClient(window, &point);
        return point.y >= 0 && point.y < kStripHeight ? HTCAPTION : HTCLIENT;
    }
    case WM_MOUSEMOVE:
        ++LogOf(window).mouseMoves;
        if (LogOf(window).mouseMoveWorkMs > 0) Sleep(LogOf(window).mouseMoveWorkMs);
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == kButtonId && HIWORD(wParam) == BN_CLICKED) ++LogOf(window).clicks;
        return 0;
    case WM_ERASEBKGND: {
        RECT client{};
        GetClientRect(window, &client);
        RECT left = client;
        left.right = client.right / 2;
        RECT right = client;
        right.left = left.right;
        HDC dc = reinterpret_cast<HDC>(wParam);
        HBRUSH leftBrush = CreateSolidBrush(kLeftColour);
        HBRUSH rightBrush = CreateSolidBrush(kRightColour);
        FillRect(dc, &left, leftBrush);
        FillRect(dc, &right, rightBrush);
        DeleteObject(leftBrush);
        DeleteObject(rightBrush);
        return 1;
    }
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

// Runs the probe window on its own thread and notes the keys its loop sees.
class ProbeWindow
{
public:
    explicit ProbeWindow(POINT topLeft, int mouseMoveWorkMs = 0)
        : m_log(mouseMoveWorkMs), m_thread([this, topLeft] {
              if (!ui::RegisterWindowClass(kProbeClass, ProbeProc)) return;
              HWND window = CreateWindowExW(0, kProbeClass, kProbeTitle, WS_POPUP | WS_VISIBLE, topLeft.x, topLeft.y,
                                            kProbeWidth, kProbeHeight, nullptr, nullptr, nullptr, &m_log);
              if (!window) return;
              MSG msg;
              while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
                  if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) ++m_log.escapes;
                  if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN) ++m_log.returns;
                  TranslateMessage(&msg);
                  DispatchMessageW(&msg);
              }
          })
    {
    }

    ProbeLog& Log() { return m_log; }
    DWORD ThreadId() const { return m_thread.Id(); }
    bool Join() { return m_thread.Join(); }

private:
    ProbeLog m_log;  // outlives the thread, whose window writes to it
    ui::CUiThread m_thread;
};

HWND WaitForProbe()
{
    return ui::WaitForWindow(ui::All({ui::HasClass(kProbeClass), ui::HasTitle(kProbeTitle), ui::IsShown()}));
}

bool SamePoint(POINT a, POINT b) { return a.x == b.x && a.y == b.y; }

bool RectIs(const RECT& rect, LONG left, LONG top, LONG right, LONG bottom)
{
    return rect.left == left && rect.top == top && rect.right == right && rect.bottom == bottom;
}

// A late report of the pointer, as Wine's X11 driver turns one into input when a window's thread
// reads its X events: the window's thread puts the cursor on an old point. It happens here while
// the thread answers the first hit test that another thread sends it after `Arm`, which the driver
// does between its move onto a point and its press there.
class CLateReport
{
public:
    CLateReport(DWORD thread, POINT oldPoint) : m_hook(SetWindowsHookExW(WH_CALLWNDPROC, Hook, nullptr, thread))
    {
        s_oldPoint = oldPoint;
        s_happened = false;
    }
    ~CLateReport()
    {
        s_armed = false;
        if (m_hook) UnhookWindowsHookEx(m_hook);
    }
    CLateReport(const CLateReport&) = delete;
    CLateReport& operator=(const CLateReport&) = delete;

    bool IsSet() const { return m_hook != nullptr; }
    void Arm() { s_armed = true; }
    bool Happened() const { return s_happened; }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam)
    {
        const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && call->message == WM_NCHITTEST && (InSendMessageEx(nullptr) & ISMEX_SEND) &&
            s_armed.exchange(false)) {
            SetCursorPos(s_oldPoint.x, s_oldPoint.y);
            s_happened = true;
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static inline std::atomic<bool> s_armed{false};
    static inline std::atomic<bool> s_happened{false};
    static inline POINT s_oldPoint{};
    HHOOK m_hook;
};

}  // namespace

TEST_CASE("the driver finds and reads a window on another thread")
{
    ProbeWindow probe({100, 100});
    HWND window = WaitForProbe();
    REQUIRE(window != nullptr);

    CHECK(ui::WindowText(window) == kProbeTitle);
    CHECK(ui::ThreadOf(window) == probe.ThreadId());
    CHECK(ui::FindTopLevel(ui::All({ui::OnThread(probe.ThreadId()), ui::InProcess(GetCurrentProcessId())})) == window);
    CHECK(ui::FindTopLevel(ui::All({ui::HasClass(kProbeClass), ui::HasTitle(L"另一个标题")})) == nullptr);
    CHECK(RectIs(ui::WindowRect(window), 100, 100, 100 + kProbeWidth, 100 + kProbeHeight));
    CHECK(RectIs(ui::ClientRectOnScreen(window), 100, 100, 100 + kProbeWidth, 100 + kProbeHeight));
    CHECK((ui::Style(window) & WS_POPUP) != 0);

    HWND button = ui::FindControl(window, kButtonId);
    REQUIRE(button != nullptr);
    CHECK(ui::ControlId(button) == kButtonId);
    CHECK(ui::FindChild(window, ui::HasTitle(L"按钮")) == button);
    CHECK(ui::ChildWindows(window).size() == 2);
    CHECK(ui::IsEnabled(button));
    EnableWindow(button, FALSE);
    CHECK_FALSE(ui::IsEnabled(button));
    CHECK((ui::ExStyle(ui::FindControl(window, kEditId)) & WS_EX_CLIENTEDGE) != 0);

    CHECK(ui::Send(window, WM_GETTEXTLENGTH) == LRESULT(wcslen(kProbeTitle)));
    CHECK(ui::OwnedWindows(window).empty());
    ui::Post(window, WM_CLOSE);
    CHECK(ui::WaitForWindowGone(window));
    CHECK(probe.Join());
    CHECK(ui::WaitForWindow(ui::HasClass(kProbeClass), 100) == nullptr);
}

TEST_CASE("owned windows are listed by their owner")
{
    ui::CUiThread thread([] {
        HWND owner = CreateWindowExW(0, L"STATIC", L"主人", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                     nullptr, nullptr);
        CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"随从", WS_POPUP, 0, 0, 50, 50, owner, nullptr, nullptr, nullptr);
        ui::RunMessageLoop();
    });
    HWND owner = ui::WaitForWindow(ui::All({ui::HasTitle(L"主人"), ui::OnThread(thread.Id())}));
    REQUIRE(owner != nullptr);
    const auto owned = ui::OwnedWindows(owner);
    REQUIRE(owned.size() == 1);
    CHECK(ui::WindowText(owned[0]) == L"随从");
    CHECK(ui::Owner(owned[0]) == owner);
    CHECK_FALSE(ui::IsVisible(owned[0]));
    CHECK((ui::ExStyle(owned[0]) & WS_EX_TOOLWINDOW) != 0);
    PostThreadMessageW(thread.Id(), WM_QUIT, 0, 0);
    CHECK(thread.Join());
}

TEST_CASE("real mouse input reaches the window under the cursor")
{
    ProbeWindow probe({200, 150});
    HWND window = WaitForProbe();
    REQUIRE(window != nullptr);
    HWND button = ui::FindControl(window, kButtonId);

    SUBCASE("moving the cursor sends WM_MOUSEMOVE")
    {
        CHECK(ui::MoveCursor({250, 230}));
        CHECK(ui::MoveCursor({260, 235}));
        CHECK(ui::CursorPos().x == 260);
        CHECK(ui::CursorPos().y == 235);
        CHECK(ui::PumpUntil([&] { return probe.Log().mouseMoves > 0; }));
    }
    SUBCASE("a click on the button arrives as BN_CLICKED, once per click")
    {
        ui::ClickWindow(button);
        CHECK(ui::PumpUntil([&] { return probe.Log().clicks == 1; }));
        ui::PumpFor(GetDoubleClickTime() + 50);  // two quick clicks would be a double click
        ui::ClickWindow(button);
        CHECK(ui::PumpUntil([&] { return probe.Log().clicks == 2; }));
    }
    SUBCASE("a click lands on its point even when a late report takes the cursor off it before the press")
    {
        const RECT rect = ui::WindowRect(button);
        const POINT oldPoint{rect.left - 40, rect.top - 40};  // on the probe, off the button
        CLateReport lateReport(probe.ThreadId(), oldPoint);
        REQUIRE(lateReport.IsSet());
        ui::MoveCursor(oldPoint);
        lateReport.Arm();
        ui::ClickWindow(button);
        CHECK(lateReport.Happened());
        CHECK(ui::PumpUntil([&] { return probe.Log().clicks == 1; }));
    }
    SUBCASE("a press that leaves the button before release is no click")
    {
        const RECT rect = ui::WindowRect(button);
        ui::MouseDown(ui::CenterOf(rect));
        ui::MouseUp({rect.left - 40, rect.top - 40});
        ui::PumpFor(200);
        CHECK(probe.Log().clicks == 0);
    }
    SUBCASE("dragging the top strip moves the window by the distance")
    {
        const RECT before = ui::WindowRect(window);
        ui::Drag({before.left + 100, before.top + 10}, {before.left + 220, before.top + 70});
        CHECK(ui::PumpUntil([&] { return ui::WindowRect(window).left == before.left + 120; }));
        CHECK(
            RectIs(ui::WindowRect(window), before.left + 120, before.top + 60, before.right + 120, before.bottom + 60));
        // Still long enough that the position is read back from the window system's own pointer.
        ui::PumpFor(kCursorStillMs);
        CHECK(SamePoint(ui::CursorPos(), {before.left + 220, before.top + 70}));
    }
    SUBCASE("dragging below the strip moves nothing")
    {
        const RECT before = ui::WindowRect(window);
        ui::Drag({before.left + 60, before.top + 110}, {before.left + 160, before.top + 160});
        ui::PumpFor(200);
        CHECK(RectIs(ui::WindowRect(window), before.left, before.top, before.right, before.bottom));
    }
}

TEST_CASE("the cursor rests where it was put, also over a window whose thread is slow to take its input")
{
    // Each mouse move keeps the probe's thread busy, so that it takes the window system's report
    // of an earlier move only after the next one.
    ProbeWindow probe({200, 150}, kBusyMouseMoveMs);
    REQUIRE(WaitForProbe() != nullptr);
    const struct
    {
        POINT first;
        POINT second;
    } pairs[] = {
        {{250, 230}, {260, 235}}, {{260, 235}, {250, 230}}, {{210, 160}, {480, 330}},
        {{480, 330}, {210, 160}}, {{300, 200}, {301, 200}}, {{301, 200}, {300, 201}},
    };
    for (int round = 0; round < 8; ++round) {
        for (const auto& pair : pairs) {
            CAPTURE(round);
            CAPTURE(pair.second.x);
            CAPTURE(pair.second.y);
            CHECK(ui::MoveCursor(pair.first));
            CHECK(ui::MoveCursor(pair.second));
            CHECK(SamePoint(ui::CursorPos(), pair.second));
            // Nothing that still comes takes the cursor away again.
            CHECK_FALSE(ui::PumpUntil([&] { return !SamePoint(ui::CursorPos(), pair.second); }, kLateInputMs));
        }
    }
    // The probe saw the moves as real input.
    CHECK(probe.Log().mouseMoves > 0);
}

TEST_CASE("real keyboard input reaches the focused window")
{
    ProbeWindow probe({150, 120});
    HWND window = WaitForProbe();
    REQUIRE(window != nullptr);
    CHECK(ui::Activate(window));
    CHECK(ui::ActiveOf(probe.ThreadId()) == window);
    HWND edit = ui::FindControl(window, kEditId);
    ui::ClickWindow(edit);
    REQUIRE(ui::PumpUntil([&] { return ui::FocusOf(probe.ThreadId()) == edit; }));

    ui::TypeText(L"abc 加密123");
    CHECK(ui::PumpUntil([&] { return ui::WindowText(edit) == L"abc 加密123"; }));
    ui::PressKey(VK_BACK);
    CHECK(ui::PumpUntil([&] { return ui::WindowText(edit) == L"abc 加密12"; }));

    ui::PressKey(VK_ESCAPE);
    ui::PressKey(VK_RETURN);
    CHECK(ui::PumpUntil([&] { return probe.Log().escapes == 1 && probe.Log().returns == 1; }));

    ui::PressChord({VK_MENU, VK_F4});
    CHECK(ui::WaitForWindowGone(window));
    CHECK(probe.Join());
}

TEST_CASE("captures show the real pixels of windows and of the backdrop")
{
    const ui::CBackdrop backdrop(RGB(0, 160, 0));
    REQUIRE(backdrop.Window() != nullptr);
    ProbeWindow probe({300, 300});
    HWND window = WaitForProbe();
    REQUIRE(window != nullptr);
    // Let the probe paint before the capture.
    REQUIRE(ui::Send(window, WM_NULL).has_value());
    ui::PumpFor(100);

    const ui::CScreenCapture capture = ui::CScreenCapture::OfWindow(window);
    REQUIRE(capture.IsValid());
    CHECK(capture.Width() == kProbeWidth);
    CHECK(capture.Height() == kProbeHeight);
    CHECK(capture.GetPixel(5, 5) == ui::ToRgb(kLeftColour));
    CHECK(capture.GetPixel(kProbeWidth / 2 - 1, 100) == ui::ToRgb(kLeftColour));
    CHECK(capture.GetPixel(kProbeWidth / 2, 100) == ui::ToRgb(kRightColour));
    CHECK(capture.GetPixel(kProbeWidth - 1, 5) == ui::ToRgb(kRightColour));

    const ui::CScreenCapture screen = ui::CScreenCapture::OfScreen();
    CHECK(screen.Width() == GetSystemMetrics(SM_CXVIRTUALSCREEN));
    CHECK(screen.GetScreenPixel({299, 299}) == ui::Rgb{0, 160, 0});
    CHECK(screen.GetScreenPixel({300, 300}) == ui::ToRgb(kLeftColour));
    CHECK(screen.GetScreenPixel({300 + kProbeWidth, 300 + kProbeHeight}) == ui::Rgb{0, 160, 0});

    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + L"quorlin-driver-probe.png";
    REQUIRE(capture.SavePng(path));
    {
        ULONG_PTR token = 0;
        Gdiplus::GdiplusStartupInput input;
        REQUIRE(Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok);
        {
            Gdiplus::Bitmap saved(path.c_str());
            REQUIRE(saved.GetLastStatus() == Gdiplus::Ok);
            CHECK(saved.GetWidth() == UINT(kProbeWidth));
            CHECK(saved.GetHeight() == UINT(kProbeHeight));
            Gdiplus::Color left;
            Gdiplus::Color right;
            saved.GetPixel(5, 5, &left);
            saved.GetPixel(kProbeWidth - 5, 5, &right);
            CHECK(ui::Rgb{left.GetR(), left.GetG(), left.GetB()} == ui::ToRgb(kLeftColour));
            CHECK(ui::Rgb{right.GetR(), right.GetG(), right.GetB()} == ui::ToRgb(kRightColour));
        }
        Gdiplus::GdiplusShutdown(token);
    }
    DeleteFileW(path.c_str());
}

namespace {

constexpr int kBandWidth = 30;
constexpr int kLayeredHeight = 20;
constexpr BYTE kBandAlpha[] = {255, 128, 0};
constexpr BYTE kLayeredRed = 200;

BYTE Premultiply(BYTE value, BYTE alpha) { return static_cast<BYTE>(value * alpha / 255); }

// A layered popup in three bands of red: opaque, half transparent, fully transparent.
HWND CreateBandedLayeredWindow(POINT topLeft)
{
    constexpr int width = kBandWidth * 3;
    HWND window = CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW, L"STATIC", L"分层", WS_POPUP, topLeft.x, topLeft.y,
                                  width, kLayeredHeight, nullptr, nullptr, nullptr, nullptr);
    if (!window) return nullptr;
    const fx::CClientDC screen(nullptr);
    const fx::CMemoryDC memory(screen.Get());
    fx::CDibSection dib(screen.Get(), width, kLayeredHeight);
    BOOL updated = FALSE;
    if (dib.bits) {
        auto* pixels = static_cast<std::uint32_t*>(dib.bits);
        for (int y = 0; y < kLayeredHeight; ++y) {
            for (int x = 0; x < width; ++x) {
                const BYTE alpha = kBandAlpha[x / kBandWidth];
                pixels[y * width + x] =
                    (std::uint32_t(alpha) << 24) | (std::uint32_t(Premultiply(kLayeredRed, alpha)) << 16);
            }
        }
        const fx::CSelectObject select(memory.Get(), dib.bitmap.Get());
        POINT source{0, 0};
        SIZE size{width, kLayeredHeight};
        BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        updated =
            UpdateLayeredWindow(window, screen.Get(), &topLeft, &size, memory.Get(), &source, 0, &blend, ULW_ALPHA);
    }
    if (!updated) {
        DestroyWindow(window);
        return nullptr;
    }
    ShowWindow(window, SW_SHOWNOACTIVATE);
    return window;
}

}  // namespace

TEST_CASE("captures include layered windows over the backdrop")
{
    const ui::Rgb green{0, 160, 0};
    const ui::CBackdrop backdrop(RGB(green.r, green.g, green.b));
    const POINT topLeft{400, 400};
    ui::CUiThread thread([topLeft] {
        if (CreateBandedLayeredWindow(topLeft)) ui::RunMessageLoop();
    });
    HWND window = ui::WaitForWindow(ui::All({ui::OnThread(thread.Id()), ui::IsShown()}));
    REQUIRE(window != nullptr);
    CHECK((ui::ExStyle(window) & WS_EX_LAYERED) != 0);
    ui::PumpFor(100);

    const ui::CScreenCapture capture = ui::CScreenCapture::OfWindow(window);
    REQUIRE(capture.Width() == kBandWidth * 3);
    for (int band = 0; band < 3; ++band) {
        CAPTURE(band);
        const BYTE alpha = kBandAlpha[band];
        const ui::Rgb source{Premultiply(kLayeredRed, alpha), 0, 0};
        const ui::Rgb seen = capture.GetPixel(band * kBandWidth + kBandWidth / 2, kLayeredHeight / 2);
        CAPTURE(seen);
        CHECK(ui::IsLayeredPixel(seen, source, alpha, green));
        // A capture without the layered window, or with it opaque throughout, fails here.
        if (alpha == 255) CHECK(seen == ui::Rgb{kLayeredRed, 0, 0});
        if (alpha == 0) CHECK(seen == green);
    }
    CHECK(ui::CScreenCapture::OfScreen().GetScreenPixel({topLeft.x - 1, topLeft.y}) == green);
}
