// The message prompt as the user meets it: real windows, the real cursor and keyboard.
#include <doctest.h>

#include "dialogs/PromptDlg.h"
#include "res/resource.h"
#include "tests/uidriver/UiTestSupport.h"

#include <algorithm>

namespace {

INT_PTR RunPrompt(int kind, const std::wstring& text, float scale = 1.0f)
{
    CPromptDlg prompt;
    prompt.SetScaleFactor(scale);
    prompt.SetKind(kind);
    prompt.SetText(text);
    return prompt.DoModal();
}

std::function<INT_PTR()> Prompt(int kind, std::wstring text = L"此工具不支持当前系统")
{
    return [kind, text] { return RunPrompt(kind, text); };
}

RECT ControlRect(HWND child, int id) { return ui::WindowRect(ui::FindControl(child, id)); }

// Rectangle of a control relative to the child's client area.
RECT InClient(HWND child, int id)
{
    RECT rect = ControlRect(child, id);
    const RECT client = ui::ClientRectOnScreen(child);
    OffsetRect(&rect, -client.left, -client.top);
    return rect;
}

// Bands of rows that hold dark (text) pixels.
int TextLines(const uitest::Pixels& pixels)
{
    int lines = 0;
    bool inLine = false;
    for (int y = 0; y < pixels.height; ++y) {
        bool dark = false;
        for (int x = 0; x < pixels.width && !dark; ++x) {
            const ui::Rgb p = pixels.At(x, y);
            dark = p.r + p.g + p.b < 3 * 128;
        }
        if (dark && !inLine) ++lines;
        inLine = dark;
    }
    return lines;
}

}  // namespace

TEST_CASE("a prompt of kind 3 shows one confirm button centred under the message")
{
    uitest::CModalRun run(Prompt(kPromptConfirm));
    HWND child = run.Child();
    REQUIRE(child);
    CHECK(ui::IsVisible(ui::FindControl(child, IDC_PROMPT_LEFT)));
    CHECK_FALSE(ui::IsVisible(ui::FindControl(child, IDC_PROMPT_RIGHT)));
    CHECK(ui::WindowText(ui::FindControl(child, IDC_PROMPT_TEXT)) == L"此工具不支持当前系统");

    const RECT confirm = ControlRect(child, IDC_PROMPT_LEFT);
    CHECK(uitest::ClosestResource(confirm, {IDB_CONFIRM_NORMAL, IDB_YES_NORMAL, IDB_CANCEL_NORMAL}) ==
          IDB_CONFIRM_NORMAL);

    uitest::ClickControl(ui::FindControl(child, IDC_PROMPT_LEFT));
    REQUIRE(run.Wait());
    CHECK(run.Result() == IDOK);
}

TEST_CASE("the answers of the four kinds")
{
    SUBCASE("kind 4: cancel gives IDCANCEL")
    {
        uitest::CModalRun run(Prompt(kPromptConfirmCancel));
        HWND child = run.Child();
        REQUIRE(child);
        const RECT cancel = ControlRect(child, IDC_PROMPT_RIGHT);
        CHECK(uitest::ClosestResource(cancel, {IDB_CANCEL_NORMAL, IDB_NO_NORMAL}) == IDB_CANCEL_NORMAL);
        uitest::ClickControl(ui::FindControl(child, IDC_PROMPT_RIGHT));
        REQUIRE(run.Wait());
        CHECK(run.Result() == IDCANCEL);
    }
    SUBCASE("kind 2: yes and no, yes gives IDOK")
    {
        uitest::CModalRun run(Prompt(kPromptYesNo));
        HWND child = run.Child();
        REQUIRE(child);
        CHECK(uitest::ClosestResource(ControlRect(child, IDC_PROMPT_LEFT), {IDB_YES_NORMAL, IDB_CONFIRM_NORMAL}) ==
              IDB_YES_NORMAL);
        CHECK(uitest::ClosestResource(ControlRect(child, IDC_PROMPT_RIGHT), {IDB_NO_NORMAL, IDB_CANCEL_NORMAL}) ==
              IDB_NO_NORMAL);
        uitest::ClickControl(ui::FindControl(child, IDC_PROMPT_LEFT));
        REQUIRE(run.Wait());
        CHECK(run.Result() == IDOK);
    }
    SUBCASE("kind 1 and unknown kinds show yes alone")
    {
        for (int kind : {static_cast<int>(kPromptYes), 7}) {
            uitest::CModalRun run(Prompt(kind));
            HWND child = run.Child();
            REQUIRE(child);
            CHECK_FALSE(ui::IsVisible(ui::FindControl(child, IDC_PROMPT_RIGHT)));
            CHECK(uitest::ClosestResource(ControlRect(child, IDC_PROMPT_LEFT), {IDB_YES_NORMAL, IDB_CONFIRM_NORMAL}) ==
                  IDB_YES_NORMAL);
            // Kind 1 centres it; other kinds leave it left of the middle.
            const RECT left = InClient(child, IDC_PROMPT_LEFT);
            CHECK(left.left == (kind == kPromptYes ? 135 : 96));
            uitest::ClickControl(ui::FindControl(child, IDC_PROMPT_LEFT));
            REQUIRE(run.Wait());
        }
    }
}

TEST_CASE("the close button gives IDCANCEL")
{
    uitest::CModalRun run(Prompt(kPromptConfirm));
    HWND child = run.Child();
    REQUIRE(child);
    uitest::ClickControl(ui::FindControl(child, IDC_PROMPT_CLOSE));
    REQUIRE(run.Wait());
    CHECK(run.Result() == IDCANCEL);
}

TEST_CASE("Escape and Enter do nothing; Alt+F4 on the child closes the pair with IDCANCEL")
{
    uitest::CModalRun run(Prompt(kPromptConfirmCancel));
    HWND frame = run.Frame();
    HWND child = run.Child();
    REQUIRE(child);
    REQUIRE(ui::Activate(child));
    for (WORD key : {VK_ESCAPE, VK_RETURN}) {
        ui::PressKey(key);
        ui::PumpFor(300);
        CHECK_FALSE(run.Finished());
    }
    // With the focus on each of the buttons in turn.
    for (int id : {IDC_PROMPT_LEFT, IDC_PROMPT_RIGHT, IDC_PROMPT_CLOSE}) {
        HWND button = ui::FindControl(child, id);
        ui::Post(child, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(button), TRUE);
        REQUIRE(ui::PumpUntil([&] { return ui::FocusOf(run.ThreadId()) == button; }));
        ui::PressKey(VK_ESCAPE);
        ui::PressKey(VK_RETURN);
        ui::PumpFor(200);
        CHECK_FALSE(run.Finished());
    }

    REQUIRE(ui::Activate(child));
    ui::PressChord({VK_MENU, VK_F4});
    REQUIRE(run.Wait());
    CHECK(run.Result() == IDCANCEL);
    CHECK_FALSE(IsWindow(child));
    CHECK_FALSE(IsWindow(frame));
}

TEST_CASE("the prompt disables its owner while it runs and is centred over it")
{
    std::atomic<HWND> owner{nullptr};
    uitest::CModalRun run([&owner] {
        HWND window = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 100, 100, 600, 400, nullptr,
                                      nullptr, nullptr, nullptr);
        owner = window;
        CPromptDlg prompt(window);
        prompt.SetKind(kPromptConfirm);
        const INT_PTR result = prompt.DoModal();
        const bool enabledAgain = IsWindowEnabled(window) != FALSE;
        DestroyWindow(window);
        return enabledAgain ? result : -3;
    });
    HWND frame = run.Frame();
    REQUIRE(frame);
    CHECK_FALSE(ui::IsEnabled(owner));
    const POINT frameCentre = ui::CenterOf(ui::WindowRect(frame));
    CHECK(std::abs(frameCentre.x - 400) <= 1);
    CHECK(std::abs(frameCentre.y - 300) <= 1);
    uitest::ClickControl(ui::FindControl(run.Child(), IDC_PROMPT_LEFT));
    REQUIRE(run.Wait());
    CHECK(run.Result() == IDOK);
}

TEST_CASE("dragging by the strip moves frame and child together; the close button starts no drag")
{
    uitest::CModalRun run(Prompt(kPromptConfirm));
    HWND frame = run.Frame();
    HWND child = run.Child();
    REQUIRE(child);
    const RECT frameBefore = ui::WindowRect(frame);
    const RECT childBefore = ui::WindowRect(child);

    SUBCASE("by the strip")
    {
        ui::Drag(POINT{childBefore.left + 120, childBefore.top + 15},
                 POINT{childBefore.left + 40, childBefore.top + 95});
        ui::PumpFor(300);
        const RECT frameAfter = ui::WindowRect(frame);
        const RECT childAfter = ui::WindowRect(child);
        CHECK(childAfter.left == childBefore.left - 80);
        CHECK(childAfter.top == childBefore.top + 80);
        CHECK(frameAfter.left - childAfter.left == frameBefore.left - childBefore.left);
        CHECK(frameAfter.top - childAfter.top == frameBefore.top - childBefore.top);
        CHECK(ui::SizeOf(frameAfter).cx == ui::SizeOf(frameBefore).cx);
        CHECK(ui::SizeOf(childAfter).cy == ui::SizeOf(childBefore).cy);
    }
    SUBCASE("not by the close button, nor beside it, nor below the strip")
    {
        const POINT closeCentre = ui::CenterOf(ControlRect(child, IDC_PROMPT_CLOSE));
        const POINT pressPoints[] = {closeCentre, POINT{childBefore.right - 4, childBefore.top + 25},
                                     POINT{childBefore.left + 60, childBefore.top + 40}};
        for (const POINT from : pressPoints) {
            ui::MoveCursor(from);
            ui::PumpFor(100);
            // Off the close button before letting go, so that it is not clicked.
            ui::Drag(from, POINT{from.x - 100, from.y + 100});
            ui::PumpFor(200);
            CHECK(ui::WindowRect(frame).left == frameBefore.left);
            CHECK(ui::WindowRect(child).top == childBefore.top);
        }
        CHECK_FALSE(run.Finished());
    }
    uitest::ClickControl(ui::FindControl(child, IDC_PROMPT_LEFT));
    REQUIRE(run.Wait());
}

TEST_CASE("a long message wraps at word breaks inside the label")
{
    const std::wstring shortText = L"工具初始化失败";
    std::wstring longText;
    for (int i = 0; i < 8; ++i) longText += L"检测到当前工具有新的版本更新，请下载最新版本使用。";
    int lines[2] = {};
    int index = 0;
    for (const std::wstring& text : {shortText, longText}) {
        uitest::CModalRun run(Prompt(kPromptConfirm, text));
        HWND child = run.Child();
        REQUIRE(child);
        const RECT label = ControlRect(child, IDC_PROMPT_TEXT);
        lines[index++] = TextLines(uitest::CaptureScreen(label));
        uitest::ClickControl(ui::FindControl(child, IDC_PROMPT_LEFT));
        REQUIRE(run.Wait());
    }
    CHECK(lines[0] == 1);
    // The label is 56 pixels high: the long text fills every line that fits and is cut there.
    CHECK(lines[1] >= 3);
}

TEST_CASE("the layered frame's edge is soft over a coloured desktop")
{
    const COLORREF magenta = RGB(255, 0, 255);
    ui::CBackdrop backdrop(magenta);
    uitest::CModalRun run(Prompt(kPromptConfirm));
    HWND frame = run.Frame();
    REQUIRE(run.Child());
    ui::PumpFor(300);
    const RECT rect = ui::WindowRect(frame);
    ui::CScreenCapture shot(rect);
    // The outermost corner is transparent: the backdrop shows through unchanged.
    CHECK(ui::IsNear(shot.GetPixel(0, 0), ui::ToRgb(magenta), 8));
    // The shadow along the bottom edge is drawn: dark, neither the backdrop nor the white inside.
    // (Without a compositing manager, X shows partly transparent pixels of a layered window
    // unblended, as their premultiplied colour; Windows blends them with the desktop.)
    const ui::Rgb shadow = shot.GetPixel(shot.Width() / 2, shot.Height() - 3);
    CHECK_FALSE(ui::IsNear(shadow, ui::ToRgb(magenta), 8));
    CHECK(shadow.r + shadow.g + shadow.b < 3 * 100);
    // Inside, the child dialog is opaque white.
    CHECK(ui::IsNear(shot.GetPixel(shot.Width() / 2, shot.Height() / 2), ui::Rgb{255, 255, 255}, 8));
    uitest::ClickControl(ui::FindControl(run.Child(), IDC_PROMPT_LEFT));
    REQUIRE(run.Wait());
}
