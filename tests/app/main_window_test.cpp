// The real program's main window and shell frame: layout at the screen's scale, dragging, the keys
// that do nothing, the agreement check box, minimising, and closing.
#include "res/resource.h"
#include "tests/app/AppBed.h"
#include "tests/uidriver/ChooserProbe.h"
#include "tests/uidriver/UiDriver.h"
#include "tests/uidriver/UiTestSupport.h"

#include <doctest.h>

#include <cstdlib>
#include <string>

namespace {

using apptest::CAppBed;

RECT InClient(HWND main, int id)
{
    RECT rect = ui::WindowRect(ui::FindControl(main, id));
    const RECT client = ui::ClientRectOnScreen(main);
    OffsetRect(&rect, -client.left, -client.top);
    return rect;
}

int ScreenDpi()
{
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

bool SameRect(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

void CheckRect(const RECT& actual, const RECT& expected)
{
    CHECK(actual.left == expected.left);
    CHECK(actual.top == expected.top);
    CHECK(actual.right == expected.right);
    CHECK(actual.bottom == expected.bottom);
}

}  // namespace

TEST_SUITE("scale")
{
    TEST_CASE("the frame, the main window, its buttons and its bottom row at the screen's scale")
    {
        struct Place
        {
            int id;
            RECT rect;  // in the client area
        };
        // The bottom row: the check box's left, top and bottom, its width beyond two character cells of
        // the measured link, and the feedback link's right.
        struct BottomRow
        {
            int boxLeft, top, bottom, boxBeyondCells, feedbackRight;
        };
        struct Expected
        {
            int dpi;
            SIZE frame;
            SIZE client;
            RECT inset;  // the window inside the frame: left, top, right, bottom
            BottomRow row;
            Place places[7];
        };
        // At 1.5 the frame follows the window with the insets rounded outwards (8 on the left); at 1.2 they
        // are exact, 5 x 1.2f being 6 in float arithmetic.
        // 916 less trunc(11 x 1.5) = 16: the window is 900 high at 1.5 (and the frame around it 916 again).
        // clang-format off
        const Expected table[] = {
            {96, {410, 611}, {400, 600}, {5, 4, 5, 7}, {8, 575, 595, 18, 394},
             {{IDC_MAIN_SAVE_KEY, {27, 265, 123, 351}}, {IDC_MAIN_UNLOCK, {152, 265, 248, 351}},
              {IDC_MAIN_TURN_OFF, {276, 265, 372, 351}}, {IDC_MAIN_MORE_TOOLS, {50, 545, 108, 563}},
              {IDC_MAIN_CLOSE, {368, 0, 394, 34}}, {IDC_MAIN_MINIMISE, {340, 0, 366, 34}},
              {IDC_MAIN_VERSION, {188, 16, 228, 31}}}},
            {120, {492, 733}, {480, 720}, {6, 5, 6, 8}, {9, 690, 714, 21, 474},
             {{IDC_MAIN_SAVE_KEY, {32, 318, 147, 421}}, {IDC_MAIN_UNLOCK, {182, 318, 297, 421}},
              {IDC_MAIN_TURN_OFF, {332, 318, 447, 421}}, {IDC_MAIN_MORE_TOOLS, {60, 654, 129, 675}},
              {IDC_MAIN_CLOSE, {442, 0, 473, 40}}, {IDC_MAIN_MINIMISE, {408, 0, 439, 40}},
              {IDC_MAIN_VERSION, {225, 19, 273, 37}}}},
            {150, {615, 916}, {600, 900}, {8, 6, 7, 10}, {12, 862, 892, 26, 594},
             {{IDC_MAIN_SAVE_KEY, {41, 397, 185, 526}}, {IDC_MAIN_UNLOCK, {228, 397, 372, 526}},
              {IDC_MAIN_TURN_OFF, {415, 397, 559, 526}}, {IDC_MAIN_MORE_TOOLS, {75, 818, 162, 845}},
              {IDC_MAIN_CLOSE, {553, 0, 592, 51}}, {IDC_MAIN_MINIMISE, {510, 0, 549, 51}},
              {IDC_MAIN_VERSION, {282, 24, 342, 46}}}},
        };
        // clang-format on
        const int dpi = ScreenDpi();
        CAPTURE(dpi);
        const Expected* expected = nullptr;
        for (const Expected& row : table)
            if (row.dpi == dpi) expected = &row;
        REQUIRE(expected);

        CAppBed bed;
        HWND main = apptest::StartAndDetect(bed);
        const RECT frame = ui::WindowRect(bed.Run().Frame());
        CHECK(ui::SizeOf(frame).cx == expected->frame.cx);
        CHECK(ui::SizeOf(frame).cy == expected->frame.cy);
        const RECT client = ui::ClientRectOnScreen(main);
        CHECK(ui::SizeOf(client).cx == expected->client.cx);
        CHECK(ui::SizeOf(client).cy == expected->client.cy);
        const RECT window = ui::WindowRect(main);
        CHECK(window.left - frame.left == expected->inset.left);
        CHECK(window.top - frame.top == expected->inset.top);
        CHECK(frame.right - window.right == expected->inset.right);
        CHECK(frame.bottom - window.bottom == expected->inset.bottom);
        for (const Place& place : expected->places) {
            CAPTURE(place.id);
            CheckRect(InClient(main, place.id), place.rect);
        }
        const RECT box = InClient(main, IDC_MAIN_AGREE);
        const RECT link = InClient(main, IDC_MAIN_AGREEMENT_LINK);
        CHECK(box.left == expected->row.boxLeft);
        CHECK(box.top == expected->row.top);
        CHECK(box.bottom == expected->row.bottom);
        CHECK(link.left == box.right + 6);
        CHECK((link.right - link.left) % 14 == 0);  // fourteen character cells
        CHECK(box.right - box.left == expected->row.boxBeyondCells + 2 * ((link.right - link.left) / 14));
        CHECK(InClient(main, IDC_MAIN_FEEDBACK_LINK).right == expected->row.feedbackRight);
        CHECK(ui::WindowText(ui::FindControl(main, IDC_MAIN_VERSION)) == L"1.0.0");
        // Centred on the screen.
        CHECK(std::abs((frame.left + frame.right) / 2 - GetSystemMetrics(SM_CXSCREEN) / 2) <= 1);
        CHECK(std::abs((frame.top + frame.bottom) / 2 - GetSystemMetrics(SM_CYSCREEN) / 2) <= 1);
    }
}

TEST_CASE("the band drags window and frame together; the right 86 pixels, Esc and Enter do nothing")
{
    CAppBed bed;
    HWND main = apptest::StartAndDetect(bed);
    HWND frame = bed.Run().Frame();
    const RECT before = ui::WindowRect(main);
    const RECT frameBefore = ui::WindowRect(frame);

    ui::Drag({before.left + 100, before.top + 15}, {before.left + 160, before.top + 55});
    CHECK(ui::PumpUntil([&] {
        const RECT window = ui::WindowRect(main);
        const RECT shell = ui::WindowRect(frame);
        return window.left == before.left + 60 && window.top == before.top + 40 &&
               shell.left - frameBefore.left == 60 && shell.top - frameBefore.top == 40;
    }));
    const RECT moved = ui::WindowRect(main);

    // Beside the minimise button, inside the band's excluded right part: no drag.
    ui::Drag({moved.right - 84, moved.top + 15}, {moved.right - 24, moved.top + 55});
    ui::PumpFor(500);
    CHECK(SameRect(ui::WindowRect(main), moved));

    REQUIRE(ui::Activate(main));
    ui::PressKey(VK_ESCAPE);
    ui::PressKey(VK_RETURN);
    ui::PumpFor(500);
    CHECK(ui::IsVisible(main));
    CHECK_FALSE(bed.Run().WaitForPrompt(500));
    CHECK(bed.Run().WaitForExit(0) == STILL_ACTIVE);
}

TEST_CASE("unticking the agreement disables the three operations, ticking enables them; minimise hides both, "
          "a restore gives the keys back to the main window")
{
    CAppBed bed;
    HWND main = apptest::StartAndDetect(bed);
    HWND frame = bed.Run().Frame();
    const int actions[] = {IDC_MAIN_SAVE_KEY, IDC_MAIN_UNLOCK, IDC_MAIN_TURN_OFF};
    auto allEnabled = [&](bool enabled) {
        for (int id : actions)
            if (ui::IsEnabled(ui::FindControl(main, id)) != enabled) return false;
        return true;
    };
    REQUIRE(allEnabled(true));
    HWND box = ui::FindControl(main, IDC_MAIN_AGREE);
    uitest::ClickControl(box);
    CHECK(ui::PumpUntil([&] { return allEnabled(false); }));
    CHECK(ui::IsEnabled(ui::FindControl(main, IDC_MAIN_MORE_TOOLS)));
    uitest::ClickControl(box);
    CHECK(ui::PumpUntil([&] { return allEnabled(true); }));

    uitest::ClickControl(ui::FindControl(main, IDC_MAIN_MINIMISE));
    CHECK(ui::PumpUntil([&] { return !ui::IsVisible(main) && IsIconic(frame); }));
    ui::Post(frame, WM_SYSCOMMAND, SC_RESTORE, 0);
    CHECK(ui::PumpUntil([&] { return ui::IsVisible(main) && !IsIconic(frame); }));
    CHECK(ui::WaitForInput(main));
}

TEST_CASE("a close while a chooser or a command is up waits for the result; then the program removes its folder")
{
    bde::Machine slow = bde::Machine::Default();
    slow.pieces = 10;
    slow.pieceDelayMs = 400;  // the status output takes about four seconds
    bde::Machine slowDenied = slow;
    slowDenied.denyAccess = true;
    const struct
    {
        const char* name;
        bde::Machine machine;
        bool detect;  // closed during the detection, else during the turn-off chooser
        bool result;  // a result prompt comes before the program ends
    } cases[] = {
        {"the detection finds volumes", slow, true, false},
        {"the detection fails", slowDenied, true, true},
        {"the turn-off chooser, cancelled", bde::Machine::Default(), false, false},
    };
    for (const auto& c : cases) {
        CAPTURE(std::string(c.name));
        CAppBed bed(c.machine);
        REQUIRE(bed.Run().Copied());
        REQUIRE(bed.Run().Start());
        HWND main = bed.Run().MainWindow();
        REQUIRE(main);
        HWND up = c.detect ? bed.Run().WaitForProgress() : nullptr;
        if (!c.detect) {
            REQUIRE(bed.Run().WaitForDetection());
            uitest::ClickControl(ui::FindControl(main, IDC_MAIN_TURN_OFF));
            up = bed.Run().WaitForPair(IDC_TURN_OFF_OK);
        }
        REQUIRE(up);
        // The task bar's close and Alt+F4 on the frame.
        ui::Post(bed.Run().Frame(), WM_SYSCOMMAND, SC_CLOSE, 0);
        ui::PumpFor(500);
        CHECK(IsWindow(up));
        CHECK(bed.Run().WaitForExit(0) == STILL_ACTIVE);
        if (!c.detect) uitest::ClickControl(ui::FindControl(up, IDC_TURN_OFF_CANCEL));
        REQUIRE(ui::WaitForWindowGone(up, 60000));
        if (c.result) {
            HWND prompt = bed.Run().WaitForPrompt();
            REQUIRE(prompt);
            CHECK(bed.Run().WaitForExit(0) == STILL_ACTIVE);
            CHECK(uitest::CProgramRun::Dismiss(prompt));
        }
        CHECK(bed.Run().WaitForExit() == 0);
        CHECK(ui::PumpUntil([&] { return !testing::FileExists(bed.Folder()); }, 20000));
    }
}

TEST_CASE("the agreement link toggles the viewer, a double click once; Alt+F4 or a click elsewhere hides it")
{
    CAppBed bed;
    HWND main = apptest::StartAndDetect(bed);
    HWND link = ui::FindControl(main, IDC_MAIN_AGREEMENT_LINK);
    auto viewerShown = [&] { return bed.Run().WaitForPair(IDC_AGREEMENT_TEXT, 0) != nullptr; };
    const POINT outside{5, 5};  // the bare desktop, away from the program
    const POINT elsewhere = ui::CenterOf(ui::WindowRect(ui::FindControl(main, IDC_MAIN_VERSION)));

    enum class Act
    {
        Click,
        DoubleClick,  // counts as one click on the link
        CloseSheet,   // Alt+F4 on the viewer's text sheet
        CloseFrame,   // Alt+F4 on the viewer's frame
    };
    const POINT onLink = ui::CenterOf(ui::WindowRect(link));
    const struct
    {
        const char* step;
        POINT click;
        bool shown;
        Act act;
    } steps[] = {
        {"the link opens it", onLink, true, Act::Click},
        {"the link again closes it", onLink, false, Act::Click},
        {"a double click on the link opens it", onLink, true, Act::DoubleClick},
        {"Alt+F4 on the text sheet closes sheet and frame", onLink, false, Act::CloseSheet},
        {"the link opens it again", onLink, true, Act::Click},
        {"Alt+F4 on the frame closes frame and sheet", onLink, false, Act::CloseFrame},
        {"the link once more", onLink, true, Act::Click},
        {"a click elsewhere on the window", elsewhere, false, Act::Click},
        {"the link", onLink, true, Act::Click},
        {"a click outside the program", outside, false, Act::Click},
    };
    HWND viewerFrame = nullptr;
    for (const auto& step : steps) {
        CAPTURE(std::string(step.step));
        ui::PumpFor(GetDoubleClickTime());  // separate clicks, not a double click
        if (step.act == Act::CloseSheet || step.act == Act::CloseFrame) {
            // What Alt+F4 makes of the key in the active window of the pair.
            HWND sheet = bed.Run().WaitForPair(IDC_AGREEMENT_TEXT, 0);
            ui::Post(step.act == Act::CloseSheet ? sheet : ui::Owner(sheet), WM_SYSCOMMAND, SC_CLOSE, 0);
        } else {
            uitest::ClickAt(step.click);
            if (step.act == Act::DoubleClick) ui::Click(step.click);  // within the double-click time
        }
        CHECK(ui::PumpUntil([&] { return viewerShown() == step.shown; }, 5000));
        if (!step.shown && viewerFrame) CHECK_FALSE(ui::IsVisible(viewerFrame));
        if (step.shown) {
            // Over the lower part of the main window: 2 in from the left, 108 down.
            HWND viewer = viewerFrame = ui::Owner(bed.Run().WaitForPair(IDC_AGREEMENT_TEXT, 0));
            const RECT placed = ui::WindowRect(viewer);
            const RECT window = ui::WindowRect(main);
            CHECK(placed.top - window.top == 108);
            CHECK(placed.left - window.left == 2);
        }
    }
}
