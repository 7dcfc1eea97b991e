// Windows created at run time and their objects: bound before the first message, one object per
// window, the last message and when an object may go, and the COM helpers of the file dialog.
#include <doctest.h>

#include "framework/Com.h"
#include "framework/MessageMap.h"
#include "framework/Window.h"
#include "tests/uidriver/UiTestSupport.h"

#include <commctrl.h>
#include <shobjidl.h>

#include <vector>

namespace {

// Records every message it sees, and answers the reflected WM_MEASUREITEM of an owner-drawn list.
class CRecorder : public fx::CWnd
{
public:
    std::vector<UINT> messages;
    int finalMessages = 0;
    bool boundAtFinal = true;
    bool* destroyed = nullptr;
    bool deleteAtFinal = false;
    UINT rowHeight = 0;

    ~CRecorder() override
    {
        if (destroyed) *destroyed = true;
    }
    bool Saw(UINT message) const
    {
        for (UINT seen : messages)
            if (seen == message) return true;
        return false;
    }

protected:
    bool ProcessMessage(fx::Message& m) override
    {
        messages.push_back(m.message);
        if (m.message == fx::WM_REFLECT_MEASUREITEM && rowHeight) {
            reinterpret_cast<MEASUREITEMSTRUCT*>(m.lParam)->itemHeight = rowHeight;
            m.result = TRUE;
            return true;
        }
        return false;
    }
    void OnFinalMessage(HWND) override
    {
        ++finalMessages;
        boundAtFinal = GetSafeHwnd() != nullptr;
        if (deleteAtFinal) delete this;
    }
};

fx::CreateArgs ChildOf(HWND parent, int id, DWORD style = WS_CHILD | WS_VISIBLE)
{
    fx::CreateArgs args;
    args.style = style;
    args.rect = {0, 0, 200, 120};
    args.parent = parent;
    args.id = id;
    return args;
}

fx::CreateArgs Popup()
{
    fx::CreateArgs args;
    args.style = WS_POPUP;
    args.rect = {10, 10, 210, 160};
    return args;
}

}  // namespace

TEST_CASE("a window created at run time is bound before its first message")
{
    uitest::EnsureApplication();
    CRecorder parent;
    REQUIRE(parent.Create(Popup()));
    // A popup asks for its size limits before anything else; all the rest reaches the object.
    CHECK(parent.messages.front() == WM_NCCREATE);
    CHECK(parent.Saw(WM_CREATE));
    CHECK(fx::CWnd::FromHandle(parent.GetSafeHwnd()) == &parent);

    SUBCASE("an owner-drawn list answers its row height while it is created")
    {
        CRecorder list;
        list.rowHeight = 37;
        REQUIRE(list.CreateControl(WC_LISTVIEWW, ChildOf(parent.GetSafeHwnd(), 1537,
                                                         WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_OWNERDRAWFIXED)));
        CHECK(list.messages.front() == WM_NCCREATE);
        CHECK(list.Saw(WM_CREATE));
        CHECK(list.Saw(fx::WM_REFLECT_MEASUREITEM));
        LVCOLUMNW column{LVCF_WIDTH, 0, 150};
        ListView_InsertColumn(list.GetSafeHwnd(), 0, &column);
        LVITEMW item{LVIF_TEXT};
        item.pszText = const_cast<wchar_t*>(L"C:");
        REQUIRE(ListView_InsertItem(list.GetSafeHwnd(), &item) == 0);
        RECT row{};
        ListView_GetItemRect(list.GetSafeHwnd(), 0, &row, LVIR_BOUNDS);
        CHECK(row.bottom - row.top == 37);
    }
    SUBCASE("system controls see their own WM_CREATE")
    {
        LoadLibraryW(L"riched20.dll");
        for (const wchar_t* className : {L"ScrollBar", L"RichEdit20W", L"Edit"}) {
            CAPTURE(std::wstring(className));
            CRecorder control;
            REQUIRE(control.CreateControl(className, ChildOf(parent.GetSafeHwnd(), 100)));
            CHECK(control.messages.front() == WM_NCCREATE);
            CHECK(control.Saw(WM_CREATE));
            CHECK(GetDlgItem(parent.GetSafeHwnd(), 100) == control.GetSafeHwnd());
            DestroyWindow(control.GetSafeHwnd());
        }
    }
    SUBCASE("a creation that fails leaves the object unbound and reusable")
    {
        CRecorder control;
        CHECK_FALSE(control.CreateControl(L"NoSuchClass", ChildOf(parent.GetSafeHwnd(), 5)));
        CHECK_FALSE(control.GetSafeHwnd());
        CHECK(control.CreateControl(L"Static", ChildOf(parent.GetSafeHwnd(), 5)));
    }
    DestroyWindow(parent.GetSafeHwnd());
}

TEST_CASE("a window has one object, and the object's last message is WM_NCDESTROY")
{
    uitest::EnsureApplication();
    SUBCASE("a second object is refused, also by the object already bound")
    {
        CRecorder first;
        REQUIRE(first.Create(Popup()));
        HWND window = first.GetSafeHwnd();
        CRecorder second;
        CHECK_FALSE(second.SubclassWindow(window));
        CHECK_FALSE(first.SubclassWindow(
            CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr)));
        CHECK(fx::CWnd::FromHandle(window) == &first);
        first.UnsubclassWindow();
        CHECK(second.SubclassWindow(window));
        DestroyWindow(window);
    }
    SUBCASE("after WM_NCDESTROY the object is unbound, then OnFinalMessage runs and may delete it")
    {
        bool destroyed = false;
        auto* object = new CRecorder;
        object->destroyed = &destroyed;
        object->deleteAtFinal = true;
        REQUIRE(object->Create(Popup()));
        HWND window = object->GetSafeHwnd();
        DestroyWindow(window);
        CHECK(destroyed);
        CHECK_FALSE(IsWindow(window));
    }
    SUBCASE("the order of the last messages")
    {
        CRecorder object;
        REQUIRE(object.Create(Popup()));
        DestroyWindow(object.GetSafeHwnd());
        REQUIRE(object.messages.size() >= 2);
        CHECK(object.messages.back() == WM_NCDESTROY);
        CHECK(object.Saw(WM_DESTROY));
        CHECK(object.finalMessages == 1);
        CHECK_FALSE(object.boundAtFinal);
        CHECK_FALSE(object.GetSafeHwnd());
    }
    SUBCASE("an object deleted before its window unbinds it; the window goes on without it")
    {
        HWND window = nullptr;
        {
            CRecorder object;
            REQUIRE(object.CreateControl(L"Edit", Popup()));
            window = object.GetSafeHwnd();
        }
        REQUIRE(IsWindow(window));
        CHECK(fx::CWnd::FromHandle(window) == nullptr);
        SetWindowTextW(window, L"加密");
        wchar_t text[8] = {};
        GetWindowTextW(window, text, 8);
        CHECK(std::wstring(text) == L"加密");
        DestroyWindow(window);
    }
}

namespace {

// A COM object that counts its references, to see what the pointer type does with them.
struct CCounted : IUnknown
{
    LONG references = 1;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** out) override
    {
        if (id != __uuidof(IUnknown)) {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        *out = this;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++references); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--references); }
};

DWORD WINAPI ApartmentProbe(void* mode)
{
    if (mode) CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    DWORD apartment = 0;
    {
        fx::CComScope outer;
        fx::CComScope inner;
        apartment = (outer.IsApartment() ? 1 : 0) | (inner.IsApartment() ? 2 : 0);
    }
    if (mode) CoUninitialize();
    return apartment;
}

DWORD ProbeOnThread(bool multithreadedFirst)
{
    HANDLE thread = CreateThread(nullptr, 0, &ApartmentProbe, multithreadedFirst ? &thread : nullptr, 0, nullptr);
    WaitForSingleObject(thread, INFINITE);
    DWORD code = 0;
    GetExitCodeThread(thread, &code);
    CloseHandle(thread);
    return code;
}

}  // namespace

TEST_CASE("COM scope and pointer")
{
    SUBCASE("a scope opens a single-threaded apartment, also nested; not on a multithreaded thread")
    {
        CHECK(ProbeOnThread(false) == 3);
        CHECK(ProbeOnThread(true) == 0);
    }
    SUBCASE("the pointer releases once: on reset, on receive, at its end, never after a move")
    {
        CCounted object;
        {
            fx::CComPtr<IUnknown> held;
            *held.Receive() = &object;  // as an out-parameter hands over its reference
            fx::CComPtr<IUnknown> copy;
            REQUIRE(held.QueryInterface(copy) == S_OK);
            CHECK(object.references == 2);
            fx::CComPtr<IUnknown> moved(std::move(copy));
            CHECK_FALSE(copy);
            CHECK(object.references == 2);
            moved.Receive();
            CHECK(object.references == 1);
        }
        CHECK(object.references == 0);
    }
    SUBCASE("the system's Save As dialog object can be created in the apartment")
    {
        fx::CComScope scope;
        REQUIRE(scope.IsApartment());
        fx::CComPtr<IUnknown> dialog;
        CHECK(SUCCEEDED(dialog.CoCreateInstance(CLSID_FileSaveDialog)));
    }
}
