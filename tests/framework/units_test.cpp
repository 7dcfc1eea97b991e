// The pieces that need no driven windows: RAII wrappers, scale arithmetic, message tables and
// reflection, the modal loop's owner handling.
#include <doctest.h>

#include "framework/base/ModulePath.h"
#include "framework/Dialog.h"
#include "framework/Gdi.h"
#include "framework/MessageMap.h"
#include "framework/Scale.h"
#include "res/resource.h"
#include "tests/uidriver/UiTestSupport.h"

TEST_CASE("GDI wrappers free and deselect what they hold")
{
    SUBCASE("an object is deleted with its owner and survives a move")
    {
        HBRUSH raw = CreateSolidBrush(RGB(1, 2, 3));
        {
            fx::CBrush brush(raw);
            fx::CBrush moved(std::move(brush));
            CHECK_FALSE(brush);
            CHECK(moved.Get() == raw);
            CHECK(GetObjectType(raw) == OBJ_BRUSH);
        }
        CHECK(GetObjectType(raw) == 0);
    }
    SUBCASE("a selection is undone before the selected bitmap is deleted")
    {
        HDC screen = GetDC(nullptr);
        fx::CMemoryDC memory(screen);
        REQUIRE(memory);
        HGDIOBJ original = GetCurrentObject(memory.Get(), OBJ_BITMAP);
        HBITMAP raw = CreateCompatibleBitmap(screen, 8, 8);
        {
            fx::CBitmap bitmap(raw);
            fx::CSelectObject select(memory.Get(), bitmap.Get());
            CHECK(GetCurrentObject(memory.Get(), OBJ_BITMAP) == raw);
        }
        CHECK(GetCurrentObject(memory.Get(), OBJ_BITMAP) == original);
        CHECK(GetObjectType(raw) == 0);  // deselected first, so DeleteObject could free it
        ReleaseDC(nullptr, screen);
    }
    SUBCASE("a DIB section has 32-bit pixels that can be written")
    {
        HDC screen = GetDC(nullptr);
        fx::CDibSection dib(screen, 4, 3);
        REQUIRE(dib.bits);
        static_cast<DWORD*>(dib.bits)[11] = 0xFF102030;
        BITMAP info{};
        GetObjectW(dib.bitmap.Get(), sizeof(info), &info);
        CHECK(info.bmBitsPixel == 32);
        CHECK(info.bmWidth == 4);
        ReleaseDC(nullptr, screen);
    }
}

TEST_CASE("scale factors")
{
    CHECK(fx::ScaleFactorForDpi(96) == 1.0f);
    CHECK(fx::ScaleFactorForDpi(100) == 1.0f);
    CHECK(fx::ScaleFactorForDpi(120) == 1.2f);
    CHECK(fx::ScaleFactorForDpi(144) == 1.44f);
    CHECK(fx::Scaled(7, 1.25f) == 8);
    CHECK(fx::Scaled(5, 1.44f) == 7);
}

TEST_CASE("a path is read whole up to the longest Windows knows")
{
    for (const size_t length : {size_t{12}, size_t{16641}, size_t{fx::kLongestPath - 1}}) {
        const std::wstring path(length, L'x');
        const auto read = [&path](wchar_t* buffer, DWORD size) -> DWORD {
            if (path.size() >= size) return size;
            path.copy(buffer, path.size());
            return static_cast<DWORD>(path.size());
        };
        CHECK(fx::ReadPathInto(read) == path);
    }
}

namespace {

// A control that counts what its parent reflects to it.
class CCountingButton : public fx::CWnd
{
public:
    int drawn = 0;
    int clicked = 0;

protected:
    bool ProcessMessage(fx::Message& m) override
    {
        static const fx::MessageEntry<CCountingButton> map[] = {
            fx::OnMessage(fx::WM_REFLECT_DRAWITEM, &CCountingButton::OnDrawItem),
            fx::OnCommand(IDC_PROMPT_LEFT, BN_CLICKED, &CCountingButton::OnClicked, fx::WM_REFLECT_COMMAND),
        };
        return fx::Dispatch(*this, map, m);
    }

private:
    bool OnDrawItem(fx::Message& m)
    {
        ++drawn;
        m.result = TRUE;
        return true;
    }
    bool OnClicked(fx::Message&)
    {
        ++clicked;
        return false;  // the parent still hears of the click
    }
};

class CReflectHost : public fx::CDialog
{
public:
    CReflectHost() : fx::CDialog(IDD_PROMPT_CHILD) {}
    CCountingButton button;
    int parentClicks = 0;
    int preTranslated = 0;
    HWND ownerWhileRunning = nullptr;
    bool ownerEnabledWhileRunning = true;

    bool PreTranslateMessage(MSG& message) override
    {
        if (message.message == WM_APP) ++preTranslated;
        return fx::CDialog::PreTranslateMessage(message);
    }

protected:
    void DoDataExchange(fx::CDataExchange& dx) override { fx::DDX_Control(dx, IDC_PROMPT_LEFT, button); }
    BOOL OnInitDialog() override
    {
        fx::CDialog::OnInitDialog();
        PostMessageW(m_hWnd, WM_APP, 0, 0);
        SendMessage(WM_COMMAND, MAKEWPARAM(IDC_PROMPT_LEFT, BN_CLICKED),
                    reinterpret_cast<LPARAM>(button.GetSafeHwnd()));
        return TRUE;
    }
    bool ProcessMessage(fx::Message& m) override
    {
        static const fx::MessageEntry<CReflectHost> map[] = {
            fx::OnCommand(IDC_PROMPT_LEFT, BN_CLICKED, &CReflectHost::OnClicked),
            fx::OnMessage(WM_APP, &CReflectHost::OnApp),
        };
        return fx::Dispatch(*this, map, m) || fx::CDialog::ProcessMessage(m);
    }

private:
    bool OnClicked(fx::Message&)
    {
        ++parentClicks;
        return true;
    }
    bool OnApp(fx::Message&)
    {
        ownerWhileRunning = GetWindow(m_hWnd, GW_OWNER);
        ownerEnabledWhileRunning = ::IsWindowEnabled(ownerWhileRunning) != FALSE;
        // The button paints now: its WM_DRAWITEM reaches the button object, not this dialog.
        RedrawWindow(button.GetSafeHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        EndDialog(42);
        return true;
    }
};

}  // namespace

TEST_CASE("a modal dialog: controls bound by id, notifications reflected, messages pre-translated, owner disabled")
{
    uitest::EnsureApplication();
    HWND owner =
        CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
    REQUIRE(owner);
    CReflectHost host;
    // No parent given: the thread's active window becomes the owner.
    SetActiveWindow(owner);
    const INT_PTR result = host.DoModal();
    CHECK(result == 42);
    CHECK(host.ownerWhileRunning == owner);
    CHECK_FALSE(host.ownerEnabledWhileRunning);
    CHECK(IsWindowEnabled(owner));
    CHECK(host.button.clicked == 1);
    CHECK(host.parentClicks == 1);
    CHECK(host.button.drawn >= 1);
    CHECK(host.preTranslated == 1);
    CHECK_FALSE(host.GetSafeHwnd());  // unbound when its window went
    CHECK_FALSE(host.button.GetSafeHwnd());
    DestroyWindow(owner);
}
