// The progress prompt: its text, its dots counting once a second, and that only
// WM_EXECUTE_PROMPT_CLOSE ends it.
#include <doctest.h>

#include "controls/DrawTextStatic.h"
#include "dialogs/ExecutePromptDlg.h"
#include "res/PrivateMessages.h"
#include "res/resource.h"
#include "tests/uidriver/UiTestSupport.h"

#include <atomic>
#include <vector>

namespace {

std::function<INT_PTR()> Progress(std::wstring text)
{
    return [text] {
        CExecutePromptDlg progress;
        progress.SetText(text);
        return progress.DoModal();
    };
}

// Columns of the label that hold white text pixels: the text is centred, so every dot added
// widens the inked span.
int InkWidth(const RECT& label)
{
    const uitest::Pixels pixels = uitest::CaptureScreen(label);
    int first = -1;
    int last = -1;
    for (int x = 0; x < pixels.width; ++x) {
        for (int y = 0; y < pixels.height; ++y) {
            const ui::Rgb p = pixels.At(x, y);
            if (p.r > 200 && p.g > 200 && p.b > 200) {
                if (first < 0) first = x;
                last = x;
                break;
            }
        }
    }
    return first < 0 ? 0 : last - first + 1;
}

}  // namespace

TEST_CASE("a text shorter than two characters shows the default text")
{
    for (const std::wstring text : {L"", L"修"}) {
        uitest::CModalRun run(Progress(text));
        HWND child = run.Child();
        REQUIRE(child);
        CHECK(ui::WindowText(ui::FindControl(child, IDC_PROGRESS_TEXT)) == L"正在修复，请稍等");
        ui::Send(run.Frame(), WM_EXECUTE_PROMPT_CLOSE);
        REQUIRE(run.Wait());
    }
    uitest::CModalRun run(Progress(L"正在解密，请稍等"));
    HWND child = run.Child();
    REQUIRE(child);
    CHECK(ui::WindowText(ui::FindControl(child, IDC_PROGRESS_TEXT)) == L"正在解密，请稍等");
    ui::Send(run.Frame(), WM_EXECUTE_PROMPT_CLOSE);
    REQUIRE(run.Wait());
}

TEST_CASE("the dots count none, one, two, three and none again, a second each")
{
    uitest::CModalRun run(Progress(L"正在检测加密磁盘，请稍等"));
    HWND child = run.Child();
    REQUIRE(child);
    const RECT label = ui::WindowRect(ui::FindControl(child, IDC_PROGRESS_TEXT));
    // One sample every 100 ms for 5.5 seconds; runs of equal widths are the steps.
    std::vector<std::pair<int, int>> steps;  // width, samples
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 5500) {
        const int width = InkWidth(label);
        if (steps.empty() || steps.back().first != width)
            steps.emplace_back(width, 1);
        else
            ++steps.back().second;
        ui::PumpFor(100);
    }
    REQUIRE(steps.size() >= 5);
    // The first step may be cut short by the start of the sampling; the next four are whole.
    size_t i = 0;
    while (i + 1 < steps.size() && steps[i + 1].first < steps[i].first) ++i;  // start at a "no dots" step
    REQUIRE(i + 4 < steps.size());
    CHECK(steps[i + 1].first > steps[i].first);
    CHECK(steps[i + 2].first > steps[i + 1].first);
    CHECK(steps[i + 3].first > steps[i + 2].first);
    CHECK(steps[i + 4].first == steps[i].first);
    for (size_t k = i + 1; k <= i + 3; ++k) {
        CAPTURE(k);
        CHECK(steps[k].second >= 7);
        CHECK(steps[k].second <= 13);
    }
    ui::Send(run.Frame(), WM_EXECUTE_PROMPT_CLOSE);
    REQUIRE(run.Wait());
}

// What the label held right after the frame handled WM_EXECUTE_PROMPT_CLOSE, read on the
// dialog's own thread by a hook that sees each message's return.
std::atomic<int> g_dotsAtClose{-1};
std::atomic<bool> g_timerAlive{true};
std::atomic<HWND> g_label{nullptr};  // the label to look at, once it shows a dot

LRESULT CALLBACK AfterMessage(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* message = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    HWND labelWindow = g_label;
    if (code == HC_ACTION && message->message == WM_EXECUTE_PROMPT_CLOSE && labelWindow) {
        if (auto* label = dynamic_cast<CDrawStateInfoStatic*>(fx::CWnd::FromHandle(labelWindow)))
            g_dotsAtClose = label->GetDotCount();
        // KillTimer fails when the timer is gone already.
        g_timerAlive = KillTimer(labelWindow, CDrawStateInfoStatic::kDotsTimer) != FALSE;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_CASE("WM_EXECUTE_PROMPT_CLOSE ends it with IDOK and the dots stopped")
{
    uitest::CModalRun run([] {
        HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROCRET, AfterMessage, nullptr, GetCurrentThreadId());
        CExecutePromptDlg progress;
        progress.SetText(L"正在关闭，请稍等");
        const INT_PTR result = progress.DoModal();
        UnhookWindowsHookEx(hook);
        return result;
    });
    HWND frame = run.Frame();
    HWND child = run.Child();
    REQUIRE(child);
    HWND label = ui::FindControl(child, IDC_PROGRESS_TEXT);
    // Wait until a dot shows.
    const int plain = InkWidth(ui::WindowRect(label));
    REQUIRE(ui::PumpUntil([&] { return InkWidth(ui::WindowRect(label)) != plain; }, 2500));
    g_label = label;
    CHECK(ui::Send(frame, WM_EXECUTE_PROMPT_CLOSE).value_or(-1) == 0);
    REQUIRE(run.Wait());
    CHECK(run.Result() == IDOK);
    CHECK(g_dotsAtClose == 0);
    CHECK_FALSE(g_timerAlive);
}

TEST_CASE("the user can neither drag nor close it")
{
    uitest::CModalRun run(Progress(L"正在保存密钥，请稍等"));
    HWND frame = run.Frame();
    HWND child = run.Child();
    REQUIRE(child);
    const RECT frameBefore = ui::WindowRect(frame);
    const RECT childBefore = ui::WindowRect(child);
    for (const POINT from : {POINT{childBefore.left + 20, childBefore.top + 8}, ui::CenterOf(childBefore)}) {
        ui::Drag(from, POINT{from.x + 90, from.y + 70});
        ui::PumpFor(200);
    }
    CHECK(ui::WindowRect(frame).left == frameBefore.left);
    CHECK(ui::WindowRect(child).top == childBefore.top);

    REQUIRE(ui::Activate(child));
    ui::PressKey(VK_ESCAPE);
    ui::PressKey(VK_RETURN);
    ui::PressChord({VK_MENU, VK_F4});
    ui::Post(frame, WM_CLOSE);
    ui::Post(child, WM_CLOSE);
    ui::PumpFor(500);
    CHECK_FALSE(run.Finished());
    CHECK(ui::IsVisible(frame));
    CHECK(ui::IsVisible(child));

    ui::Send(frame, WM_EXECUTE_PROMPT_CLOSE);
    REQUIRE(run.Wait());
    CHECK(run.Result() == IDOK);
}
