// The usage agreement viewer over a stand-in for the main window: real windows, the real cursor,
// a real low-level click hook, the real rich edit control.
#include <doctest.h>

#include "controls/SkinScrollWnd.h"
#include "framework/Scale.h"
#include "res/resource.h"
#include "services/AgreementText.h"
#include "services/TooltipDlg.h"
#include "tests/uidriver/MainStandIn.h"
#include "tests/uidriver/UiTestSupport.h"
#include "tests/services/ServicesBed.h"

#include <string>
#include <vector>

using services_test::AtBedDpi;

namespace {

// The windows of a created viewer.
struct ViewerWindows
{
    HWND frame = nullptr;
    HWND child = nullptr;
    HWND text = nullptr;  // the skinned frame that took the text control's place
    HWND richEdit = nullptr;
    HWND bar = nullptr;  // the skinned vertical bar
};

ViewerWindows WindowsOf(CTooltipDlg* viewer)
{
    ViewerWindows windows;
    if (!viewer || !viewer->GetTooltipChild()) return windows;
    windows.frame = viewer->GetSafeHwnd();
    windows.child = viewer->GetTooltipChild()->GetSafeHwnd();
    windows.text = GetDlgItem(windows.child, IDC_AGREEMENT_TEXT);
    windows.richEdit = GetWindow(GetDlgItem(windows.text, CSkinScrollWnd::kLimitId), GW_CHILD);
    windows.bar = GetDlgItem(windows.text, CSkinScrollWnd::kVerticalBarId);
    return windows;
}

// A window's rectangle in the client coordinates of another.
RECT InClientOf(HWND parent, HWND window)
{
    RECT rect = ui::WindowRect(window);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool SameRect(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

SCROLLINFO BarInfo(HWND bar)
{
    SCROLLINFO info{sizeof(info), SIF_ALL};
    ui::Send(bar, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(&info));
    return info;
}

int FirstLine(HWND richEdit) { return static_cast<int>(ui::Send(richEdit, EM_GETFIRSTVISIBLELINE).value_or(-1)); }

std::vector<std::wstring> Lines(const std::wstring& text)
{
    std::vector<std::wstring> lines;
    size_t start = 0;
    for (size_t end; (end = text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

// The main window stand-in with the viewer opened from its link.
struct OpenViewer
{
    uitest::CMainStandIn main{fx::ScreenScaleFactor()};
    ViewerWindows windows;

    OpenViewer()
    {
        ui::Click(ui::CenterOf(main.LinkOnScreen()));
        if (ui::PumpUntil([this] { return main.IsViewerShown(); })) windows = WindowsOf(main.Viewer());
        ui::PumpFor(300);
    }
    // The down arrow at the bottom of the skinned bar.
    POINT DownArrow() const
    {
        const RECT bar = ui::WindowRect(windows.bar);
        return POINT{(bar.left + bar.right) / 2, bar.bottom - ui::SizeOf(bar).cx / 2};
    }
};

}  // namespace

TEST_CASE("the agreement: title, notice, introduction and six sections of indented paragraphs")
{
    const std::wstring text = BuildAgreementText();
    REQUIRE(text.size() > 2);
    CHECK(text.substr(text.size() - 2) == L"\r\n");
    // No line end but CR LF.
    for (size_t at = text.find(L'\n'); at != std::wstring::npos; at = text.find(L'\n', at + 1)) {
        REQUIRE(at > 0);
        CHECK(text[at - 1] == L'\r');
    }
    const std::vector<std::wstring> lines = Lines(text);
    REQUIRE(lines.size() > 10);
    CHECK(lines[0] == L"Korvane服务工具使用许可协议");
    CHECK(lines[1].empty());
    CHECK(lines[2] == L"重要须知");
    CHECK(lines[3].rfind(L"    ", 0) == 0);
    CHECK(lines[3].size() > 100);

    const std::vector<std::wstring> headings = {L"一. 知识产权声明", L"二. 软件授权范围",       L"三. 用户须知",
                                                L"四. 隐私保护",     L"五. 法律责任与免责声明", L"六. 其他条款"};
    size_t heading = 0;
    for (size_t i = 4; i < lines.size(); ++i) {
        CAPTURE(i);
        const std::wstring& line = lines[i];
        if (line.empty()) {
            // An empty line comes only before a section's heading.
            REQUIRE(heading < headings.size());
            REQUIRE(i + 1 < lines.size());
            CHECK(lines[i + 1] == headings[heading]);
            ++heading;
            ++i;
            continue;
        }
        // Every other line is a numbered paragraph or a lettered item, indented by four blanks.
        REQUIRE(line.size() > 7);
        CHECK(line.rfind(L"    ", 0) == 0);
        const wchar_t mark = line[4];
        const bool numbered = mark >= L'1' && mark <= L'9';
        const bool lettered = mark >= L'A' && mark <= L'Z';
        CHECK((numbered || lettered));
        CHECK(line.substr(5, 2) == L". ");
    }
    CHECK(heading == headings.size());
}

TEST_CASE("the viewer opens with the agreement scrolled to the top, and the text cannot be edited")
{
    OpenViewer open;
    const ViewerWindows& w = open.windows;
    REQUIRE(w.richEdit);
    CHECK(ui::ClassName(w.richEdit) == L"RichEdit20W");
    CHECK((ui::Style(w.richEdit) & ES_READONLY) != 0);
    CHECK(Lines(ui::WindowText(w.richEdit)) == Lines(BuildAgreementText()));
    CHECK(FirstLine(w.richEdit) == 0);
    CHECK(BarInfo(w.bar).nPos == 0);
    CHECK(ui::IsVisible(w.frame));
    CHECK(ui::IsVisible(w.child));

    const std::wstring before = ui::WindowText(w.richEdit);
    uitest::ClickControl(w.richEdit);
    ui::TypeText(L"改");
    for (WORD key : {VK_BACK, VK_DELETE, VK_RETURN}) ui::PressKey(key);
    ui::PumpFor(200);
    CHECK(ui::WindowText(w.richEdit) == before);
    CHECK(open.main.IsViewerShown());
}

TEST_CASE("the skinned bar scrolls the text")
{
    OpenViewer open;
    const ViewerWindows& w = open.windows;
    REQUIRE(w.bar);
    CHECK(ui::IsVisible(w.bar));
    ui::MoveCursor(open.DownArrow());
    ui::PumpFor(100);
    ui::Click(open.DownArrow());
    CHECK(ui::PumpUntil([&] { return FirstLine(w.richEdit) == 1; }, 2000));
    CHECK(BarInfo(w.bar).nPos > 0);

    // The thumb dragged past the bottom: the end of the agreement shows.
    const RECT bar = ui::WindowRect(w.bar);
    const SCROLLINFO info = BarInfo(w.bar);
    const ScrollBarLayout layout =
        LayOutScrollBar(ui::SizeOf(bar).cy, ui::SizeOf(bar).cx, 1.0f, 0, info, info.nPos, false);
    const POINT thumb{(bar.left + bar.right) / 2, bar.top + layout.thumbStart + layout.thumb / 2};
    ui::Drag(thumb, POINT{thumb.x, bar.bottom + 80});
    // The rich edit control's last position is one short of a system bar's.
    const int last = info.nMax - static_cast<int>(info.nPage);
    CHECK(ui::PumpUntil([&] { return BarInfo(w.bar).nPos == last; }, 2000));
    // At the end a further step changes nothing.
    ui::Click(open.DownArrow());
    ui::PumpFor(300);
    CHECK(BarInfo(w.bar).nPos == last);
    CHECK(FirstLine(w.richEdit) > 20);
}

TEST_CASE("clicks inside keep the viewer open; clicks elsewhere close it; the link toggles it")
{
    OpenViewer open;
    const ViewerWindows& w = open.windows;
    REQUIRE(w.richEdit);
    uitest::CMainStandIn& main = open.main;
    auto stays = [&](POINT click) {
        ui::Click(click);
        ui::PumpFor(400);
        return main.IsViewerShown() && ui::IsVisible(w.child);
    };
    auto closes = [&](POINT click) {
        ui::Click(click);
        return ui::PumpUntil([&] { return !main.IsViewerShown() && !ui::IsVisible(w.child); }, 2000);
    };
    auto opens = [&] {
        ui::Click(ui::CenterOf(main.LinkOnScreen()));
        return ui::PumpUntil([&] { return main.IsViewerShown() && ui::IsVisible(w.child); }, 2000);
    };

    CHECK(stays(ui::CenterOf(ui::WindowRect(w.richEdit))));
    CHECK(stays(open.DownArrow()));
    const RECT mainWindow = ui::WindowRect(main.Window());
    CHECK(closes(POINT{mainWindow.left + 150, mainWindow.top + 40}));

    REQUIRE(opens());
    CHECK(closes(POINT{mainWindow.right + 300, mainWindow.bottom - 100}));

    REQUIRE(opens());
    // The link hides it again, and a click on the main window while it is hidden changes nothing.
    CHECK(closes(ui::CenterOf(main.LinkOnScreen())));
    CHECK_FALSE(stays(POINT{mainWindow.left + 150, mainWindow.top + 40}));
    CHECK(opens());
}

TEST_SUITE("scale")
{
    TEST_CASE("the viewer's first size, its size over the main window, and its text control")
    {
        struct Expected
        {
            SIZE frame, child;
            RECT text;  // in the child's client area
            SIZE placedFrame, placedChild;
        };
        const Expected expected =
            AtBedDpi(Expected{{396, 482}, {394, 464}, {8, 8, 386, 456}, {398, 472}, {395, 453}},
                     Expected{{570, 694}, {568, 668}, {11, 11, 557, 657}, {573, 679}, {570, 653}});
        const float scale = fx::ScreenScaleFactor();
        uitest::CMainStandIn main(scale);
        std::unique_ptr<CTooltipDlg> viewer;
        main.Invoke([&] {
            viewer = std::make_unique<CTooltipDlg>();
            viewer->SetScaleFactor(scale);
            viewer->Create(main.Window());
        });
        const ViewerWindows w = WindowsOf(viewer.get());
        REQUIRE(w.text);
        auto sizeOf = [](HWND window) { return ui::SizeOf(ui::WindowRect(window)); };
        CHECK(sizeOf(w.frame).cx == expected.frame.cx);
        CHECK(sizeOf(w.frame).cy == expected.frame.cy);
        // The child was filled at its first size, the control inside the margin on every side; the
        // frame has been centred since, which carried the child along at its carried size.
        const RECT text = InClientOf(w.child, w.text);
        CHECK(SameRect(text, expected.text));
        CHECK(text.left + fx::Width(text) + text.left == expected.child.cx);
        CHECK(text.top + fx::Height(text) + text.top == expected.child.cy);
        CHECK(ui::WindowText(w.text) == L"SkinScrollBarFrame");

        // The agreement is longer than a page: the bar has a thumb to drag.
        CHECK(ui::PumpUntil([&] { return BarInfo(w.bar).nMax > 0; }, 2000));
        const SCROLLINFO info = BarInfo(w.bar);
        CHECK(info.nMax - info.nMin + 1 > static_cast<int>(info.nPage) * 2);
        CHECK(ui::IsVisible(w.bar));
        CHECK_FALSE(ui::IsVisible(GetDlgItem(w.text, CSkinScrollWnd::kHorizontalBarId)));

        main.Invoke([&] {
            const RECT place = CAgreementViewer::PlacementOver(ui::WindowRect(main.Window()), scale);
            viewer->MoveWindow(place.left, place.top, fx::Width(place), fx::Height(place));
        });
        ui::PumpFor(200);
        CHECK(sizeOf(w.frame).cx == expected.placedFrame.cx);
        CHECK(sizeOf(w.frame).cy == expected.placedFrame.cy);
        CHECK(sizeOf(w.child).cx == expected.placedChild.cx);
        CHECK(sizeOf(w.child).cy == expected.placedChild.cy);
        CHECK(SameRect(InClientOf(w.child, w.text), expected.text));
        main.Invoke([&] {
            DestroyWindow(viewer->GetSafeHwnd());
            viewer.reset();
        });
    }
}
