// The scale factor that the screen's logical resolution gives, and the prompt laid out with it.
// Registered once per test bed: LOGPIXELSY 96, 120 and 144.
#include <doctest.h>

#include "dialogs/PromptDlg.h"
#include "framework/Scale.h"
#include "res/resource.h"
#include "tests/dialogs/PairGeometry.h"
#include "tests/harness/UiTestSupport.h"

#include <cstdlib>
#include <map>

namespace {

struct Expected
{
    float scale;
    SIZE frame;
    RECT inset;  // child inside the frame: left, top, right, bottom margins
    SIZE button;
};

int BedDpi()
{
    const char* dpi = std::getenv("QUORLIN_DPI");
    return dpi && *dpi ? std::atoi(dpi) : 96;
}

}  // namespace

TEST_CASE("the screen's logical resolution gives the scale factor and the prompt's measures")
{
    const std::map<int, Expected> table = {
        {96, {1.0f, {336, 156}, {5, 3, 5, 7}, {55, 24}}},
        {120, {1.2f, {403, 187}, {6, 3, 6, 8}, {66, 28}}},
        {144, {1.44f, {483, 224}, {7, 4, 7, 10}, {79, 34}}},
    };
    const int dpi = BedDpi();
    REQUIRE(table.count(dpi) == 1);
    const Expected& expected = table.at(dpi);

    HDC screen = GetDC(nullptr);
    CHECK(GetDeviceCaps(screen, LOGPIXELSY) == dpi);
    ReleaseDC(nullptr, screen);
    const float scale = fx::ScreenScaleFactor();
    CHECK(scale == expected.scale);

    uitest::CModalRun run([scale] {
        CPromptDlg prompt;
        prompt.SetScaleFactor(scale);
        prompt.SetKind(kPromptConfirm);
        prompt.SetText(L"检测到当前工具有新的版本更新，请下载最新版本使用。");
        return prompt.DoModal();
    });
    HWND frame = run.Frame();
    HWND child = run.Child();
    REQUIRE(child);
    CheckPairGeometry(frame, child, expected.frame, expected.inset);
    const RECT c = ui::WindowRect(child);
    const RECT confirm = ui::WindowRect(ui::FindControl(child, IDC_PROMPT_LEFT));
    CHECK(ui::SizeOf(confirm).cx == expected.button.cx);
    CHECK(ui::SizeOf(confirm).cy == expected.button.cy);
    // Centred, but for the truncations of half the width and of half the button (two pixels at 1.44).
    CHECK(std::abs((confirm.left - c.left) - (c.right - confirm.right)) <= 2);
    // The confirm picture is stretched over the larger button and still reads as the confirm button.
    CHECK(uitest::ClosestResource(confirm, {IDB_CONFIRM_NORMAL, IDB_CONFIRM_HOVER, IDB_YES_NORMAL}) ==
          IDB_CONFIRM_NORMAL);
    uitest::ClickControl(ui::FindControl(child, IDC_PROMPT_LEFT));
    REQUIRE(run.Wait());
    CHECK(run.Result() == IDOK);
}
