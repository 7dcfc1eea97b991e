// The owner-drawn list and its header on a plain host dialog: what the screen shows, and what the
// real mouse and keyboard do to rows, check boxes, the focus column and the tree.
#include <doctest.h>

#include "controls/ListCtrlEx.h"
#include "framework/Dialog.h"
#include "framework/ImageList.h"
#include "framework/MessageMap.h"
#include "res/resource.h"
#include "tests/uidriver/ChooserProbe.h"
#include "tests/uidriver/UiTestSupport.h"

#include <algorithm>
#include <atomic>

namespace {

// Host message: runs the std::function<LRESULT()> at lParam on the host's thread.
constexpr UINT WM_TEST_CALL = WM_APP + 1;
constexpr int kFirstListId = 3001;
constexpr int kRowHeight = 30;
constexpr int kIconSize = 16;

struct Column
{
    const wchar_t* caption;
    int format;
    int width;
};

// One list on the host: its look and its rows (each row: the texts of its columns).
struct ListSetup
{
    bool imageList = true;
    bool checkBoxes = false;
    int headerCheckBox = 0;
    DWORD extraStyle = 0;
    int image = -1;  // the rows' image in the small image list
    bool refuseDelete = false;
    std::vector<Column> columns{{L"磁盘分区", LVCFMT_LEFT, 320}};
    std::vector<std::vector<std::wstring>> rows;
    RECT place{10, 10, 360, 250};  // in the host's client area
};

// The list as a derived class sees it: which arrow keys reached its window procedure, and a
// refusal of deletion by key.
class CTestList : public CListCtrlEx
{
public:
    explicit CTestList(bool refuseDelete) : m_bRefuseDelete(refuseDelete) {}
    std::atomic<int> arrowKeysSeen{0};

protected:
    bool OnDeleteItem(CTreeItem*) override { return !m_bRefuseDelete; }
    bool ProcessMessage(fx::Message& m) override
    {
        if (m.message == WM_KEYDOWN && (m.wParam == VK_LEFT || m.wParam == VK_RIGHT)) ++arrowKeysSeen;
        return CListCtrlEx::ProcessMessage(m);
    }

private:
    bool m_bRefuseDelete;
};

// The message prompt's empty frame template as a bare host for lists made at run time.
class CListHost : public fx::CDialog
{
public:
    explicit CListHost(std::vector<ListSetup> setups) : fx::CDialog(IDD_PROMPT_FRAME), m_setups(std::move(setups)) {}

    std::vector<std::unique_ptr<CTestList>> lists;

protected:
    BOOL OnInitDialog() override
    {
        fx::CDialog::OnInitDialog();
        MoveWindow(100, 100, 760, 300);
        for (size_t i = 0; i < m_setups.size(); ++i) AddList(m_setups[i], kFirstListId + static_cast<int>(i));
        return TRUE;
    }

    bool ProcessMessage(fx::Message& m) override
    {
        if (m.message == WM_TEST_CALL) {
            m.result = (*reinterpret_cast<std::function<LRESULT()>*>(m.lParam))();
            return true;
        }
        return fx::CDialog::ProcessMessage(m);
    }

private:
    void AddList(const ListSetup& setup, int id)
    {
        auto list = std::make_unique<CTestList>(setup.refuseDelete);
        list->SetHeaderCheckBox(setup.headerCheckBox);
        list->SetHeaderHeight(kRowHeight);
        list->SetRowHeight(kRowHeight);
        fx::CreateArgs args;
        args.style = WS_CHILD | WS_VISIBLE | setup.extraStyle;
        args.exStyle = WS_EX_CLIENTEDGE;
        args.parent = m_hWnd;
        args.id = id;
        if (!list->Create(args)) return;
        if (setup.imageList) {
            m_images.emplace_back(ImageList_Create(kIconSize, kIconSize, ILC_COLOR32 | ILC_MASK, 1, 1));
            list->SetSmallImageList(m_images.back().Get());
        }
        if (setup.checkBoxes) ListView_SetExtendedListViewStyle(list->GetSafeHwnd(), LVS_EX_CHECKBOXES);
        for (size_t c = 0; c < setup.columns.size(); ++c) {
            const Column& column = setup.columns[c];
            list->InsertColumn(static_cast<int>(c), column.caption, column.format, column.width);
        }
        for (const auto& texts : setup.rows) {
            auto info = std::make_unique<CItemInfo>();
            info->SetItemText(texts.front());
            for (size_t c = 1; c < texts.size(); ++c) info->SetSubItemText(static_cast<int>(c), texts[c]);
            info->SetImage(setup.image);
            list->InsertRootItem(std::move(info));
        }
        const RECT& place = setup.place;
        list->MoveWindow(place.left, place.top, place.right - place.left, place.bottom - place.top);
        lists.push_back(std::move(list));
    }

    std::vector<ListSetup> m_setups;
    std::vector<fx::CImageList> m_images;  // owned: the lists only share them
};

// The host on a UI thread of its own, closed at the end of the test.
struct HostRun
{
    explicit HostRun(std::vector<ListSetup> setups)
        : run([this, setups] {
              CListHost dialog(setups);
              host = &dialog;
              return dialog.DoModal();
          })
    {
        window = run.Dialog();
    }
    ~HostRun()
    {
        ui::Post(window, WM_CLOSE);
        run.Wait();
    }

    HWND List(size_t index = 0) const { return ui::FindControl(window, kFirstListId + static_cast<int>(index)); }
    // Runs `call` with list `index` on the host's thread.
    LRESULT OnUi(const std::function<LRESULT(CTestList&)>& call, size_t index = 0)
    {
        std::function<LRESULT()> bound = [this, &call, index] { return call(*host.load()->lists.at(index)); };
        return ui::Send(window, WM_TEST_CALL, 0, reinterpret_cast<LPARAM>(&bound)).value_or(-99);
    }
    int IsItemChecked(int row, size_t index = 0)
    {
        return static_cast<int>(OnUi([row](CTestList& list) { return list.IsItemChecked(row); }, index));
    }
    int FocusColumn()
    {
        return static_cast<int>(OnUi([](CTestList& list) { return static_cast<LRESULT>(list.GetFocusColumn()); }));
    }
    void Select(int row)
    {
        OnUi([row](CTestList& list) {
            const UINT state = LVIS_SELECTED | LVIS_FOCUSED;
            ListView_SetItemState(list.GetSafeHwnd(), row, state, state);
            return LRESULT{0};
        });
        ui::PumpFor(200);
    }

    std::atomic<CListHost*> host{nullptr};  // not owned: lives on the UI thread's stack
    uitest::CModalRun run;
    HWND window = nullptr;
};

std::vector<std::vector<std::wstring>> Rows(std::initializer_list<const wchar_t*> texts)
{
    std::vector<std::vector<std::wstring>> rows;
    for (const wchar_t* text : texts) rows.push_back({text});
    return rows;
}

std::vector<std::wstring> RowTexts(HWND list)
{
    std::vector<std::wstring> texts;
    for (int row = 0; row < uitest::ListRowCount(list); ++row) texts.push_back(uitest::ListRowText(list, row));
    return texts;
}

RECT SubItemRect(HWND list, int row, int column)
{
    RECT rect{};
    rect.top = column;
    rect.left = LVIR_BOUNDS;
    SendMessageW(list, LVM_GETSUBITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rect));
    MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

ui::Rgb PixelAt(POINT screen)
{
    return uitest::CaptureScreen(RECT{screen.x, screen.y, screen.x + 1, screen.y + 1}).At(0, 0);
}

// A point inside the row, right of any text.
POINT EmptyPartOfRow(HWND list, int row)
{
    const RECT bounds = uitest::ListRowRect(list, row);
    return POINT{bounds.right - 20, (bounds.top + bounds.bottom) / 2};
}

void PressKeyOnList(HWND list, WORD key)
{
    ui::PressKey(key);
    ui::PumpFor(150);
}

}  // namespace

// ---- Text eliding ---------------------------------------------------------------------------

TEST_CASE("eliding keeps texts that fit and cuts the others, within the buffer, ending in ...")
{
    uitest::EnsureApplication();
    fx::CMemoryDC dc(nullptr);
    REQUIRE(dc);
    fx::CSelectObject font(dc.Get(), GetStockObject(DEFAULT_GUI_FONT));
    SIZE one{};
    GetTextExtentPoint32W(dc.Get(), L"M", 1, &one);

    struct Case
    {
        const char* name;
        std::wstring text;
        int width;
        bool elided;
    };
    const std::wstring longText(1000, L'M');
    const Case cases[] = {
        {"empty", L"", 10, false},
        {"fits with room to spare", L"C:", 200, false},
        {"wider than the cell", L"这是一个很长很长很长的磁盘卷名称", 80, true},
        {"longer than the buffer", longText, 100000, true},
        {"narrower than one character", L"ABCDEF", 1, true},
    };
    for (const Case& c : cases) {
        CAPTURE(c.name);
        ListTextBuffer buffer{};
        bool elided = false;
        const wchar_t* shown = ElideText(dc.Get(), c.text.c_str(), c.width, 4, buffer, &elided);
        CHECK(elided == c.elided);
        const std::wstring result(shown);
        CHECK(result.size() < kListTextCapacity);
        if (!c.elided) {
            CHECK(shown == c.text.c_str());
            continue;
        }
        REQUIRE(result.size() >= 4);
        CHECK(result.substr(result.size() - 3) == L"...");
        CHECK(c.text.compare(0, result.size() - 3, result, 0, result.size() - 3) == 0);
        // Cut until it fits, but one character always stays.
        SIZE size{};
        GetTextExtentPoint32W(dc.Get(), shown, static_cast<int>(result.size()), &size);
        CHECK((size.cx + 4 < c.width || result.size() == 4));
    }
}

// ---- Drawing --------------------------------------------------------------------------------

TEST_CASE("rows are drawn only by a list with a small image list")
{
    ListSetup without;
    without.imageList = false;
    without.rows = Rows({L"C:", L"D:"});
    without.place = RECT{10, 10, 360, 250};
    ListSetup with = without;
    with.imageList = true;
    with.place = RECT{380, 10, 730, 250};
    HostRun host({without, with});
    REQUIRE(host.window);
    for (size_t index : {0u, 1u}) {
        host.OnUi(
            [](CTestList& list) {
                ListView_SetItemState(list.GetSafeHwnd(), 1, LVIS_SELECTED, LVIS_SELECTED);
                return LRESULT{0};
            },
            index);
    }
    ui::PumpFor(300);

    // Without the image list: the view's white ground, no text, no selection colour.
    HWND bare = host.List(0);
    CHECK(PixelAt(EmptyPartOfRow(bare, 1)) == ui::Rgb{255, 255, 255});
    CHECK(uitest::DarkSpan(uitest::ListRowRect(bare, 0)).first == -1);
    // With it: the selected row's colour and the row's text.
    HWND drawn = host.List(1);
    CHECK(PixelAt(EmptyPartOfRow(drawn, 1)) == ui::ToRgb(CListCtrlEx::kSelectedColor));
    CHECK(PixelAt(EmptyPartOfRow(drawn, 0)) == ui::ToRgb(CListCtrlEx::kTopLevelColor));
    CHECK(uitest::DarkSpan(uitest::ListRowRect(drawn, 0)).first >= 0);
    // Rows and header are 30 pixels high.
    const RECT first = uitest::ListRowRect(drawn, 0);
    CHECK(first.bottom - first.top == kRowHeight);
    CHECK(first.top - ui::ClientRectOnScreen(drawn).top == kRowHeight);
}

TEST_CASE("a text wider than its cell ends in ... and starts at the left even in a centred column")
{
    ListSetup setup;
    setup.columns = {{L"名称", LVCFMT_LEFT, 120}, {L"状态", LVCFMT_CENTER, 150}};
    const std::wstring longName = L"一个非常非常非常非常长的卷名称";
    std::wstring huge(600, L'W');
    setup.rows = {{longName, L"加密"}, {L"D:", L"仅加密了已用空间，正在解密中，请稍候"}, {huge, huge}};
    HostRun host({setup});
    REQUIRE(host.window);
    HWND list = host.List();
    const int inset = 6;  // (int)((int)(6 * 1.0) * 1.0)

    // A short text is centred in the centred column.
    const RECT shortCell = SubItemRect(list, 0, 1);
    const auto shortSpan = uitest::DarkSpan(shortCell);
    REQUIRE(shortSpan.first >= 0);
    const int leftGap = shortSpan.first;
    const int rightGap = (shortCell.right - shortCell.left) - 1 - shortSpan.second;
    CHECK(std::abs(leftGap - rightGap) <= 3);
    CHECK(leftGap > 40);
    // The cut one starts at the cell's left inset and stays inside the cell.
    const RECT longCell = SubItemRect(list, 1, 1);
    const auto longSpan = uitest::DarkSpan(longCell);
    REQUIRE(longSpan.first >= 0);
    CHECK(longSpan.first >= inset);
    CHECK(longSpan.first <= inset + 3);
    CHECK(longSpan.second < (longCell.right - longCell.left) - inset);
    // The first column's long text stays in its column; texts past the 260-character buffers too.
    for (int row : {0, 2}) {
        const RECT label = uitest::ListRowRect(list, row, LVIR_LABEL);
        const auto span = uitest::DarkSpan(label);
        CHECK(span.first >= 0);
        CHECK(span.second < label.right - label.left);
    }
    CHECK(uitest::ListRowCount(list) == 3);
}

// ---- Check boxes ----------------------------------------------------------------------------

TEST_CASE("new rows are ticked; unticking by mouse or space bar changes view and record alike")
{
    ListSetup setup;
    setup.checkBoxes = true;
    setup.rows = Rows({L"C:", L"D:", L"E:"});
    HostRun host({setup});
    REQUIRE(host.window);
    HWND list = host.List();
    for (int row = 0; row < 3; ++row) {
        CHECK(uitest::ListViewCheck(list, row) == 1);
        CHECK(host.IsItemChecked(row) == 1);
    }

    SUBCASE("by mouse: one click flips the box once")
    {
        uitest::ClickAt(uitest::CenterOfCheckBox(list, 1, 1.0f));
        ui::PumpFor(300);
        CHECK(uitest::ListViewCheck(list, 1) == 0);
        CHECK(host.IsItemChecked(1) == 0);
        CHECK(host.IsItemChecked(0) == 1);
        uitest::ClickAt(uitest::CenterOfCheckBox(list, 1, 1.0f));
        ui::PumpFor(300);
        CHECK(uitest::ListViewCheck(list, 1) == 1);
        CHECK(host.IsItemChecked(1) == 1);
    }
    SUBCASE("by space bar on the selected row")
    {
        uitest::ClickAt(uitest::CenterOfLabel(list, 2));
        REQUIRE(uitest::ListSelectedRow(list) == 2);
        CHECK(uitest::ListViewCheck(list, 2) == 1);  // a click on the text selects, it does not untick
        PressKeyOnList(list, VK_SPACE);
        CHECK(uitest::ListViewCheck(list, 2) == 0);
        CHECK(host.IsItemChecked(2) == 0);
        PressKeyOnList(list, VK_SPACE);
        CHECK(uitest::ListViewCheck(list, 2) == 1);
        CHECK(host.IsItemChecked(2) == 1);
    }
}

TEST_CASE("the header's check-all box ticks every row with one click and unticks them with the next")
{
    ListSetup setup;
    setup.checkBoxes = true;
    setup.headerCheckBox = 1;
    setup.rows = Rows({L"C:", L"D:", L"E:"});
    HostRun host({setup});
    REQUIRE(host.window);
    HWND list = host.List();
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    REQUIRE(header);
    RECT column{};
    SendMessageW(header, HDM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&column));
    RECT box = CHeaderCtrlEx::CheckBoxRect(column, 1.0f);
    MapWindowPoints(header, nullptr, reinterpret_cast<POINT*>(&box), 2);
    const COLORREF ground = RGB(240, 242, 248);
    auto cellShown = [&] {
        const uitest::Pixels shown = uitest::CaptureScreen(box);
        const double unchecked = uitest::MeanDifference(
            shown, uitest::RenderResource(IDB_HEADER_CHECKBOX_STRIP, RECT{0, 0, 16, 16}, 16, 16, ground));
        const double checked = uitest::MeanDifference(
            shown, uitest::RenderResource(IDB_HEADER_CHECKBOX_STRIP, RECT{16, 0, 32, 16}, 16, 16, ground));
        return checked < unchecked ? 1 : 0;
    };
    CHECK(cellShown() == 0);
    // The header's text moves right of the box.
    CHECK(uitest::ListColumnCaption(list, 0) == L"磁盘分区");

    uitest::ClickAt(uitest::CenterOfCheckBox(list, 0, 1.0f));
    REQUIRE(host.IsItemChecked(0) == 0);
    uitest::ClickAt(ui::CenterOf(box));
    ui::PumpFor(300);
    for (int row = 0; row < 3; ++row) {
        CHECK(uitest::ListViewCheck(list, row) == 1);
        CHECK(host.IsItemChecked(row) == 1);
    }
    CHECK(cellShown() == 1);
    uitest::ClickAt(ui::CenterOf(box));
    ui::PumpFor(300);
    for (int row = 0; row < 3; ++row) {
        CHECK(uitest::ListViewCheck(list, row) == 0);
        CHECK(host.IsItemChecked(row) == 0);
    }
    CHECK(cellShown() == 0);
}

// ---- Keyboard -------------------------------------------------------------------------------

TEST_CASE("deleting a row selects the one that moved up, or the one above at the end, or none at the top")
{
    ListSetup setup;
    setup.rows = Rows({L"A", L"B", L"C", L"D"});
    // Beside it a derived list that refuses deletion by key.
    ListSetup refusing = setup;
    refusing.refuseDelete = true;
    refusing.place = RECT{380, 10, 730, 250};
    HostRun host({setup, refusing});
    REQUIRE(host.window);
    HWND list = host.List();
    struct Step
    {
        int select;
        std::vector<std::wstring> after;
        int selectedAfter;
    };
    const Step steps[] = {
        {1, {L"A", L"C", L"D"}, 1},  // the row that moved up into its place
        {2, {L"A", L"C"}, 1},        // the last one: the row above
        {0, {L"C"}, -1},             // the first one: no selection
    };
    for (const Step& step : steps) {
        CAPTURE(step.select);
        uitest::ClickAt(uitest::CenterOfLabel(list, step.select));
        REQUIRE(uitest::ListSelectedRow(list) == step.select);
        PressKeyOnList(list, VK_DELETE);
        CHECK(RowTexts(list) == step.after);
        CHECK(uitest::ListSelectedRow(list) == step.selectedAfter);
        // The records follow the view: renumbered, one per row.
        for (int row = 0; row < uitest::ListRowCount(list); ++row) {
            CHECK(host.OnUi([row](CTestList& l) { return static_cast<LRESULT>(l.GetTreeItem(row)->GetIndex()); }) ==
                  row);
        }
    }
    HWND kept = host.List(1);
    uitest::ClickAt(uitest::CenterOfLabel(kept, 1));
    PressKeyOnList(kept, VK_DELETE);
    CHECK(uitest::ListRowCount(kept) == 4);
}

TEST_CASE("left and right arrow move the focus column and are consumed, at the ends too")
{
    ListSetup setup;
    setup.columns = {{L"一", LVCFMT_LEFT, 200}, {L"二", LVCFMT_LEFT, 200}, {L"三", LVCFMT_LEFT, 400}};
    setup.rows = {{L"A", L"a2", L"a3"}, {L"B", L"b2", L"b3"}};
    HostRun host({setup});
    REQUIRE(host.window);
    HWND list = host.List();
    uitest::ClickAt(uitest::CenterOfLabel(list, 0));
    REQUIRE(uitest::ListSelectedRow(list) == 0);
    auto scrolled = [list] { return GetScrollPos(list, SB_HORZ); };
    struct Step
    {
        WORD key;
        int column;
    };
    const Step steps[] = {{VK_LEFT, 0}, {VK_RIGHT, 1}, {VK_RIGHT, 2}, {VK_RIGHT, 2},
                          {VK_LEFT, 1}, {VK_LEFT, 0},  {VK_LEFT, 0}};
    int previousScroll = scrolled();
    for (const Step& step : steps) {
        CAPTURE(step.column);
        const int before = host.FocusColumn();
        PressKeyOnList(list, step.key);
        CHECK(host.FocusColumn() == step.column);
        // At an end nothing scrolls; the view never sees the key.
        if (before == step.column) CHECK(scrolled() == previousScroll);
        previousScroll = scrolled();
    }
    CHECK(host.host.load()->lists.front()->arrowKeysSeen.load() == 0);
    // Moving to the third column scrolled it into view; moving back to the first scrolled back.
    CHECK(scrolled() == 0);
}

// ---- The tree ---------------------------------------------------------------------------------

namespace {

// Roots A and B with an image (so the tree lines and boxes are drawn); A holds a1 (holding x)
// and a2. Every row is on show: A, a1, x, a2, B.
ListSetup TreeSetup()
{
    ListSetup setup;
    setup.image = 0;
    setup.rows = Rows({L"A", L"B"});
    return setup;
}

void GrowTree(HostRun& host)
{
    host.OnUi([](CTestList& list) {
        CListCtrlEx::CTreeItem* a = list.GetTreeItem(0);
        auto make = [](const wchar_t* text) {
            auto info = std::make_unique<CItemInfo>();
            info->SetItemText(text);
            info->SetImage(0);
            return info;
        };
        CListCtrlEx::CTreeItem* a1 = list.InsertChildItem(a, make(L"a1"));
        list.InsertChildItem(a1, make(L"x"));
        list.InsertChildItem(a, make(L"a2"));
        return LRESULT{0};
    });
    ui::PumpFor(300);
}

// The middle of a row's expand box, as the list places it for a row of `level`.
POINT BoxCentre(HWND list, int row, int level)
{
    const RECT bounds = uitest::ListRowRect(list, row);
    const int iconTop = bounds.bottom - kIconSize - (kRowHeight - kIconSize) / 2;
    return POINT{bounds.left + level * kIconSize - kIconSize / 2, iconTop + kIconSize / 2};
}

using Texts = std::vector<std::wstring>;

}  // namespace

TEST_CASE("children show under their row: striped, joined by lines, with a box that collapses and expands them")
{
    HostRun host({TreeSetup()});
    REQUIRE(host.window);
    HWND list = host.List();
    GrowTree(host);
    REQUIRE(RowTexts(list) == Texts{L"A", L"a1", L"x", L"a2", L"B"});
    // Top-level rows are white; child rows alternate grey and the window colour as they are drawn.
    const ui::Rgb grey = ui::ToRgb(CListCtrlEx::kGreyStripeColor);
    const ui::Rgb window = ui::ToRgb(GetSysColor(COLOR_WINDOW));
    CHECK(PixelAt(EmptyPartOfRow(list, 0)) == ui::Rgb{255, 255, 255});
    CHECK(PixelAt(EmptyPartOfRow(list, 1)) == grey);
    CHECK(PixelAt(EmptyPartOfRow(list, 2)) == window);
    CHECK(PixelAt(EmptyPartOfRow(list, 3)) == grey);

    // A's box: grey outline, a minus while expanded, a plus once collapsed.
    const POINT box = BoxCentre(list, 0, 1);
    const int halfBox = (kIconSize / 2 + 3) / 2;
    CHECK(PixelAt(POINT{box.x - halfBox, box.y}) == ui::Rgb{198, 198, 198});
    CHECK(PixelAt(box) == ui::Rgb{0, 0, 0});
    CHECK(PixelAt(POINT{box.x, box.y - 2}) == ui::Rgb{255, 255, 255});
    // The line from a1 on to its sibling a2 passes x's row.
    CHECK(PixelAt(POINT{BoxCentre(list, 2, 2).x - kIconSize, uitest::ListRowRect(list, 2).top + 2}) ==
          ui::Rgb{192, 192, 192});

    uitest::ClickAt(box);
    CHECK(RowTexts(list) == Texts{L"A", L"B"});
    CHECK(PixelAt(POINT{box.x, box.y - 2}) == ui::Rgb{0, 0, 0});
    uitest::ClickAt(box);
    // Collapsing collapsed the whole subtree: a1's own children stay hidden.
    CHECK(RowTexts(list) == Texts{L"A", L"a1", L"a2", L"B"});
}

TEST_CASE("the numeric pad's keys and a double click expand and collapse the selected row")
{
    HostRun host({TreeSetup()});
    REQUIRE(host.window);
    HWND list = host.List();
    GrowTree(host);
    uitest::ClickAt(uitest::CenterOfLabel(list, 0));
    REQUIRE(uitest::ListSelectedRow(list) == 0);
    struct Step
    {
        WORD key;
        Texts after;
    };
    const Step steps[] = {
        {VK_SUBTRACT, {L"A", L"B"}},
        {VK_ADD, {L"A", L"a1", L"a2", L"B"}},
        {VK_SUBTRACT, {L"A", L"B"}},
        {VK_MULTIPLY, {L"A", L"a1", L"x", L"a2", L"B"}},
    };
    for (const Step& step : steps) {
        CAPTURE(step.key);
        PressKeyOnList(list, step.key);
        CHECK(RowTexts(list) == step.after);
    }

    // A double click on a1's text: selected by the first click, collapsed by the double click.
    const POINT a1 = uitest::CenterOfLabel(list, 1);
    ui::MoveCursor(a1);
    ui::PumpFor(200);
    ui::Click(a1);
    ui::Click(a1);
    ui::PumpFor(300);
    CHECK(RowTexts(list) == Texts{L"A", L"a1", L"a2", L"B"});
    CHECK(uitest::ListSelectedRow(list) == 1);
}

TEST_CASE("an in-place label edit writes the new text into the row's record; a cancelled one changes nothing")
{
    ListSetup setup;
    setup.extraStyle = LVS_EDITLABELS;
    setup.rows = Rows({L"C:", L"D:"});
    HostRun host({setup});
    REQUIRE(host.window);
    HWND list = host.List();
    REQUIRE(ui::Activate(host.window));
    auto recordText = [&host](int row) {
        std::wstring text;
        host.OnUi([row, &text](CTestList& l) {
            text = CListCtrlEx::GetItemInfo(l.GetTreeItem(row))->GetItemText();
            return LRESULT{0};
        });
        return text;
    };
    struct Case
    {
        int row;
        WORD endKey;
        std::wstring expected;
    };
    const Case cases[] = {{0, VK_RETURN, L"系统盘"}, {1, VK_ESCAPE, L"D:"}};
    for (const Case& c : cases) {
        CAPTURE(c.row);
        host.OnUi([&c](CTestList& l) {
            ::SetFocus(l.GetSafeHwnd());
            return reinterpret_cast<LRESULT>(ListView_EditLabel(l.GetSafeHwnd(), c.row));
        });
        ui::PumpFor(200);
        ui::TypeText(L"系统盘");
        PressKeyOnList(list, c.endKey);
        CHECK(recordText(c.row) == c.expected);
        CHECK(uitest::ListRowText(list, c.row) == c.expected);
    }
}
