// The recovery key input and the key file location chooser as the user meets them: real windows,
// the real cursor and keyboard, the system's own Save As dialog on the test bed's drives.
#include <doctest.h>

#include "bitlocker/BitLockerOperator.h"
#include "dialogs/InputDecryptionPassowrdDlg.h"
#include "dialogs/KeyFileLocation.h"
#include "dialogs/PromptDlg.h"
#include "dialogs/SelectSaveDiskDlg.h"
#include "res/resource.h"
#include "tests/testbed/UnixLink.h"
#include "tests/uidriver/SaveAsDialog.h"
#include "tests/uidriver/UiTestSupport.h"

namespace {

VolumeInfoMap MapOf(std::initializer_list<const wchar_t*> names)
{
    VolumeInfoMap map;
    for (const wchar_t* name : names) map[name].strVolume = name;
    return map;
}

RECT InClient(HWND child, int id)
{
    RECT rect = ui::WindowRect(ui::FindControl(child, id));
    const RECT client = ui::ClientRectOnScreen(child);
    OffsetRect(&rect, -client.left, -client.top);
    return rect;
}

struct Placement
{
    int id;
    RECT at100;
    RECT at144;
};

void CheckPlacements(HWND child, float scale, std::initializer_list<Placement> placements)
{
    for (const Placement& p : placements) {
        CAPTURE(p.id);
        const RECT expected = scale > 1.0f ? p.at144 : p.at100;
        const RECT actual = InClient(child, p.id);
        CHECK(actual.left == expected.left);
        CHECK(actual.top == expected.top);
        CHECK(actual.right == expected.right);
        CHECK(actual.bottom == expected.bottom);
    }
}

// The message prompt that a chooser shows, found by its text on the chooser's thread.
HWND WaitForPrompt(DWORD thread, const std::wstring& text, DWORD timeoutMs = ui::kDefaultTimeoutMs)
{
    return ui::WaitForWindow(ui::All({ui::OnThread(thread), ui::IsShown(),
                                      [text](HWND window) {
                                          HWND label = ui::FindControl(window, IDC_PROMPT_TEXT);
                                          return label && ui::WindowText(label) == text;
                                      }}),
                             timeoutMs);
}

// Dismisses the prompt and waits, as a person does, until the whole prompt has gone and the window
// it stood over takes the keys and clicks again.
void DismissPrompt(HWND promptChild, HWND returnsTo)
{
    HWND promptFrame = ui::Owner(promptChild);
    uitest::ClickControl(ui::FindControl(promptChild, IDC_PROMPT_LEFT));
    CHECK(ui::WaitForWindowGone(promptFrame));
    CHECK(ui::WaitForInput(returnsTo));
}

// Esc and Enter on the chooser change nothing.
void CheckKeysIgnored(uitest::CModalRun& run, HWND child)
{
    CHECK(ui::Activate(child));
    ui::PressKey(VK_ESCAPE);
    ui::PressKey(VK_RETURN);
    ui::PumpFor(300);
    CHECK_FALSE(run.Finished());
    CHECK(ui::IsVisible(child));
}

struct SaveRun
{
    VolumeInfoMap map;
    bool giveMap = true;
    float scale = 1.0f;
    std::wstring chosen;

    std::function<INT_PTR()> Body()
    {
        return [this] {
            CSelectSaveDiskDlg chooser;
            chooser.SetScaleFactor(scale);
            if (giveMap) chooser.SetVolumeMap(&map);
            chooser.SetVolumeMap(nullptr);  // ignored: the map given stays
            const INT_PTR result = chooser.DoModal();
            chosen = chooser.GetKeyFilePath();
            return result;
        };
    }
};

std::function<INT_PTR()> KeyInput(std::wstring* key, float scale = 1.0f)
{
    return [key, scale] {
        CInputDecryptionPassowrdDlg input;
        input.SetScaleFactor(scale);
        const INT_PTR result = input.DoModal();
        *key = input.GetRecoveryKey();
        return result;
    };
}

}  // namespace

TEST_CASE("the recovery key input: layout at 1.0 and 1.44, Esc and Enter ignored")
{
    for (float scale : {1.0f, 1.44f}) {
        CAPTURE(scale);
        std::wstring key;
        uitest::CModalRun run(KeyInput(&key, scale));
        HWND child = run.Child();
        REQUIRE(child);
        CheckPlacements(child, scale,
                        {{IDC_KEY_INPUT_CLOSE, {300, 8, 312, 20}, {431, 11, 448, 28}},
                         {IDC_KEY_INPUT_CAPTION, {10, 42, 316, 57}, {14, 60, 454, 81}},
                         {IDC_KEY_INPUT_EDIT, {10, 62, 316, 82}, {14, 89, 454, 117}},
                         {IDC_KEY_INPUT_OK, {135, 116, 190, 140}, {194, 166, 273, 200}}});
        CHECK(ui::WindowText(ui::FindControl(child, IDC_KEY_INPUT_CAPTION)) == L"输入此驱动器的恢复密钥");
        // Enter in the edit field does not confirm.
        ui::ClickWindow(ui::FindControl(child, IDC_KEY_INPUT_EDIT));
        ui::TypeText(L"1");
        CheckKeysIgnored(run, child);
        uitest::ClickControl(ui::FindControl(child, IDC_KEY_INPUT_CLOSE));
        REQUIRE(run.Wait());
        CHECK(run.Result() == IDCANCEL);
    }
}

TEST_CASE("the recovery key input hands on exactly what was typed, and asks when nothing was")
{
    const std::wstring pasted = L"160083-390742-605913-261228-093346-480293-564553-218031";
    for (const std::wstring& typed : {std::wstring(L" "), pasted, std::wstring(L"  1 2\x3000")}) {
        CAPTURE(typed.size());
        std::wstring key;
        uitest::CModalRun run(KeyInput(&key));
        HWND child = run.Child();
        REQUIRE(child);
        HWND ok = ui::FindControl(child, IDC_KEY_INPUT_OK);

        uitest::ClickControl(ok);
        HWND prompt = WaitForPrompt(run.ThreadId(), L"请输入此驱动器的恢复密钥！");
        REQUIRE(prompt);
        DismissPrompt(prompt, child);
        CHECK_FALSE(run.Finished());

        ui::ClickWindow(ui::FindControl(child, IDC_KEY_INPUT_EDIT));
        ui::TypeText(typed);
        uitest::ClickControl(ok);
        REQUIRE(run.Wait());
        CHECK(run.Result() == IDOK);
        CHECK(key == typed);
    }
}

TEST_CASE("the key file location chooser: layout at 1.0 and 1.44, Esc and Enter ignored, the prompts")
{
    for (float scale : {1.0f, 1.44f}) {
        CAPTURE(scale);
        SaveRun save;
        save.scale = scale;
        uitest::CModalRun run(save.Body());
        HWND child = run.Child();
        REQUIRE(child);
        CheckPlacements(child, scale,
                        {{IDC_SAVE_LOCATION_CLOSE, {300, 8, 312, 20}, {431, 11, 448, 28}},
                         {IDC_SAVE_LOCATION_PATH, {10, 52, 263, 72}, {14, 74, 378, 102}},
                         {IDC_SAVE_LOCATION_WARNING, {10, 82, 263, 102}, {14, 118, 378, 146}},
                         {IDC_SAVE_LOCATION_BROWSE, {266, 50, 321, 74}, {382, 72, 461, 106}},
                         {IDC_SAVE_LOCATION_OK, {135, 116, 190, 140}, {194, 166, 273, 200}}});
        HWND path = ui::FindControl(child, IDC_SAVE_LOCATION_PATH);
        CHECK((ui::Style(path) & ES_READONLY) != 0);
        CHECK(ui::WindowText(ui::FindControl(child, IDC_SAVE_LOCATION_WARNING)) == L"*密码无法保存在加密磁盘里");
        CheckKeysIgnored(run, child);

        uitest::ClickControl(ui::FindControl(child, IDC_SAVE_LOCATION_OK));
        HWND prompt = WaitForPrompt(run.ThreadId(), L"请选保存密码位置！");
        REQUIRE(prompt);
        DismissPrompt(prompt, child);
        uitest::ClickControl(ui::FindControl(child, IDC_SAVE_LOCATION_CLOSE));
        REQUIRE(run.Wait());
        CHECK(run.Result() == IDCANCEL);
    }

    SUBCASE("no volume map, and no drive outside the map")
    {
        std::vector<std::wstring> candidates;
        CBitLockerOperator::GetCandidateDrives(&candidates);
        REQUIRE_FALSE(candidates.empty());
        SaveRun everyDriveEncrypted;
        for (const std::wstring& root : candidates) {
            // Lower case: the drive letters of the map are compared without regard to case.
            std::wstring name = root.substr(0, 2);
            name[0] = static_cast<wchar_t>(towlower(name[0]));
            everyDriveEncrypted.map[name].strVolume = name;
        }
        SaveRun noMap;
        noMap.giveMap = false;
        const std::pair<SaveRun*, const wchar_t*> cases[] = {
            {&noMap, L"工具内部错误，请与软件提拱商联系！"},
            {&everyDriveEncrypted, L"您当前所有磁盘为加密磁盘，请连接未加密磁盘！"},
        };
        for (const auto& [save, message] : cases) {
            CAPTURE(std::wstring(message));
            uitest::CModalRun run(save->Body());
            HWND child = run.Child();
            REQUIRE(child);
            uitest::ClickControl(ui::FindControl(child, IDC_SAVE_LOCATION_BROWSE));
            HWND prompt = WaitForPrompt(run.ThreadId(), message);
            REQUIRE(prompt);
            CHECK_FALSE(uitest::WaitForSaveAs(ui::OnThread(run.ThreadId()), 500));  // no Save As dialog came instead
            DismissPrompt(prompt, child);
            CHECK(ui::WindowText(ui::FindControl(child, IDC_SAVE_LOCATION_PATH)).empty());
            ui::Post(run.Frame(), WM_CLOSE);
            REQUIRE(run.Wait());
        }
    }
}

TEST_CASE("the Save As dialog opens on the first unencrypted drive and refuses an encrypted one")
{
    SaveRun save;
    save.map = MapOf({L"C:", L"D:"});
    uitest::CModalRun run(save.Body());
    HWND child = run.Child();
    REQUIRE(child);
    HWND browse = ui::FindControl(child, IDC_SAVE_LOCATION_BROWSE);
    HWND path = ui::FindControl(child, IDC_SAVE_LOCATION_PATH);

    // Proposed: E: (C: and D: are encrypted), the name of that drive, with the extension added.
    uitest::ClickControl(browse);
    HWND saveAs = uitest::WaitForSaveAs(ui::OnThread(run.ThreadId()));
    REQUIRE(saveAs);
    CHECK_FALSE(ui::IsEnabled(child));  // the chooser owns it
    HWND field = uitest::WaitForNameInput(saveAs);
    REQUIRE(field);
    CHECK(ui::WindowText(field) == L"BitLocker恢复密钥E盘");
    ui::ClickWindow(field);  // the cursor leaves the browse button, as in uitest::SaveAs
    ui::PressKey(VK_RETURN);
    CHECK(ui::WaitForWindowGone(saveAs, uitest::kShellTimeoutMs));
    CHECK(ui::PumpUntil([&] { return ui::WindowText(path) == L"E:\\BitLocker恢复密钥E盘.txt"; },
                        uitest::kShellTimeoutMs));

    // A file on an encrypted drive, whatever the case of its letter, is refused; the path stays.
    for (const wchar_t* encrypted : {L"D:\\picked.txt", L"d:\\picked.txt", L"c:\\users\\picked.txt"}) {
        CAPTURE(std::wstring(encrypted));
        // The chooser has the activation back from the Save As dialog or the prompt.
        REQUIRE(ui::WaitForInput(child, nullptr, uitest::kShellTimeoutMs));
        uitest::ClickControl(browse);
        saveAs = uitest::WaitForSaveAs(ui::OnThread(run.ThreadId()));
        REQUIRE(saveAs);
        REQUIRE(uitest::SaveAs(saveAs, encrypted));
        HWND prompt = WaitForPrompt(run.ThreadId(), L"请选择未加密磁盘！", uitest::kShellTimeoutMs);
        REQUIRE(prompt);
        DismissPrompt(prompt, child);
        CHECK(ui::WindowText(path) == L"E:\\BitLocker恢复密钥E盘.txt");
    }

    // An existing file is accepted only after the dialog's own question.
    const std::wstring existing = L"F:\\已有的密钥.txt";
    {
        fx::CKernelHandle file(CreateFileW(existing.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        REQUIRE(file.IsValid());
    }
    uitest::ClickControl(browse);
    saveAs = uitest::WaitForSaveAs(ui::OnThread(run.ThreadId()));
    REQUIRE(saveAs);
    REQUIRE(uitest::SaveAs(saveAs, existing));
    HWND question = ui::WaitForWindow(
        ui::All({ui::OnThread(run.ThreadId()), ui::IsShown(), uitest::IsSystemDialog, ui::OwnedBy(saveAs)}));
    REQUIRE(question);
    REQUIRE(ui::WaitForInput(question, nullptr, uitest::kShellTimeoutMs));
    ui::PressKey(VK_RETURN);  // yes, replace it
    CHECK(ui::PumpUntil([&] { return ui::WindowText(path) == existing; }, uitest::kShellTimeoutMs));

    REQUIRE(ui::WaitForInput(child, nullptr, uitest::kShellTimeoutMs));
    uitest::ClickControl(ui::FindControl(child, IDC_SAVE_LOCATION_OK));
    REQUIRE(run.Wait());
    CHECK(run.Result() == IDOK);
    CHECK(save.chosen == existing);
    DeleteFileW(existing.c_str());
}

TEST_CASE("a path is judged by the volume that holds it, drive letters without regard to case")
{
    uitest::EnsureApplication();
    const VolumeInfoMap map = MapOf({L"C:", L"e:"});
    CHECK(IsOnEncryptedVolume(L"E:\\key.txt", map));
    CHECK(IsOnEncryptedVolume(L"e:\\folder\\key.txt", map));
    CHECK(IsOnEncryptedVolume(L"C:\\", map));
    CHECK_FALSE(IsOnEncryptedVolume(L"F:\\key.txt", map));
    // The folder the file goes into is opened and resolved: a name of a folder on E: is not E:, a
    // link on F: to a folder on E: is, and a folder that cannot be opened is refused.
    const std::wstring tag = std::to_wstring(GetCurrentProcessId());
    const std::wstring onD = L"D:\\e-" + tag;
    const std::wstring onE = L"E:\\target-" + tag;
    REQUIRE(CreateDirectoryW(onD.c_str(), nullptr));
    REQUIRE(CreateDirectoryW(onE.c_str(), nullptr));
    {
        const testing::CUnixLink link(L"F:\\link-" + tag, onE);
        REQUIRE(link.IsLink());
        CHECK_FALSE(IsOnEncryptedVolume(onD + L"\\key.txt", map));
        CHECK(IsOnEncryptedVolume(L"F:\\link-" + tag + L"\\key.txt", map));
        CHECK(IsOnEncryptedVolume(L"F:\\missing-" + tag + L"\\key.txt", map));
    }
    RemoveDirectoryW(onD.c_str());
    RemoveDirectoryW(onE.c_str());
    CHECK(ProposeKeyFileDrive({L"C:\\", L"E:\\", L"F:\\"}, map) == L"F:");
    CHECK(ProposeKeyFileDrive({L"C:\\", L"E:\\"}, map).empty());
    CHECK(ProposeKeyFileDrive({}, map).empty());
    CHECK(ProposedKeyFileName(L"F:") == L"BitLocker恢复密钥F盘");

    // A volume the map names by its GUID path is the same volume as its drive letter.
    wchar_t guid[MAX_PATH] = {};
    if (GetVolumeNameForVolumeMountPointW(L"F:\\", guid, MAX_PATH)) {
        CHECK(IsOnEncryptedVolume(L"F:\\key.txt", MapOf({guid})));
    } else {
        MESSAGE("the test bed names no volume GUID for F:");
    }
}
