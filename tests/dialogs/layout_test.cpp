// Where the pairs and their controls land on the screen at scale factors 1.0, 1.25 and 1.5, and the
// prompt at the scale of each test bed's screen (the suite "screen", run once per bed: LOGPIXELSY 96,
// 120 and 144).
#include <doctest.h>

#include "dialogs/ExecutePromptDlg.h"
#include "dialogs/LayeredPair.h"
#include "dialogs/PromptDlg.h"
#include "framework/Scale.h"
#include "res/PrivateMessages.h"
#include "res/resource.h"
#include "tests/dialogs/PairGeometry.h"
#include "tests/uidriver/UiTestSupport.h"

#include <cstdlib>

namespace {

std::function<INT_PTR()> Prompt(float scale, int kind = kPromptConfirm)
{
    return [scale, kind] {
        CPromptDlg prompt;
        prompt.SetScaleFactor(scale);
        prompt.SetKind(kind);
        prompt.SetText(L"此工具不支持当前系统");
        return prompt.DoModal();
    };
}

std::function<INT_PTR()> Progress(float scale)
{
    return [scale] {
        CExecutePromptDlg progress;
        progress.SetScaleFactor(scale);
        progress.SetText(L"正在保存密钥，请稍等");
        return progress.DoModal();
    };
}

RECT InClient(HWND child, int id)
{
    RECT rect = ui::WindowRect(ui::FindControl(child, id));
    const RECT client = ui::ClientRectOnScreen(child);
    OffsetRect(&rect, -client.left, -client.top);
    return rect;
}

void CheckRect(const RECT& actual, LONG left, LONG top, LONG right, LONG bottom)
{
    CHECK(actual.left == left);
    CHECK(actual.top == top);
    CHECK(actual.right == right);
    CHECK(actual.bottom == bottom);
}

// The message prompt with one button at each scale it is shown at.
struct PromptMeasures
{
    float scale;
    SIZE frame;
    RECT inset;    // the child inside the frame: left, top, right, bottom
    RECT confirm;  // in the child's client area
    RECT close;
};
constexpr PromptMeasures kPromptMeasures[] = {
    {1.0f, {336, 156}, {5, 3, 5, 7}, {135, 107, 190, 131}, {300, 8, 312, 20}},
    {1.2f, {403, 187}, {6, 3, 6, 8}, {162, 128, 228, 156}, {359, 9, 373, 23}},
    // The button's left: (int)(408 / 2 - 68.75 / 2).
    {1.25f, {420, 195}, {6, 3, 6, 8}, {169, 133, 237, 163}, {375, 10, 390, 25}},
    {1.44f, {483, 224}, {7, 4, 7, 10}, {194, 154, 273, 188}, {431, 11, 448, 28}},
};

void CheckPrompt(HWND frame, HWND child, float scale)
{
    const PromptMeasures* expected = nullptr;
    for (const PromptMeasures& row : kPromptMeasures)
        if (row.scale == scale) expected = &row;
    REQUIRE(expected);
    CheckPairGeometry(frame, child, expected->frame, expected->inset);
    const RECT& confirm = expected->confirm;
    CheckRect(InClient(child, IDC_PROMPT_LEFT), confirm.left, confirm.top, confirm.right, confirm.bottom);
    const RECT& close = expected->close;
    CheckRect(InClient(child, IDC_PROMPT_CLOSE), close.left, close.top, close.right, close.bottom);
}

}  // namespace

TEST_CASE("the prompt at scale 1.0")
{
    uitest::CModalRun run(Prompt(1.0f));
    HWND frame = run.Frame();
    HWND child = run.Child();
    REQUIRE(child);
    CheckPrompt(frame, child, 1.0f);
    CheckRect(InClient(child, IDC_PROMPT_TEXT), 10, 50, 316, 106);
    ui::Post(frame, WM_CLOSE);
    REQUIRE(run.Wait());
    CHECK(run.Result() == IDCANCEL);
}

TEST_CASE("the prompt with two buttons at scale 1.0")
{
    uitest::CModalRun run(Prompt(1.0f, kPromptConfirmCancel));
    HWND child = run.Child();
    REQUIRE(child);
    CheckRect(InClient(child, IDC_PROMPT_LEFT), 96, 107, 151, 131);
    CheckRect(InClient(child, IDC_PROMPT_RIGHT), 175, 107, 230, 131);
    ui::Post(run.Frame(), WM_CLOSE);
    REQUIRE(run.Wait());
}

TEST_CASE("the prompt at scale 1.25; its drag strip stays 30 pixels high")
{
    uitest::CModalRun run(Prompt(1.25f));
    HWND frame = run.Frame();
    HWND child = run.Child();
    REQUIRE(child);
    CheckPrompt(frame, child, 1.25f);
    const RECT c = ui::WindowRect(child);
    // The drag strip stays 30 pixels high: 32 below the top nothing drags.
    const RECT frameBefore = ui::WindowRect(frame);
    ui::Drag(POINT{c.left + 100, c.top + 32}, POINT{c.left + 160, c.top + 92});
    ui::PumpFor(200);
    CHECK(ui::WindowRect(frame).left == frameBefore.left);
    ui::Drag(POINT{c.left + 100, c.top + 28}, POINT{c.left + 160, c.top + 88});
    ui::PumpFor(200);
    CHECK(ui::WindowRect(frame).left == frameBefore.left + 60);
    ui::Post(frame, WM_CLOSE);
    REQUIRE(run.Wait());
}

TEST_CASE("the progress prompt at scale 1.0 and 1.5")
{
    SUBCASE("1.0: the child is the size of its picture")
    {
        uitest::CModalRun run(Progress(1.0f));
        HWND frame = run.Frame();
        HWND child = run.Child();
        REQUIRE(child);
        CHECK(ui::SizeOf(ui::WindowRect(frame)).cx == 232);
        CHECK(ui::SizeOf(ui::WindowRect(frame)).cy == 132);
        CHECK(ui::SizeOf(ui::WindowRect(child)).cx == 204);
        CHECK(ui::SizeOf(ui::WindowRect(child)).cy == 104);
        CheckRect(InClient(child, IDC_PROGRESS_TEXT), 10, 42, 194, 82);
        ui::Send(frame, WM_EXECUTE_PROMPT_CLOSE);
        REQUIRE(run.Wait());
    }
    SUBCASE("1.5: 348 x 198, the child 21 and 18 inside")
    {
        uitest::CModalRun run(Progress(1.5f));
        HWND frame = run.Frame();
        HWND child = run.Child();
        REQUIRE(child);
        CheckPairGeometry(frame, child, SIZE{348, 198}, RECT{21, 18, 21, 24});
        CheckRect(InClient(child, IDC_PROGRESS_TEXT), 15, 63, 291, 123);
        ui::Send(frame, WM_EXECUTE_PROMPT_CLOSE);
        REQUIRE(run.Wait());
    }
}

TEST_CASE("the pair arithmetic: where the child is made, carried and grown; the drag strip")
{
    const Inset prompt{5, 3, 5, 7};
    // Created at (int)(width - 12.5): one pixel narrower than where the frame's move puts it.
    const RECT created = CLayeredFrameDlg::InitialChildRect(RECT{0, 0, 420, 195}, prompt, 1.25f);
    CHECK(created.left == 6);
    CHECK(created.right - created.left == 407);
    CHECK(created.bottom - created.top == 182);
    const RECT carried = CLayeredFrameDlg::ShrinkByInset(RECT{100, 50, 520, 245}, prompt, 1.25f);
    CHECK(carried.left == 106);
    CHECK(carried.top == 53);
    CHECK(carried.right == 514);
    CHECK(carried.bottom == 237);
    const RECT grown = CLayeredFrameDlg::GrowByInset(carried, prompt, 1.25f);
    CHECK(grown.left == 100);
    CHECK(grown.bottom == 245);

    const RECT client{10, 20, 336, 166};
    const RECT fixed = CLayeredChildDlg::DragStripFor(client, DragStrip{30, 26, false}, 1.5f);
    CHECK(fixed.bottom == 50);
    CHECK(fixed.right == 310);
    const RECT scaled = CLayeredChildDlg::DragStripFor(client, DragStrip{30, 26, true}, 1.5f);
    CHECK(scaled.bottom == 65);
    CHECK(scaled.right == 297);
    CHECK(IsRectEmpty(&static_cast<const RECT&>(CLayeredChildDlg::DragStripFor(client, DragStrip{}, 1.0f))));
}

TEST_SUITE("screen")
{
    TEST_CASE("the screen's logical resolution gives the scale factor and the prompt's measures")
    {
        const char* bed = std::getenv("QUORLIN_DPI");
        const int dpi = bed && *bed ? std::atoi(bed) : 96;
        const struct
        {
            int dpi;
            float scale;
        } beds[] = {{96, 1.0f}, {120, 1.2f}, {144, 1.44f}};
        float expected = 0;
        for (const auto& row : beds)
            if (row.dpi == dpi) expected = row.scale;
        REQUIRE(expected > 0);
        HDC screen = GetDC(nullptr);
        CHECK(GetDeviceCaps(screen, LOGPIXELSY) == dpi);
        ReleaseDC(nullptr, screen);
        const float scale = fx::ScreenScaleFactor();
        CHECK(scale == expected);

        uitest::CModalRun run(Prompt(scale));
        HWND child = run.Child();
        REQUIRE(child);
        CheckPrompt(run.Frame(), child, scale);
        // The confirm picture is stretched over the larger button and still reads as the confirm button.
        const RECT confirm = ui::WindowRect(ui::FindControl(child, IDC_PROMPT_LEFT));
        CHECK(uitest::ClosestResource(confirm, {IDB_CONFIRM_NORMAL, IDB_CONFIRM_HOVER, IDB_YES_NORMAL}) ==
              IDB_CONFIRM_NORMAL);
        uitest::ClickControl(ui::FindControl(child, IDC_PROMPT_LEFT));
        REQUIRE(run.Wait());
        CHECK(run.Result() == IDOK);
    }
}
