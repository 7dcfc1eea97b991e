// The volume choosers as the user meets them: real windows, the real cursor and keyboard, the
// prompt they raise, and what they hand back.
#include <doctest.h>

#include "controls/HeaderCtrlEx.h"
#include "dialogs/CloseEncryptedDiskDlg.h"
#include "dialogs/SelectDiskDlg.h"
#include "res/resource.h"
#include "tests/dialogs/PairGeometry.h"
#include "tests/uidriver/ChooserProbe.h"
#include "tests/uidriver/UiTestSupport.h"

#include <atomic>

namespace {

enum class Chooser
{
    SelectDisk,
    TurnOff,
};

struct ChooserIds
{
    int list;
    int confirm;
    int cancel;
    int close;
};

ChooserIds IdsOf(Chooser chooser)
{
    if (chooser == Chooser::SelectDisk)
        return {IDC_SELECT_DISK_LIST, IDC_SELECT_DISK_OK, IDC_SELECT_DISK_CANCEL, IDC_SELECT_DISK_CLOSE};
    return {IDC_TURN_OFF_LIST, IDC_TURN_OFF_OK, IDC_TURN_OFF_CANCEL, IDC_TURN_OFF_CLOSE};
}

const char* NameOf(Chooser chooser) { return chooser == Chooser::SelectDisk ? "target volume" : "turn-off"; }

const wchar_t* WarningOf(Chooser chooser)
{
    return chooser == Chooser::SelectDisk ? L"请选择磁盘分区！" : L"请选择要关闭加密磁盘！";
}

VolumeInfoMap Volumes(std::initializer_list<const wchar_t*> names)
{
    VolumeInfoMap volumes;
    for (const wchar_t* name : names) {
        volumes[name].strVolume = name;
        volumes[name].strConversionStatus = L"完全加密";
    }
    return volumes;
}

// One chooser run modally on a UI thread of its own over a map of this object; the result is
// read once the run has ended. Whatever is still open at the end is closed, prompt first.
class ChooserRun
{
public:
    ChooserRun(Chooser chooser, VolumeInfoMap volumes, float scale = 1.0f)
        : m_chooser(chooser), m_volumes(std::move(volumes)), m_run([this, scale] { return Body(scale); })
    {
        frame = m_run.Frame();
        child = m_run.Child();
        if (child) list = ui::FindControl(child, IdsOf(m_chooser).list);
    }
    ~ChooserRun()
    {
        if (m_run.Finished()) return;
        if (HWND prompt = Prompt(0)) {
            ui::Post(prompt, WM_CLOSE);
            ui::WaitForWindowGone(prompt);
        }
        ui::Post(frame, WM_CLOSE);
        m_run.Wait();
    }

    HWND Control(int id) const { return ui::FindControl(child, id); }
    void ClickButton(int id) const { uitest::ClickControl(Control(id)); }
    void Confirm() const { ClickButton(IdsOf(m_chooser).confirm); }
    // The message prompt that the chooser raised, waited for.
    HWND Prompt(DWORD timeoutMs = ui::kDefaultTimeoutMs) const
    {
        return uitest::FindPromptOver(m_run.ThreadId(), frame, timeoutMs);
    }
    bool Wait() { return m_run.Wait(); }
    bool Finished() const { return m_run.Finished(); }
    INT_PTR Result() const { return m_run.Result(); }

    HWND frame = nullptr;
    HWND child = nullptr;
    HWND list = nullptr;
    // Read after the run ended.
    std::wstring selectedVolume;
    bool gotVolumes = false;
    std::vector<std::wstring> selectedVolumes{L"X:"};  // GetSelectedVolumes appends to it

private:
    INT_PTR Body(float scale)
    {
        if (m_chooser == Chooser::SelectDisk) {
            CSelectDiskDlg dialog;
            dialog.SetScaleFactor(scale);
            dialog.SetVolumeMap(&m_volumes);
            dialog.SetVolumeMap(nullptr);  // ignored
            const INT_PTR result = dialog.DoModal();
            selectedVolume = dialog.GetSelectedVolume();
            return result;
        }
        CCloseEncryptedDiskDlg dialog;
        dialog.SetScaleFactor(scale);
        dialog.SetVolumeMap(&m_volumes);
        dialog.SetVolumeMap(nullptr);
        const INT_PTR result = dialog.DoModal();
        gotVolumes = dialog.GetSelectedVolumes(selectedVolumes);
        return result;
    }

    Chooser m_chooser;
    const VolumeInfoMap m_volumes;  // lives as long as the run
    uitest::CModalRun m_run;        // last: it starts running at construction
};

RECT InClient(HWND child, HWND control)
{
    RECT rect = ui::WindowRect(control);
    const RECT client = ui::ClientRectOnScreen(child);
    OffsetRect(&rect, -client.left, -client.top);
    return rect;
}

void CheckRect(const RECT& actual, const RECT& expected)
{
    CHECK(actual.left == expected.left);
    CHECK(actual.top == expected.top);
    CHECK(actual.right == expected.right);
    CHECK(actual.bottom == expected.bottom);
}

std::vector<std::wstring> RowTexts(HWND list)
{
    std::vector<std::wstring> texts;
    for (int row = 0; row < uitest::ListRowCount(list); ++row) texts.push_back(uitest::ListRowText(list, row));
    return texts;
}

// The prompt's message, and its confirm button pressed: the prompt goes, the chooser stays.
std::wstring AnswerPrompt(ChooserRun& run)
{
    HWND prompt = run.Prompt();
    if (!prompt) return L"(no prompt)";
    HWND promptChild = ui::WaitForWindow(ui::All({ui::OwnedBy(prompt), ui::IsShown()}));
    ui::PumpFor(300);
    const std::wstring text = ui::WindowText(ui::FindControl(promptChild, IDC_PROMPT_TEXT));
    uitest::ClickControl(ui::FindControl(promptChild, IDC_PROMPT_LEFT));
    ui::WaitForWindowGone(prompt);
    ui::PumpFor(200);
    return text;
}

const Chooser kBothChoosers[] = {Chooser::SelectDisk, Chooser::TurnOff};

}  // namespace

// ---- Layout ---------------------------------------------------------------------------------

TEST_CASE("both choosers lay out their pair and controls at scale 1.0 and 1.44")
{
    struct Case
    {
        float scale;
        SIZE frame;
        RECT inset;
        RECT close, confirm, cancel, list;
        int rowHeight;
        int columnWidth;
    };
    const Case cases[] = {
        {1.0f,
         {370, 240},
         {5, 3, 5, 7},
         {334, 8, 346, 20},
         {113, 200, 168, 224},
         {192, 200, 247, 224},
         {10, 34, 350, 195},
         30,
         320},
        // The child is 518 x 331; each measure is its design value times 1.44, truncated.
        {1.44f,
         {532, 345},
         {7, 4, 7, 10},
         {480, 11, 497, 28},
         {162, 287, 241, 321},
         {276, 287, 355, 321},
         {14, 48, 503, 280},
         43,
         460},
    };
    for (Chooser chooser : kBothChoosers) {
        for (const Case& c : cases) {
            CAPTURE(NameOf(chooser));
            CAPTURE(c.scale);
            ChooserRun run(chooser, Volumes({L"C:"}), c.scale);
            REQUIRE(run.list);
            CheckPairGeometry(run.frame, run.child, c.frame, c.inset);
            const ChooserIds ids = IdsOf(chooser);
            CheckRect(InClient(run.child, run.Control(ids.close)), c.close);
            CheckRect(InClient(run.child, run.Control(ids.confirm)), c.confirm);
            CheckRect(InClient(run.child, run.Control(ids.cancel)), c.cancel);
            CheckRect(InClient(run.child, run.list), c.list);
            // Header and rows are 30 high times the scale; the one column is 320 wide times it.
            const RECT row = uitest::ListRowRect(run.list, 0);
            CHECK(row.bottom - row.top == c.rowHeight);
            CHECK(row.top - ui::ClientRectOnScreen(run.list).top == c.rowHeight);
            CHECK(SendMessageW(run.list, LVM_GETCOLUMNWIDTH, 0, 0) == c.columnWidth);
            CHECK(uitest::ClosestResource(ui::WindowRect(run.Control(ids.confirm)),
                                          {IDB_CONFIRM_NORMAL, IDB_CANCEL_NORMAL}) == IDB_CONFIRM_NORMAL);
            CHECK(uitest::ClosestResource(ui::WindowRect(run.Control(ids.cancel)),
                                          {IDB_CONFIRM_NORMAL, IDB_CANCEL_NORMAL}) == IDB_CANCEL_NORMAL);
        }
    }
}

TEST_CASE("a chooser at 1.44 is dragged by the top 43 pixels of its child")
{
    ChooserRun run(Chooser::SelectDisk, Volumes({L"C:"}), 1.44f);
    REQUIRE(run.child);
    const RECT child = ui::WindowRect(run.child);
    const RECT frameBefore = ui::WindowRect(run.frame);
    ui::Drag(POINT{child.left + 100, child.top + 46}, POINT{child.left + 160, child.top + 106});
    ui::PumpFor(200);
    CHECK(ui::WindowRect(run.frame).left == frameBefore.left);
    ui::Drag(POINT{child.left + 100, child.top + 40}, POINT{child.left + 160, child.top + 100});
    ui::PumpFor(200);
    CHECK(ui::WindowRect(run.frame).left == frameBefore.left + 60);
    CHECK(ui::WindowRect(run.child).left == child.left + 60);
}

// ---- The target volume chooser --------------------------------------------------------------

TEST_CASE("the target volume chooser lists C: above E: under 磁盘分区 and returns the selected E:")
{
    ChooserRun run(Chooser::SelectDisk, Volumes({L"E:", L"C:"}));
    REQUIRE(run.list);
    CHECK(uitest::ListColumnCaption(run.list, 0) == L"磁盘分区");
    CHECK(RowTexts(run.list) == std::vector<std::wstring>{L"C:", L"E:"});
    CHECK(uitest::ListSelectedRow(run.list) == -1);
    // No check boxes: the view has no state images to draw.
    CHECK(SendMessageW(run.list, LVM_GETIMAGELIST, LVSIL_STATE, 0) == 0);

    uitest::ClickAt(uitest::CenterOfLabel(run.list, 1));
    CHECK(uitest::ListSelectedRow(run.list) == 1);
    run.Confirm();
    REQUIRE(run.Wait());
    CHECK(run.Result() == IDOK);
    CHECK(run.selectedVolume == L"E:");
}

TEST_CASE("the target volume chooser warns when no row is selected and stays open")
{
    ChooserRun run(Chooser::SelectDisk, Volumes({L"C:", L"E:"}));
    REQUIRE(run.list);
    run.Confirm();
    CHECK(AnswerPrompt(run) == L"请选择磁盘分区！");
    CHECK_FALSE(run.Finished());
    uitest::ClickAt(uitest::CenterOfLabel(run.list, 0));
    run.Confirm();
    REQUIRE(run.Wait());
    CHECK(run.Result() == IDOK);
    CHECK(run.selectedVolume == L"C:");
}

// ---- The turn-off chooser -------------------------------------------------------------------

TEST_CASE("the turn-off chooser opens with every volume ticked and returns the ticked ones in order")
{
    struct Case
    {
        const char* how;
        bool byMouse;
    };
    for (const Case& c : {Case{"by mouse", true}, Case{"by space bar", false}}) {
        CAPTURE(c.how);
        ChooserRun run(Chooser::TurnOff, Volumes({L"C:", L"D:", L"E:"}));
        REQUIRE(run.list);
        CHECK(RowTexts(run.list) == std::vector<std::wstring>{L"C:", L"D:", L"E:"});
        for (int row = 0; row < 3; ++row) CHECK(uitest::ListViewCheck(run.list, row) == 1);
        if (c.byMouse) {
            uitest::ClickAt(uitest::CenterOfCheckBox(run.list, 1, 1.0f));
        } else {
            uitest::ClickAt(uitest::CenterOfLabel(run.list, 1));
            ui::PressKey(VK_SPACE);
            ui::PumpFor(200);
        }
        CHECK(uitest::ListViewCheck(run.list, 1) == 0);
        run.Confirm();
        REQUIRE(run.Wait());
        CHECK(run.Result() == IDOK);
        CHECK(run.gotVolumes);
        CHECK(run.selectedVolumes == std::vector<std::wstring>{L"X:", L"C:", L"E:"});
    }
}

TEST_CASE("the turn-off chooser with every row unticked warns and stays open with the rows as they are")
{
    ChooserRun run(Chooser::TurnOff, Volumes({L"C:", L"D:"}));
    REQUIRE(run.list);
    for (int row = 0; row < 2; ++row) uitest::ClickAt(uitest::CenterOfCheckBox(run.list, row, 1.0f));
    run.Confirm();
    CHECK(AnswerPrompt(run) == L"请选择要关闭加密磁盘！");
    CHECK_FALSE(run.Finished());
    CHECK(uitest::ListViewCheck(run.list, 0) == 0);
    CHECK(uitest::ListViewCheck(run.list, 1) == 0);
    uitest::ClickAt(uitest::CenterOfCheckBox(run.list, 1, 1.0f));
    run.Confirm();
    REQUIRE(run.Wait());
    CHECK(run.Result() == IDOK);
    CHECK(run.selectedVolumes == std::vector<std::wstring>{L"X:", L"D:"});
}

TEST_CASE("the turn-off chooser's header shows no check-all box")
{
    ChooserRun run(Chooser::TurnOff, Volumes({L"C:", L"D:"}));
    REQUIRE(run.list);
    HWND header = reinterpret_cast<HWND>(SendMessageW(run.list, LVM_GETHEADER, 0, 0));
    REQUIRE(header);
    RECT column{};
    SendMessageW(header, HDM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&column));
    MapWindowPoints(header, nullptr, reinterpret_cast<POINT*>(&column), 2);
    // The caption starts 3 pixels into the column, where the box would be, not 20 as beside one.
    const int firstDark = uitest::DarkSpan(column).first;
    CHECK(firstDark >= 3);
    CHECK(firstDark < 8);
    CHECK(uitest::CaptureScreen(column).At(1, 1) == ui::Rgb{240, 242, 248});
    // Clicking there ticks nothing back.
    uitest::ClickAt(uitest::CenterOfCheckBox(run.list, 0, 1.0f));
    const RECT box = CHeaderCtrlEx::CheckBoxRect(column, 1.0f);
    uitest::ClickAt(ui::CenterOf(box));
    CHECK(uitest::ListViewCheck(run.list, 0) == 0);
}

// ---- Both -----------------------------------------------------------------------------------

TEST_CASE("Escape, Enter and a double click on a row neither confirm nor close a chooser")
{
    for (Chooser chooser : kBothChoosers) {
        CAPTURE(NameOf(chooser));
        ChooserRun run(chooser, Volumes({L"C:", L"D:"}));
        REQUIRE(run.list);
        const POINT row = uitest::CenterOfLabel(run.list, 1);
        ui::MoveCursor(row);
        ui::PumpFor(200);
        ui::Click(row);
        ui::Click(row);
        ui::PumpFor(300);
        CHECK(uitest::ListSelectedRow(run.list) == 1);
        // With the focus on the list, then on the confirm button.
        for (HWND focus : {run.list, run.Control(IdsOf(chooser).confirm)}) {
            ui::Post(run.child, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(focus), TRUE);
            ui::PumpFor(200);
            for (WORD key : {VK_ESCAPE, VK_RETURN}) {
                ui::PressKey(key);
                ui::PumpFor(200);
            }
        }
        CHECK_FALSE(run.Finished());
        CHECK_FALSE(run.Prompt(0));
    }
}

TEST_CASE("cancel and close end a chooser with IDCANCEL and no choice")
{
    for (Chooser chooser : kBothChoosers) {
        for (bool byClose : {false, true}) {
            CAPTURE(NameOf(chooser));
            CAPTURE(byClose);
            ChooserRun run(chooser, Volumes({L"C:"}));
            REQUIRE(run.list);
            uitest::ClickAt(uitest::CenterOfLabel(run.list, 0));
            const ChooserIds ids = IdsOf(chooser);
            run.ClickButton(byClose ? ids.close : ids.cancel);
            REQUIRE(run.Wait());
            CHECK(run.Result() == IDCANCEL);
            CHECK(run.selectedVolume.empty());
            CHECK_FALSE(run.gotVolumes);
            CHECK(run.selectedVolumes == std::vector<std::wstring>{L"X:"});
        }
    }
}

TEST_CASE("with an empty volume map a chooser shows an empty list and warns at every confirm")
{
    for (Chooser chooser : kBothChoosers) {
        CAPTURE(NameOf(chooser));
        ChooserRun run(chooser, VolumeInfoMap{});
        REQUIRE(run.list);
        CHECK(uitest::ListRowCount(run.list) == 0);
        for (int attempt = 0; attempt < 2; ++attempt) {
            run.Confirm();
            CHECK(AnswerPrompt(run) == WarningOf(chooser));
            CHECK_FALSE(run.Finished());
        }
        run.ClickButton(IdsOf(chooser).cancel);
        REQUIRE(run.Wait());
        CHECK(run.Result() == IDCANCEL);
    }
}

TEST_CASE("a row without its volume record is never chosen")
{
    for (Chooser chooser : kBothChoosers) {
        CAPTURE(NameOf(chooser));
        ChooserRun run(chooser, Volumes({L"C:"}));
        REQUIRE(run.list);
        // A row that the chooser did not fill, at the top: the view's own, with no record behind it,
        // selected and ticked.
        std::wstring text = L"Z:";
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_STATE;
        item.pszText = text.data();
        item.state = LVIS_SELECTED | LVIS_FOCUSED | INDEXTOSTATEIMAGEMASK(2);
        item.stateMask = item.state;
        REQUIRE(SendMessageW(run.list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)) == 0);
        ui::PumpFor(300);
        REQUIRE(RowTexts(run.list) == std::vector<std::wstring>{L"Z:", L"C:"});
        REQUIRE(uitest::ListSelectedRow(run.list) == 0);
        run.Confirm();
        if (chooser == Chooser::SelectDisk) {
            CHECK(AnswerPrompt(run) == WarningOf(chooser));
            CHECK_FALSE(run.Finished());
        } else {
            REQUIRE(run.Wait());
            CHECK(run.Result() == IDOK);
            CHECK(run.selectedVolumes == std::vector<std::wstring>{L"X:", L"C:"});
        }
        // Either way the chooser goes with the foreign row still above its own.
    }
}

TEST_CASE("a chooser's warning is a confirm-only prompt at the chooser's scale")
{
    ChooserRun run(Chooser::TurnOff, VolumeInfoMap{}, 1.44f);
    REQUIRE(run.list);
    run.Confirm();
    HWND prompt = run.Prompt();
    REQUIRE(prompt);
    CHECK(ui::SizeOf(ui::WindowRect(prompt)).cx == 483);  // 336 x 1.44
    CHECK(ui::SizeOf(ui::WindowRect(prompt)).cy == 224);  // 156 x 1.44
    HWND promptChild = ui::WaitForWindow(ui::All({ui::OwnedBy(prompt), ui::IsShown()}));
    REQUIRE(promptChild);
    CHECK(ui::IsVisible(ui::FindControl(promptChild, IDC_PROMPT_LEFT)));
    CHECK_FALSE(ui::IsVisible(ui::FindControl(promptChild, IDC_PROMPT_RIGHT)));
    // The chooser waits behind it.
    CHECK_FALSE(ui::IsEnabled(run.child));
    CHECK(AnswerPrompt(run) == L"请选择要关闭加密磁盘！");
    CHECK(ui::IsEnabled(run.child));
}
