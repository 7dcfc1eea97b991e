// Where the pairs and their controls land on the screen at scale factors 1.0, 1.25 and 1.5.
#include <doctest.h>

#include "dialogs/ExecutePromptDlg.h"
#include "dialogs/LayeredPair.h"
#include "dialogs/PromptDlg.h"
#include "res/PrivateMessages.h"
#include "res/resource.h"
#include "tests/dialogs/PairGeometry.h"
#include "tests/harness/UiTestSupport.h"

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

}  // namespace

TEST_CASE("the prompt at scale 1.0")
{
    uitest::CModalRun run(Prompt(1.0f));
    HWND frame = run.Frame();
    HWND child = run.Child();
    REQUIRE(child);
    CHECK(ui::SizeOf(ui::WindowRect(frame)).cx == 336);
    CHECK(ui::SizeOf(ui::WindowRect(frame)).cy == 156);
    CHECK(ui::SizeOf(ui::WindowRect(child)).cx == 326);
    CHECK(ui::SizeOf(ui::WindowRect(child)).cy == 146);
    CheckRect(InClient(child, IDC_PROMPT_CLOSE), 300, 8, 312, 20);
    CheckRect(InClient(child, IDC_PROMPT_LEFT), 135, 107, 190, 131);
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

TEST_CASE("the prompt at scale 1.25: 420 x 195, the child 6, 3, 6 and 8 inside it")
{
    uitest::CModalRun run(Prompt(1.25f));
    HWND frame = run.Frame();
    HWND child = run.Child();
    REQUIRE(child);
    CheckPairGeometry(frame, child, SIZE{420, 195}, RECT{6, 3, 6, 8});
    const RECT c = ui::WindowRect(child);
    CHECK(ui::SizeOf(c).cx == 408);
    CHECK(ui::SizeOf(c).cy == 184);
    // The controls grow with the scale; the confirm button stays centred.
    const RECT confirm = InClient(child, IDC_PROMPT_LEFT);
    CHECK(ui::SizeOf(confirm).cx == 68);
    CHECK(ui::SizeOf(confirm).cy == 30);
    CHECK(confirm.left == 169);  // (int)(408 / 2 - 68.75 / 2)
    CheckRect(InClient(child, IDC_PROMPT_CLOSE), 375, 10, 390, 25);
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
