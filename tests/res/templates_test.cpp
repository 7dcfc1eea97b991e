// The dialog templates: their style and font, and the controls the windows bind by id, in
// tab order. Read from the template bytes, then created for real as windows.
#include <doctest.h>

#include <windows.h>
#include <richedit.h>

#include <string>
#include <vector>

#include "res/resource.h"

namespace {

const WORD kLangChinese = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);
const DWORD kSkinnedStyle = WS_POPUP | WS_SYSMENU | DS_SETFONT;
const wchar_t kSongTi[] = L"宋体";

// Window classes a template item may name by ordinal.
const WORD kButton = 0x0080, kEdit = 0x0081, kStatic = 0x0082;

struct Item
{
    DWORD style = 0;
    DWORD exStyle = 0;
    int id = 0;
    WORD classOrdinal = 0;  // 0 when the class is named
    std::wstring className;
    std::wstring text;
};

struct Template
{
    bool valid = false;
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0;
    std::wstring title;
    WORD pointSize = 0;
    std::wstring face;
    std::vector<Item> items;
};

// Reads the extended template format (DLGTEMPLATEEX and DLGITEMTEMPLATEEX).
class TemplateReader
{
public:
    TemplateReader(const BYTE* data, DWORD size) : p_(data), end_(data + size) {}

    Template Read()
    {
        Template t;
        if (Word() != 1 || Word() != 0xFFFF) return t;  // version 1 and the extended signature
        Dword();                                        // help id
        t.exStyle = Dword();
        t.style = Dword();
        WORD count = Word();
        t.x = short(Word());
        t.y = short(Word());
        Word();
        Word();
        SzOrOrd();  // menu
        SzOrOrd();  // class
        t.title = String();
        if (t.style & DS_SETFONT) {
            t.pointSize = Word();
            Word();  // weight
            Word();  // italic and character set
            t.face = String();
        }
        for (WORD i = 0; i < count && ok_; ++i) {
            Align();
            Item item;
            Dword();  // help id
            item.exStyle = Dword();
            item.style = Dword();
            for (int n = 0; n < 4; ++n) Word();
            item.id = int(Dword());
            item.classOrdinal = SzOrOrd(&item.className);
            SzOrOrd(&item.text);
            WORD extra = Word();
            p_ += extra;
            t.items.push_back(item);
        }
        t.valid = ok_ && p_ <= end_;
        return t;
    }

private:
    WORD Word()
    {
        if (p_ + 2 > end_) {
            ok_ = false;
            return 0;
        }
        WORD w = WORD(p_[0] | (p_[1] << 8));
        p_ += 2;
        return w;
    }
    DWORD Dword()
    {
        DWORD low = Word();
        return low | (DWORD(Word()) << 16);
    }
    std::wstring String()
    {
        std::wstring s;
        for (WORD c = Word(); c != 0 && ok_; c = Word()) s.push_back(wchar_t(c));
        return s;
    }
    // A string, or 0xFFFF and an ordinal (returned), or 0x0000 for none.
    WORD SzOrOrd(std::wstring* text = nullptr)
    {
        WORD first = Word();
        if (first == 0xFFFF) return Word();
        std::wstring s;
        for (WORD c = first; c != 0 && ok_; c = Word()) s.push_back(wchar_t(c));
        if (text) *text = s;
        return 0;
    }
    void Align()
    {
        auto offset = reinterpret_cast<ULONG_PTR>(p_);
        p_ += (4 - offset % 4) % 4;
    }

    const BYTE* p_;
    const BYTE* end_;
    bool ok_ = true;
};

const DLGTEMPLATE* TemplateBytes(int id, DWORD* size)
{
    HRSRC found = FindResourceExW(nullptr, RT_DIALOG, MAKEINTRESOURCEW(id), kLangChinese);
    if (!found) return nullptr;
    *size = SizeofResource(nullptr, found);
    return static_cast<const DLGTEMPLATE*>(LockResource(LoadResource(nullptr, found)));
}

Template ReadTemplate(int id)
{
    DWORD size = 0;
    const DLGTEMPLATE* bytes = TemplateBytes(id, &size);
    if (!bytes) return {};
    return TemplateReader(reinterpret_cast<const BYTE*>(bytes), size).Read();
}

// What a window relies on in one control of its template.
struct Expected
{
    int id;
    WORD classOrdinal;  // 0: named class below
    const wchar_t* className;
    DWORD typeMask;  // the bits of the style that must equal `type`
    DWORD type;
    DWORD extra;          // further bits that must be set
    const wchar_t* text;  // nullptr: not checked
};

const DWORD kOwnerDraw = BS_TYPEMASK;  // owner-drawn push button: type BS_OWNERDRAW

Expected OwnerDrawn(int id, const wchar_t* text)
{
    return {id, kButton, nullptr, kOwnerDraw, BS_OWNERDRAW, WS_TABSTOP, text};
}
Expected Label(int id, const wchar_t* text, DWORD extra = 0) { return {id, kStatic, nullptr, 0, 0, extra, text}; }
Expected EditBox(int id, DWORD extra)
{
    return {id, kEdit, nullptr, 0, 0, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL | extra, nullptr};
}

struct Dialog
{
    int id;
    bool skinned;  // a frame or child of a skinned pair: fixed style, origin and title
    std::vector<Expected> controls;
};

const std::vector<Dialog>& Dialogs()
{
    static const std::vector<Dialog> dialogs = {
        {IDD_PROGRESS_CHILD, true, {Label(IDC_PROGRESS_TEXT, L"Static")}},
        {IDD_PROGRESS_FRAME, true, {}},
        {IDD_SURVEY_CHILD,
         true,
         {OwnerDrawn(IDC_SURVEY_CLOSE, L"关闭"), OwnerDrawn(IDC_SURVEY_SOLVED, L"解决"),
          OwnerDrawn(IDC_SURVEY_UNSOLVED, L"未解决"), OwnerDrawn(IDC_SURVEY_MORE, L"更多方案")}},
        {IDD_SURVEY_FRAME, true, {}},
        {IDD_PROMPT_CHILD,
         true,
         {OwnerDrawn(IDC_PROMPT_LEFT, L"确定"), OwnerDrawn(IDC_PROMPT_RIGHT, L"取消"),
          Label(IDC_PROMPT_TEXT, L"Static", WS_GROUP), OwnerDrawn(IDC_PROMPT_CLOSE, L"关闭")}},
        {IDD_PROMPT_FRAME, true, {}},
        {IDD_AGREEMENT_CHILD,
         true,
         {{IDC_AGREEMENT_TEXT, 0, L"RichEdit20W", 0, 0,
           WS_BORDER | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_READONLY | ES_DISABLENOSCROLL, nullptr}}},
        {IDD_AGREEMENT_FRAME, true, {}},
        {IDD_SELECT_DISK_CHILD,
         true,
         {OwnerDrawn(IDC_SELECT_DISK_OK, L"确定"), OwnerDrawn(IDC_SELECT_DISK_CANCEL, L"取消"),
          OwnerDrawn(IDC_SELECT_DISK_CLOSE, L"关闭")}},
        {IDD_SELECT_DISK_FRAME, true, {}},
        {IDD_SAVE_LOCATION_FRAME, true, {}},
        {IDD_SAVE_LOCATION_CHILD,
         true,
         {OwnerDrawn(IDC_SAVE_LOCATION_OK, L"确定"), OwnerDrawn(IDC_SAVE_LOCATION_CLOSE, L"关闭"),
          EditBox(IDC_SAVE_LOCATION_PATH, ES_READONLY), OwnerDrawn(IDC_SAVE_LOCATION_BROWSE, L"选择"),
          Label(IDC_SAVE_LOCATION_WARNING, L"*密码无法保存在加密磁盘里")}},
        {IDD_KEY_INPUT_CHILD,
         true,
         {OwnerDrawn(IDC_KEY_INPUT_OK, L"确定"), OwnerDrawn(IDC_KEY_INPUT_CLOSE, L"关闭"),
          EditBox(IDC_KEY_INPUT_EDIT, 0), Label(IDC_KEY_INPUT_CAPTION, L"输入此驱动器的恢复密钥")}},
        {IDD_KEY_INPUT_FRAME, true, {}},
        {IDD_TURN_OFF_CHILD,
         true,
         {OwnerDrawn(IDC_TURN_OFF_OK, L"确定"), OwnerDrawn(IDC_TURN_OFF_CANCEL, L"取消"),
          OwnerDrawn(IDC_TURN_OFF_CLOSE, L"关闭")}},
        {IDD_TURN_OFF_FRAME, true, {}},
        {IDD_MAIN,
         false,
         {Label(IDC_MAIN_VERSION, L"1.0.0"),
          OwnerDrawn(IDC_MAIN_CLOSE, L"关闭"),
          OwnerDrawn(IDC_MAIN_MINIMISE, L"最小化"),
          OwnerDrawn(IDC_MAIN_SAVE_KEY, L"保存密钥"),
          OwnerDrawn(IDC_MAIN_UNLOCK, L"解密磁盘"),
          OwnerDrawn(IDC_MAIN_TURN_OFF, L"关闭加密"),
          OwnerDrawn(IDC_MAIN_MORE_TOOLS, L"更多工具"),
          {IDC_MAIN_AGREE, kButton, nullptr, BS_TYPEMASK, BS_AUTOCHECKBOX, WS_TABSTOP, L"同意"},
          Label(IDC_MAIN_AGREEMENT_LINK, L"《Korvane服务工具使用许可协议》"),
          Label(IDC_MAIN_FEEDBACK_LINK, L"反馈问题")}},
        {IDD_SHELL_FRAME, false, {}},
        {IDD_ABOUTBOX, false, {{IDOK, kButton, nullptr, 0, 0, 0, L"确定"}}},
    };
    return dialogs;
}

// A template names a system class either by ordinal or by name, in any letter case.
bool SameClass(const Item& item, const Expected& e)
{
    static const wchar_t* const kOrdinalNames[] = {L"Button", L"Edit", L"Static"};
    const wchar_t* expected = e.className ? e.className : kOrdinalNames[e.classOrdinal - kButton];
    if (item.classOrdinal != 0) return e.classOrdinal == item.classOrdinal;
    return CompareStringOrdinal(item.className.c_str(), -1, expected, -1, TRUE) == CSTR_EQUAL;
}

INT_PTR CALLBACK QuietProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

}  // namespace

TEST_CASE("every dialog template holds its controls in tab order, in 宋体 10 points")
{
    for (const Dialog& dialog : Dialogs()) {
        CAPTURE(dialog.id);
        Template t = ReadTemplate(dialog.id);
        REQUIRE(t.valid);
        CHECK(t.face == kSongTi);
        CHECK(t.pointSize == 10);
        if (dialog.skinned) {
            CHECK(t.style == kSkinnedStyle);
            CHECK(t.exStyle == 0);
            CHECK(t.x == 0);
            CHECK(t.y == 0);
            CHECK(t.title.empty());
        }
        CHECK((t.style & WS_VISIBLE) == 0);  // every window is shown by its owner, when placed

        std::vector<int> ids;
        for (const Item& item : t.items) {
            if (item.id != 0xFFFF && item.id != -1) ids.push_back(item.id);
        }
        std::vector<int> expectedIds;
        for (const Expected& e : dialog.controls) expectedIds.push_back(e.id);
        REQUIRE(ids == expectedIds);

        size_t next = 0;
        for (const Item& item : t.items) {
            if (item.id == 0xFFFF || item.id == -1) continue;
            const Expected& e = dialog.controls[next++];
            CAPTURE(e.id);
            CHECK(SameClass(item, e));
            CHECK((item.style & e.typeMask) == e.type);
            CHECK((item.style & e.extra) == e.extra);
            CHECK((item.style & (WS_CHILD | WS_VISIBLE)) == (WS_CHILD | WS_VISIBLE));
            if (e.text) CHECK(item.text == e.text);
        }
    }
}

TEST_CASE("the main window and the shell frame templates")
{
    Template shell = ReadTemplate(IDD_SHELL_FRAME);
    REQUIRE(shell.valid);
    CHECK((shell.style & WS_POPUP) != 0);
    CHECK((shell.style & WS_SYSMENU) != 0);       // the about entry goes into the system menu
    CHECK((shell.exStyle & WS_EX_LAYERED) == 0);  // the frame turns it on itself
    CHECK((shell.style & WS_CAPTION) == 0);       // the layered picture is all there is to see

    Template main = ReadTemplate(IDD_MAIN);
    REQUIRE(main.valid);
    CHECK((main.style & WS_POPUP) != 0);
    CHECK((main.style & (WS_CAPTION | WS_THICKFRAME)) == 0);  // borderless: the picture is the window

    Template about = ReadTemplate(IDD_ABOUTBOX);
    REQUIRE(about.valid);
    CHECK(about.title == L"关于 TessaroQuorlin");
    bool line = false;
    for (const Item& item : about.items) line = line || item.text == L"TessaroQuorlin，1.0 版";
    CHECK(line);
}

TEST_CASE("every template makes a window whose controls answer to their ids")
{
    // The agreement viewer's rich edit control needs its class registered first.
    HMODULE richEdit = LoadLibraryW(L"riched20.dll");
    REQUIRE(richEdit != nullptr);
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);

    for (const Dialog& dialog : Dialogs()) {
        CAPTURE(dialog.id);
        DWORD size = 0;
        const DLGTEMPLATE* bytes = TemplateBytes(dialog.id, &size);
        REQUIRE(bytes != nullptr);
        HWND window = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), bytes, nullptr, QuietProc, 0);
        REQUIRE(window != nullptr);
        CHECK_FALSE(IsWindowVisible(window));

        // Creation order is tab order: the child windows come in template order.
        std::vector<int> order;
        for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            int id = GetDlgCtrlID(child);
            if (id != 0xFFFF && id != -1 && id != 0) order.push_back(id);
        }
        std::vector<int> expectedIds;
        for (const Expected& e : dialog.controls) expectedIds.push_back(e.id);
        CHECK(order == expectedIds);
        for (const Expected& e : dialog.controls) {
            CAPTURE(e.id);
            CHECK(GetDlgItem(window, e.id) != nullptr);
        }

        // The dialog font is the one the drawn labels copy: 宋体 at 10 points.
        auto font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
        REQUIRE(font != nullptr);
        LOGFONTW logFont{};
        REQUIRE(GetObjectW(font, sizeof logFont, &logFont) == sizeof logFont);
        CHECK(std::wstring(logFont.lfFaceName) == kSongTi);
        CHECK(logFont.lfHeight == -MulDiv(10, dpi, 72));
        DestroyWindow(window);
    }
    FreeLibrary(richEdit);
}
