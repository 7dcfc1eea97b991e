// The skinned buttons and the check box on a plain host dialog: what the screen shows for each
// state, driven with the real cursor.
#include <doctest.h>

#include "controls/CheckBoxBtn.h"
#include "controls/DrawTextStatic.h"
#include "controls/Fonts.h"
#include "controls/PngButton.h"
#include "controls/PngPainting.h"
#include "framework/Dialog.h"
#include "framework/MessageMap.h"
#include "res/resource.h"
#include "tests/uidriver/UiTestSupport.h"

#include <algorithm>

namespace {

constexpr UINT kMissingImage = 9999;
constexpr UINT kBrokenImage = 9998;
constexpr int kCheckBoxId = 2001;
constexpr int kImageButtonId = 2002;
// Host message: the label's UpdateHover with the screen point (wParam x, lParam y), on the host's thread.
constexpr UINT WM_TEST_HOVER = WM_APP + 1;
constexpr COLORREF kLinkNormal = RGB(92, 92, 255);
constexpr COLORREF kLinkHover = RGB(0, 0, 255);

// The message prompt's child template as a bare host: its buttons get other pictures here.
class CButtonHost : public fx::CDialog
{
public:
    CButtonHost() : fx::CDialog(IDD_PROMPT_CHILD) {}

protected:
    void DoDataExchange(fx::CDataExchange& dx) override
    {
        fx::DDX_Control(dx, IDC_PROMPT_LEFT, m_fourStates);
        fx::DDX_Control(dx, IDC_PROMPT_RIGHT, m_missing);
        fx::DDX_Control(dx, IDC_PROMPT_CLOSE, m_scaled);
        fx::DDX_Control(dx, IDC_PROMPT_TEXT, m_label);
    }

    BOOL OnInitDialog() override
    {
        fx::CDialog::OnInitDialog();
        MoveWindow(100, 100, 320, 160);
        ShowWindow(SW_HIDE);
        m_fourStates.SetStateImages(IDB_MAIN_CLOSE_NORMAL, IDB_MAIN_CLOSE_HOVER, IDB_MAIN_CLOSE_PRESSED,
                                    IDB_MAIN_CLOSE_DISABLED);
        m_fourStates.MoveWindow(20, 20, 26, 34);
        m_missing.SetStateImages(IDB_MAIN_CLOSE_NORMAL, kMissingImage, IDB_MAIN_CLOSE_PRESSED, IDB_MAIN_CLOSE_DISABLED);
        m_missing.MoveWindow(80, 20, 26, 34);
        m_scaled.SetScaleFactor(1.25f);
        m_scaled.SetStateImages(IDB_MAIN_CLOSE_NORMAL, IDB_MAIN_CLOSE_HOVER, IDB_MAIN_CLOSE_PRESSED,
                                IDB_MAIN_CLOSE_DISABLED);
        m_scaled.MoveWindow(140, 20, 32, 42);

        // A three-state box, so that the indeterminate state can be set as well.
        HWND box = CreateWindowExW(0, L"BUTTON", L"同意", WS_CHILD | WS_VISIBLE | BS_AUTO3STATE, 20, 90, 80, 20, m_hWnd,
                                   reinterpret_cast<HMENU>(kCheckBoxId), nullptr, nullptr);
        m_check.SubclassWindow(box);
        m_check.UseParentFont();
        HWND large = CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 200, 90, 58, 18, m_hWnd,
                                     reinterpret_cast<HMENU>(kImageButtonId), nullptr, nullptr);
        m_image.SubclassWindow(large);
        m_image.SetStateImages(IDB_MORE_TOOLS_NORMAL, IDB_MORE_TOOLS_HOVER, IDB_MORE_TOOLS_PRESSED,
                               IDB_MORE_TOOLS_DISABLED);
        m_image.SetHotInsets(4, 4, 4, 4);

        // A link-like label, as the main window shows them.
        m_label.SetFont(0, 0);
        m_label.SetAlignment(1);
        m_label.SetTextColors(kLinkNormal, kLinkHover);
        m_label.SetWindowText(L"反馈问题");
        m_label.MoveWindow(20, 125, 120, 20);
        return TRUE;
    }

    bool ProcessMessage(fx::Message& m) override
    {
        if (m.message == WM_TEST_HOVER) {
            m_label.UpdateHover(static_cast<int>(m.wParam), static_cast<int>(m.lParam));
            m.result = m_label.ContainsScreenPoint(static_cast<int>(m.wParam), static_cast<int>(m.lParam));
            return true;
        }
        if (m.message == WM_DESTROY) {
            for (CSkinButtonBase* button :
                 {static_cast<CSkinButtonBase*>(&m_fourStates), static_cast<CSkinButtonBase*>(&m_missing),
                  static_cast<CSkinButtonBase*>(&m_scaled), static_cast<CSkinButtonBase*>(&m_image)})
                button->FreeStateImages();
        }
        return fx::CDialog::ProcessMessage(m);
    }

public:
    CImageButton m_image;

private:
    CPngButton m_fourStates;
    CPngButton m_missing;
    CPngButton m_scaled;
    CCheckBoxBtn m_check;
    CDrawTextStatic m_label;
};

// The host dialog on a UI thread of its own, closed at the end of the test.
struct HostRun
{
    std::atomic<CButtonHost*> host{nullptr};  // not owned: lives on the UI thread's stack
    uitest::CModalRun run{[this] {
        CButtonHost dialog;
        host = &dialog;
        return dialog.DoModal();
    }};
    HWND window = run.Dialog();

    HWND Control(int id) const { return ui::FindControl(window, id); }
    ~HostRun()
    {
        ui::Post(window, WM_CLOSE);
        run.Wait();
    }
};

const std::vector<UINT> kCloseStates = {IDB_MAIN_CLOSE_NORMAL, IDB_MAIN_CLOSE_HOVER, IDB_MAIN_CLOSE_PRESSED,
                                        IDB_MAIN_CLOSE_DISABLED};

}  // namespace

TEST_CASE(
    "a button shows the hover picture once the mouse rests on it, normal again after it leaves, pressed while held")
{
    HostRun host;
    REQUIRE(host.window);
    HWND button = host.Control(IDC_PROMPT_LEFT);
    const RECT face = ui::WindowRect(button);
    const POINT away = ui::ClientToScreenPoint(host.window, POINT{280, 130});
    // Waits as a person watching the button does: until it shows the picture (a leave, under Wine,
    // is noticed at the system's hover time).
    auto shows = [&face](UINT id) {
        return ui::PumpUntil([&] { return uitest::ClosestResource(face, kCloseStates) == id; });
    };
    ui::MoveCursor(away);
    CHECK(shows(IDB_MAIN_CLOSE_NORMAL));

    ui::MoveCursor(ui::CenterOf(face));
    CHECK(shows(IDB_MAIN_CLOSE_HOVER));

    ui::MoveCursor(away);
    CHECK(shows(IDB_MAIN_CLOSE_NORMAL));

    // Back on it: tracking is asked for again.
    ui::MoveCursor(ui::CenterOf(face));
    CHECK(shows(IDB_MAIN_CLOSE_HOVER));

    ui::MouseDown(ui::CenterOf(face));
    CHECK(shows(IDB_MAIN_CLOSE_PRESSED));
    ui::MouseUp(ui::CenterOf(face));
    CHECK(shows(IDB_MAIN_CLOSE_HOVER));
}

TEST_CASE("a disabled button shows its disabled picture and ignores hover and press")
{
    HostRun host;
    REQUIRE(host.window);
    HWND button = host.Control(IDC_PROMPT_LEFT);
    const RECT face = ui::WindowRect(button);
    EnableWindow(button, FALSE);
    ui::PumpFor(300);
    CHECK(uitest::ClosestResource(face, kCloseStates) == IDB_MAIN_CLOSE_DISABLED);
    ui::MoveCursor(ui::CenterOf(face));
    ui::PumpFor(300);
    ui::MouseDown(ui::CenterOf(face));
    ui::PumpFor(200);
    CHECK(uitest::ClosestResource(face, kCloseStates) == IDB_MAIN_CLOSE_DISABLED);
    ui::MouseUp(ui::CenterOf(face));
}

TEST_CASE("a button with one state picture missing draws nothing, in any state")
{
    HostRun host;
    REQUIRE(host.window);
    const RECT face = ui::WindowRect(host.Control(IDC_PROMPT_RIGHT));
    CHECK(uitest::IsUniform(uitest::CaptureScreen(face)));
    ui::MoveCursor(ui::CenterOf(face));
    ui::PumpFor(300);
    CHECK(uitest::IsUniform(uitest::CaptureScreen(face)));
    // Its neighbour with all four pictures does draw.
    CHECK_FALSE(uitest::IsUniform(uitest::CaptureScreen(ui::WindowRect(host.Control(IDC_PROMPT_LEFT)))));
}

TEST_CASE("at scale 1.25 the picture is stretched over the larger button")
{
    HostRun host;
    REQUIRE(host.window);
    const RECT face = ui::WindowRect(host.Control(IDC_PROMPT_CLOSE));
    CHECK(ui::SizeOf(face).cx == 32);
    const uitest::Pixels shown = uitest::CaptureScreen(face);
    // Read one pixel short on the right and at the bottom, as above scale 1.0 every button does.
    const double shrunk =
        uitest::MeanDifference(shown, uitest::RenderResource(IDB_MAIN_CLOSE_NORMAL, RECT{0, 0, 25, 33}, 32, 42));
    CHECK(shrunk < 6.0);
    CHECK(CPngButton::StateImageSource(26, 34, 1.25f).right == 25);
    CHECK(CPngButton::StateImageSource(26, 34, 1.25f).bottom == 33);
    CHECK(CPngButton::StateImageSource(26, 34, 1.0f).right == 26);
}

TEST_CASE("the check box shows the checked cell only for BM_GETCHECK 1, and a click checks it at once")
{
    HostRun host;
    REQUIRE(host.window);
    HWND box = host.Control(kCheckBoxId);
    const RECT client = ui::ClientRectOnScreen(box);
    const int top = client.top + (client.bottom - client.top) / 2 - 8;
    const RECT cell{client.left, top, client.left + 16, top + 16};
    const uitest::Pixels unchecked = uitest::RenderResource(IDB_CHECKBOX_STRIP, RECT{0, 0, 16, 16}, 16, 16);
    const uitest::Pixels checked = uitest::RenderResource(IDB_CHECKBOX_STRIP, RECT{16, 0, 32, 16}, 16, 16);
    auto shows = [&](const uitest::Pixels& expected, const uitest::Pixels& other) {
        const uitest::Pixels seen = uitest::CaptureScreen(cell);
        return uitest::MeanDifference(seen, expected) < uitest::MeanDifference(seen, other);
    };
    for (WPARAM state : {BST_UNCHECKED, BST_CHECKED, BST_INDETERMINATE}) {
        CAPTURE(state);
        ui::Send(box, BM_SETCHECK, state);
        REQUIRE(ui::Send(box, BM_GETCHECK).value_or(-1) == static_cast<LRESULT>(state));
        ui::PumpFor(200);
        if (state == BST_CHECKED)
            CHECK(shows(checked, unchecked));
        else
            CHECK(shows(unchecked, checked));
    }
    // The caption is drawn beside the box.
    const RECT caption{client.left + 18, client.top, client.right, client.bottom};
    CHECK_FALSE(uitest::IsUniform(uitest::CaptureScreen(caption)));

    ui::Send(box, BM_SETCHECK, BST_UNCHECKED);
    uitest::ClickControl(box);
    ui::PumpFor(200);
    CHECK(ui::Send(box, BM_GETCHECK).value_or(-1) == BST_CHECKED);
    CHECK(shows(checked, unchecked));
}

TEST_CASE("an image button's hot area leaves out its insets")
{
    HostRun host;
    REQUIRE(host.window);
    const RECT face = ui::WindowRect(host.Control(kImageButtonId));
    CImageButton& button = host.host.load()->m_image;
    auto hotAt = [&button](POINT point) {
        ui::MoveCursor(point);
        ui::PumpFor(100);
        return button.IsCursorInHotArea();
    };
    CHECK(hotAt(ui::CenterOf(face)));
    CHECK_FALSE(hotAt(POINT{face.left + 2, face.top + 9}));
    CHECK(hotAt(POINT{face.left + 4, face.top + 9}));
    CHECK_FALSE(hotAt(POINT{face.right - 4, face.top + 9}));
    CHECK_FALSE(hotAt(POINT{face.left + 20, face.bottom - 3}));
    // It paints at erase time as well: the picture is there once the leave has been reported (Wine
    // watches the leave at the system's hover time).
    ui::MoveCursor(POINT{face.right + 40, face.bottom + 20});
    CHECK(ui::PumpUntil([&] {
        return uitest::ClosestResource(face, {IDB_MORE_TOOLS_NORMAL, IDB_MORE_TOOLS_HOVER, IDB_MORE_TOOLS_PRESSED}) ==
               IDB_MORE_TOOLS_NORMAL;
    }));
}

TEST_CASE("a drawn label takes its hover colour while the point lies in it")
{
    HostRun host;
    REQUIRE(host.window);
    const RECT label = ui::WindowRect(host.Control(IDC_PROMPT_TEXT));
    // How many pixels of the label are drawn in exactly this colour.
    auto pixelsOf = [&](COLORREF color) {
        const uitest::Pixels shown = uitest::CaptureScreen(label);
        return std::count(shown.rgb.begin(), shown.rgb.end(), ui::ToRgb(color));
    };
    CHECK(pixelsOf(kLinkNormal) > 10);
    CHECK(pixelsOf(kLinkHover) == 0);

    const POINT inside = ui::CenterOf(label);
    CHECK(ui::Send(host.window, WM_TEST_HOVER, inside.x, inside.y).value_or(-1) == 1);
    ui::PumpFor(200);
    CHECK(pixelsOf(kLinkHover) > 10);
    CHECK(pixelsOf(kLinkNormal) == 0);

    CHECK(ui::Send(host.window, WM_TEST_HOVER, label.right, label.top).value_or(-1) == 0);  // right edge is outside
    ui::PumpFor(200);
    CHECK(pixelsOf(kLinkNormal) > 10);
    CHECK(pixelsOf(kLinkHover) == 0);
}

TEST_CASE("loading PNG resources")
{
    uitest::EnsureApplication();
    fx::ImagePtr image;
    REQUIRE(LoadPngFromResource(image, IDB_PROMPT_FRAME));
    CHECK(image->GetWidth() == 330);
    CHECK(image->GetHeight() == 150);
    Gdiplus::Image* before = image.get();
    CHECK_FALSE(LoadPngFromResource(image, kMissingImage));
    CHECK_FALSE(LoadPngFromResource(image, kBrokenImage));  // broken_png.rc: not a PNG
    CHECK(image.get() == before);                           // left as it was
    // Drawing long after the load still works: the resource copy lives as long as the image.
    const uitest::Pixels pixels = uitest::RenderResource(IDB_PROMPT_BACKGROUND);
    REQUIRE(pixels.width == 320);
    CHECK(pixels.At(160, 100) == ui::Rgb{255, 255, 255});
    CHECK(pixels.At(5, 5).b > 200);  // the blue title bar
}

TEST_CASE("font helpers")
{
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    REQUIRE(window);
    HDC dc = GetDC(window);
    CHECK(MeasureTextWidth(nullptr, dc, L"反馈问题", 0, 0) == -1);
    CHECK(MeasureTextWidth(window, nullptr, L"反馈问题", 0, 0) == -1);
    const int plain = MeasureTextWidth(window, dc, L"反馈问题", 0, 0);
    const int larger = MeasureTextWidth(window, dc, L"反馈问题", 4, FW_BOLD);
    CHECK(plain > 0);
    CHECK(larger > plain);
    CHECK(MeasureTextWidth(window, dc, L"", 0, 0) == 0);

    fx::CFont font;
    REQUIRE(DeriveFont(window, 3, FW_BOLD, font));
    LOGFONTW derived{}, base{};
    GetObjectW(font.Get(), sizeof(derived), &derived);
    GetObjectW(GetWindowFontOrDefault(window), sizeof(base), &base);
    CHECK(derived.lfHeight == base.lfHeight - 3);
    CHECK(derived.lfWeight == FW_BOLD);
    REQUIRE(DeriveFont(window, 0, FW_BOLD, font));
    GetObjectW(font.Get(), sizeof(derived), &derived);
    CHECK(derived.lfWeight == base.lfWeight);  // no size change: the weight is ignored
    ReleaseDC(window, dc);
    DestroyWindow(window);
}
