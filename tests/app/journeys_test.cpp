// Journeys through the real program from its main window to their result, with real clicks and keys:
// saving a volume's key to a file, unlocking, turning off, giving up at every step, and the survey
// at the end. Each is judged by what the manage-bde stand-in was asked to do.
#include "framework/Scale.h"
#include "framework/base/TextCodec.h"
#include "res/resource.h"
#include "tests/app/AppBed.h"
#include "tests/uidriver/ChooserProbe.h"
#include "tests/testbed/ProcessCapture.h"
#include "tests/uidriver/SaveAsDialog.h"
#include "tests/uidriver/UiDriver.h"
#include "tests/uidriver/UiTestSupport.h"

#include <doctest.h>

#include <algorithm>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

namespace {

using apptest::CAppBed;
using uitest::CProgramRun;

// The choosers list the detected volumes in the order of their names: C: and D: (E: is decrypted).
constexpr int kRowC = 0;
constexpr int kRowD = 1;
constexpr int kDetectedVolumes = 2;

std::wstring RecoveryPassword(const wchar_t* volume)
{
    static const bde::Machine machine = bde::Machine::Default();
    return machine.Find(volume)->FindProtector(bde::Protector::NumericalPassword)->recoveryPassword;
}

// Waits until the pair (its child or its frame) is the foreground window: under Wine a click on a
// window that is still taking over the activation from one that has just gone can be lost.
bool TakesInput(HWND child)
{
    return ui::PumpUntil([&] {
        HWND foreground = GetForegroundWindow();
        return ui::IsEnabled(child) && (foreground == child || foreground == ui::Owner(child));
    });
}

// A started program after its detection, driven from its main window.
class CJourney
{
public:
    explicit CJourney(const bde::Machine& machine = bde::Machine::Default())
        : m_bed(machine), m_main(apptest::StartAndDetect(m_bed)), m_detection(m_bed.Commands())
    {
        CHECK(m_detection == std::vector<std::wstring>{L"-status", L"-protectors -get C:"});
    }

    CAppBed& Bed() { return m_bed; }
    HWND Main() const { return m_main; }
    void Press(int id) { uitest::ClickControl(ui::FindControl(m_main, id)); }

    // The child of the shown pair that holds control `id` (an id no other window of the program has).
    HWND Pair(int id)
    {
        HWND child = m_bed.Run().WaitForPair(id);
        REQUIRE(child);
        REQUIRE(TakesInput(child));
        return child;
    }

    // The commands the stand-in was asked for after the detection.
    std::vector<std::wstring> NewCommands() const
    {
        const std::vector<std::wstring> all = m_bed.Commands();
        REQUIRE(all.size() >= m_detection.size());
        return {all.begin() + static_cast<std::ptrdiff_t>(m_detection.size()), all.end()};
    }

    // The result prompt's text, dismissed; empty when none came within `timeoutMs`.
    std::wstring Result(DWORD timeoutMs = 30000)
    {
        HWND prompt = m_bed.Run().WaitForPrompt(timeoutMs);
        if (!prompt) return {};
        const std::wstring text = CProgramRun::PromptText(prompt);
        // The progress prompt has gone before the result shows, and the result is the main window's.
        CHECK_FALSE(m_bed.Run().WaitForProgress(0));
        CHECK(ui::Owner(ui::Owner(prompt)) == m_main);
        CHECK(TakesInput(prompt));
        CHECK(CProgramRun::Dismiss(prompt));
        return text;
    }

private:
    CAppBed m_bed;
    HWND m_main;
    std::vector<std::wstring> m_detection;
};

// Clicks control `id` of a pair's child; the child.
HWND ClickIn(HWND child, int id)
{
    uitest::ClickControl(ui::FindControl(child, id));
    return child;
}

HWND ListOf(HWND chooser, int listId, int rows = kDetectedVolumes)
{
    HWND list = ui::FindControl(chooser, listId);
    REQUIRE(list);
    REQUIRE(uitest::ListRowCount(list) == rows);
    return list;
}

// In the target chooser, selects the row and confirms.
void ChooseTarget(CJourney& journey, int row)
{
    HWND chooser = journey.Pair(IDC_SELECT_DISK_OK);
    HWND list = ListOf(chooser, IDC_SELECT_DISK_LIST);
    uitest::ClickAt(ui::CenterOf(uitest::OutsideRowRect(list, row)));
    REQUIRE(ui::PumpUntil([&] { return uitest::ListSelectedRow(list) == row; }));
    ClickIn(chooser, IDC_SELECT_DISK_OK);
}

// The turn-off chooser's list, whose rows all start ticked.
HWND TurnOffList(HWND chooser, int rows = kDetectedVolumes)
{
    HWND list = ListOf(chooser, IDC_TURN_OFF_LIST, rows);
    for (int row = 0; row < rows; ++row) CHECK(uitest::ListViewCheck(list, row) == 1);
    return list;
}

// Clicks the row's check box, which clears its tick.
void Untick(HWND list, int row)
{
    uitest::ClickAt(uitest::OutsideCheckBoxPoint(list, row, fx::ScreenScaleFactor()));
    REQUIRE(ui::PumpUntil([&] { return uitest::ListViewCheck(list, row) == 0; }));
}

// In the key input, types the key and confirms.
void EnterKey(CJourney& journey, const std::wstring& key)
{
    HWND input = journey.Pair(IDC_KEY_INPUT_OK);
    ui::ClickWindow(ui::FindControl(input, IDC_KEY_INPUT_EDIT));
    ui::TypeText(key);
    ClickIn(input, IDC_KEY_INPUT_OK);
}

// In the key file chooser, browses and names the file in the Save As dialog; the chooser takes input
// again with the path in its field.
void BrowseTo(CJourney& journey, HWND location, const std::wstring& keyFile)
{
    ClickIn(location, IDC_SAVE_LOCATION_BROWSE);
    HWND saveAs = uitest::WaitForSaveAs(ui::InProcess(journey.Bed().Run().ProcessId()));
    REQUIRE(saveAs);
    REQUIRE(uitest::SaveAs(saveAs, keyFile));
    REQUIRE(ui::WaitForWindowGone(saveAs, uitest::kShellTimeoutMs));
    HWND path = ui::FindControl(location, IDC_SAVE_LOCATION_PATH);
    REQUIRE(ui::PumpUntil([&] { return ui::WindowText(path) == keyFile; }, uitest::kShellTimeoutMs));
    // Under Wine the shell frame, not the chooser that owned the Save As dialog, is active when the
    // dialog has gone: the user clicks into the chooser (its read-only path field) to go on.
    ui::ClickWindow(path);
    REQUIRE(TakesInput(location));
}

// The default machine with E: locked as D: is: three volumes in the choosers.
bde::Machine WithLockedE()
{
    bde::Machine machine = bde::Machine::Default();
    bde::Volume& e = *machine.Find(L"E:");
    e = *machine.Find(L"D:");
    e.name = L"E:";
    return machine;
}

// Every line ends in CR LF: no LF without CR before it, no CR without LF after it.
bool EveryLineEndsInCrLf(const std::string& bytes)
{
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) return false;
        if (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n')) return false;
    }
    return bytes.find("\r\n") != std::string::npos;
}

}  // namespace

TEST_CASE("the key of C: saved through the Save As dialog: on F: the file holds the protector listing, else it fails")
{
    const wchar_t* const saved = L"保存加密磁盘密钥成功！";
    bde::Machine tpmOnly = bde::Machine::Default();
    tpmOnly.Find(L"C:")->protectors.resize(1);
    struct Case
    {
        std::string name;
        bde::Machine machine;
        std::wstring keyFile;
        const wchar_t* result;
    };
    const Case cases[] = {
        {"a new file on F:", bde::Machine::Default(), L"F:\\旅程密钥.txt", saved},
        {"on the nearly full S:", bde::Machine::Default(), L"S:\\旅程密钥.txt", L"保存加密磁盘密钥失败！"},
        {"C: with a TPM alone", tpmOnly, L"F:\\旅程密钥.txt", L"获取磁盘密钥失败！"},
        {"a new file on F:, in English", bde::InEdition(true), L"F:\\旅程密钥.txt", saved},
    };
    for (const Case& c : cases) {
        CAPTURE(c.name);
        DeleteFileW(c.keyFile.c_str());
        CJourney journey(c.machine);
        journey.Press(IDC_MAIN_SAVE_KEY);
        ChooseTarget(journey, kRowC);
        HWND location = journey.Pair(IDC_SAVE_LOCATION_OK);
        BrowseTo(journey, location, c.keyFile);
        ClickIn(location, IDC_SAVE_LOCATION_OK);

        CHECK(journey.Result() == c.result);
        CHECK(journey.NewCommands() == std::vector<std::wstring>{L"-protectors -get C:"});
        if (c.result != saved) {
            CHECK_FALSE(testing::FileExists(c.keyFile));
            continue;
        }
        const std::string bytes = testing::ReadFileBytes(c.keyFile);
        REQUIRE(DeleteFileW(c.keyFile.c_str()));
        // Exactly what manage-bde prints for C:, in code page 936 as it printed it.
        const bde::CapturedRun printed = bde::RunCaptured(L"\"" + bde::StandInPath() + L"\" -protectors -get C:");
        REQUIRE(printed.started);
        CHECK(bytes == printed.output);
        const std::wstring text = fx::DecodeCodePage(bytes, 936);
        CHECK(text.find(bde::kEditions[c.machine.english].passwordHeading) != std::wstring::npos);
        CHECK(text.find(RecoveryPassword(L"C:")) != std::wstring::npos);
        CHECK(EveryLineEndsInCrLf(bytes));
        CHECK(bytes.compare(0, 3, "\xEF\xBB\xBF") != 0);
        CHECK(bytes.compare(0, 2, "\xFF\xFE") != 0);
    }
}

TEST_CASE("unlocking D: with a recovery password: the right one unlocks it, a wrong or malformed one fails")
{
    const std::wstring wrong = L"111111-111111-111111-111111-111111-111111-111111-111111";
    struct Case
    {
        std::string name;
        std::wstring typed;
        const wchar_t* result;
        std::vector<std::wstring> commands;  // after the detection
        bool lockedAfter;
        bool english = false;  // manage-bde answers in the English edition
    };
    const Case cases[] = {
        {"the volume's own, with dashes",
         RecoveryPassword(L"D:"),
         L"解密成功！",
         {L"-unlock D: -RecoveryPassword " + RecoveryPassword(L"D:")},
         false},
        // Well formed (every group a multiple of 11): manage-bde is asked and refuses.
        {"well formed but wrong", wrong, L"解密失败！", {L"-unlock D: -RecoveryPassword " + wrong}, true},
        // Never reaches a command line.
        {"too short", L"111111-111111", L"解密失败！", {}, true},
        {"a group that is no multiple of 11",
         L"123456-111111-111111-111111-111111-111111-111111-111111",
         L"解密失败！",
         {},
         true},
        {"the volume's own, in English",
         RecoveryPassword(L"D:"),
         L"解密成功！",
         {L"-unlock D: -RecoveryPassword " + RecoveryPassword(L"D:")},
         false,
         true},
    };
    for (const Case& c : cases) {
        CAPTURE(c.name);
        CJourney journey(bde::InEdition(c.english));
        journey.Press(IDC_MAIN_UNLOCK);
        ChooseTarget(journey, kRowD);
        EnterKey(journey, c.typed);
        CHECK(journey.Result() == c.result);
        CHECK(journey.NewCommands() == c.commands);
        CHECK(journey.Bed().Machine().Reload().Find(L"D:")->locked == c.lockedAfter);
    }
}

TEST_CASE("turning off the ticked volumes: the locked ones refuse and are named as the ones that failed")
{
    // Slow enough that the progress prompt is still up when the main window is clicked.
    bde::Machine slow = bde::Machine::Default();
    slow.pieces = 2;
    slow.pieceDelayMs = 2000;
    struct Case
    {
        std::string name;
        std::vector<int> untick;
        const wchar_t* result;
        std::vector<std::wstring> commands;  // after the detection
        bde::Machine machine = bde::Machine::Default();
        bool pressDuringProgress = false;
    };
    const Case cases[] = {
        {"both as they start", {}, L"部分加密磁盘关闭成功，关闭失败磁盘分区为D:", {L"-off C:", L"-off D:"}},
        // All turned off: the map is read again for the choosers.
        {"C: alone", {kRowD}, L"关闭加密成功！", {L"-off C:", L"-status"}},
        {"D: alone", {kRowC}, L"关闭加密失败！", {L"-off D:"}},
        {"C:, D: and a locked E:",
         {},
         L"部分加密磁盘关闭成功，关闭失败磁盘分区为D:，E:",
         {L"-off C:", L"-off D:", L"-off E:"},
         WithLockedE()},
        // The progress prompt keeps the main window's buttons from starting a second operation.
        {"both, the save-key button pressed meanwhile",
         {},
         L"部分加密磁盘关闭成功，关闭失败磁盘分区为D:",
         {L"-off C:", L"-off D:"},
         slow,
         true},
        {"C: alone, in English", {kRowD}, L"关闭加密成功！", {L"-off C:", L"-status"}, bde::InEdition(true)},
    };
    for (const Case& c : cases) {
        CAPTURE(c.name);
        CJourney journey(c.machine);
        journey.Press(IDC_MAIN_TURN_OFF);
        HWND chooser = journey.Pair(IDC_TURN_OFF_OK);
        const auto& volumes = c.machine.volumes;
        HWND list = TurnOffList(chooser, static_cast<int>(std::count_if(volumes.begin(), volumes.end(),
                                                                        std::mem_fn(&bde::Volume::HasEncryptedData))));
        for (int row : c.untick) Untick(list, row);
        ClickIn(chooser, IDC_TURN_OFF_OK);
        if (c.pressDuringProgress) {
            REQUIRE(journey.Bed().Run().WaitForProgress());
            CHECK_FALSE(ui::IsEnabled(journey.Main()));
            journey.Press(IDC_MAIN_SAVE_KEY);
        }
        CHECK(journey.Result() == c.result);
        // A click the main window took in would have opened the target chooser before the result.
        CHECK_FALSE(journey.Bed().Run().WaitForPair(IDC_SELECT_DISK_OK, 0));
        CHECK(journey.NewCommands() == c.commands);
        const bde::Machine after = journey.Bed().Machine().Reload();
        const bool cTurnedOff = c.commands.front() == L"-off C:";
        CHECK((after.Find(L"C:")->conversion == bde::Conversion::DecryptionInProgress) == cTurnedOff);
        CHECK(after.Find(L"D:")->locked);
    }
}

TEST_CASE("giving up at any step starts no command and shows no result")
{
    struct Case
    {
        std::string name;
        int action;
        std::function<HWND(CJourney&)> giveUp;  // the chooser it closed
    };
    const Case cases[] = {
        {"the target chooser's close button", IDC_MAIN_SAVE_KEY,
         [](CJourney& j) { return ClickIn(j.Pair(IDC_SELECT_DISK_OK), IDC_SELECT_DISK_CLOSE); }},
        {"the target chooser's cancel button", IDC_MAIN_UNLOCK,
         [](CJourney& j) { return ClickIn(j.Pair(IDC_SELECT_DISK_OK), IDC_SELECT_DISK_CANCEL); }},
        {"the key file chooser's close button", IDC_MAIN_SAVE_KEY,
         [](CJourney& j) {
             ChooseTarget(j, kRowC);
             return ClickIn(j.Pair(IDC_SAVE_LOCATION_OK), IDC_SAVE_LOCATION_CLOSE);
         }},
        // The path chosen before stays, and the chooser takes input again without a click.
        {"the Save As dialog's cancel button, then the key file chooser's close button", IDC_MAIN_SAVE_KEY,
         [](CJourney& j) {
             ChooseTarget(j, kRowC);
             HWND location = j.Pair(IDC_SAVE_LOCATION_OK);
             BrowseTo(j, location, L"F:\\旅程密钥.txt");
             ClickIn(location, IDC_SAVE_LOCATION_BROWSE);
             HWND saveAs = uitest::WaitForSaveAs(ui::InProcess(j.Bed().Run().ProcessId()));
             REQUIRE(saveAs);
             uitest::ClickControl(ui::FindControl(saveAs, IDCANCEL));
             REQUIRE(ui::WaitForWindowGone(saveAs, uitest::kShellTimeoutMs));
             CHECK(TakesInput(location));
             CHECK(ui::WindowText(ui::FindControl(location, IDC_SAVE_LOCATION_PATH)) == L"F:\\旅程密钥.txt");
             return ClickIn(location, IDC_SAVE_LOCATION_CLOSE);
         }},
        {"the key input's close button", IDC_MAIN_UNLOCK,
         [](CJourney& j) {
             ChooseTarget(j, kRowD);
             return ClickIn(j.Pair(IDC_KEY_INPUT_OK), IDC_KEY_INPUT_CLOSE);
         }},
        {"the turn-off chooser's cancel button, after a change", IDC_MAIN_TURN_OFF,
         [](CJourney& j) {
             HWND chooser = j.Pair(IDC_TURN_OFF_OK);
             Untick(TurnOffList(chooser), kRowD);
             return ClickIn(chooser, IDC_TURN_OFF_CANCEL);
         }},
    };
    for (const Case& c : cases) {
        CAPTURE(c.name);
        CJourney journey;
        journey.Press(c.action);
        REQUIRE(ui::WaitForWindowGone(c.giveUp(journey)));
        CHECK(ui::PumpUntil([&] { return ui::IsEnabled(journey.Main()); }));
        CHECK(journey.Result(1500).empty());
        CHECK(journey.NewCommands().empty());
        CHECK(journey.Bed().Run().WaitForExit(0) == STILL_ACTIVE);
    }
}

TEST_CASE("the close button's survey: \"solved\" is recorded with the time, the program ends and removes its folder")
{
    CJourney journey;
    journey.Press(IDC_MAIN_CLOSE);
    HWND survey = journey.Pair(IDC_SURVEY_SOLVED);
    const long long asked = _time64(nullptr);
    ClickIn(survey, IDC_SURVEY_SOLVED);
    CHECK(journey.Bed().Run().WaitForExit() == 0);

    const std::vector<std::wstring> calls = journey.Bed().FeedbackCalls();
    REQUIRE(calls.size() >= 2);
    const std::wstring answer = calls[calls.size() - 2];
    const std::wstring prefix = L"CustomerFeedbackEx\t10080\t1.0.0\t1\t";
    REQUIRE(answer.compare(0, prefix.size(), prefix) == 0);
    const long long answered = std::stoll(answer.substr(prefix.size()));
    CHECK(answered >= asked - 1);
    CHECK(answered <= _time64(nullptr));
    CHECK(calls.back() == L"FeedbackQuestion\t10080\t1.0.0");
    CHECK(journey.NewCommands().empty());
    CHECK(ui::PumpUntil([&] { return !testing::FileExists(journey.Bed().Folder()); }, 15000));
}
