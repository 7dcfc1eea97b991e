#include "tools/ProgramScreens.h"

#include "res/resource.h"
#include "standins/feedback/FeedbackComponent.h"
#include "tests/testbed/EnvironmentScope.h"
#include "tests/testbed/MachineScope.h"
#include "tests/testbed/ProgramRun.h"
#include "tests/testbed/TempFolder.h"
#include "tests/uidriver/ChooserProbe.h"
#include "tests/uidriver/SaveAsDialog.h"
#include "tests/uidriver/UiTestSupport.h"

#include <cstdio>
#include <functional>

namespace {

bool SaveFrame(HWND frame, const std::wstring& path)
{
    ui::PumpFor(600);
    RECT area = ui::WindowRect(frame);
    InflateRect(&area, 12, 12);
    const bool saved = ui::CScreenCapture(area).SavePng(path);
    std::fwprintf(stdout, L"%ls %ls\n", saved ? L"wrote" : L"FAILED", path.c_str());
    return saved;
}

// The system's Save As dialog over the program: save key, C:, then the key file chooser's browse.
bool ShootSaveAs(uitest::CProgramRun& run, HWND main, const std::wstring& path)
{
    uitest::ClickControl(ui::FindControl(main, IDC_MAIN_SAVE_KEY));
    HWND target = run.WaitForPair(IDC_SELECT_DISK_OK);
    if (!target) return false;
    HWND list = ui::FindControl(target, IDC_SELECT_DISK_LIST);
    uitest::ClickAt(ui::CenterOf(uitest::OutsideRowRect(list, 0)));
    uitest::ClickControl(ui::FindControl(target, IDC_SELECT_DISK_OK));
    HWND location = run.WaitForPair(IDC_SAVE_LOCATION_OK);
    if (!location) return false;
    uitest::ClickControl(ui::FindControl(location, IDC_SAVE_LOCATION_BROWSE));
    HWND saveAs = uitest::WaitForSaveAs(ui::InProcess(run.ProcessId()));
    if (!saveAs || !uitest::WaitForNameInput(saveAs)) return false;
    ui::PumpFor(1500);  // the shell fills its folder view
    RECT area{};
    const RECT frame = ui::WindowRect(run.Frame());
    const RECT dialog = ui::WindowRect(saveAs);
    UnionRect(&area, &frame, &dialog);
    const bool saved = ui::CScreenCapture(area).SavePng(path);
    std::fwprintf(stdout, L"%ls %ls\n", saved ? L"wrote" : L"FAILED", path.c_str());
    ui::PressKey(VK_ESCAPE);
    ui::WaitForWindowGone(saveAs, uitest::kShellTimeoutMs);
    uitest::ClickControl(ui::FindControl(location, IDC_SAVE_LOCATION_CLOSE));
    return ui::WaitForWindowGone(location) && saved;
}

// The main window after the detection, then with the agreement unticked, the link hovered, the
// agreement open, and the about box.
bool ShootMainWindow(const std::wstring& folder)
{
    testing::CTempFolder temp;
    bde::CMachineScope machine(bde::Machine::Default());
    testing::CEnvironmentScope journal(feedback::standin::kJournalVariable, temp / L"feedback.txt");
    uitest::CProgramRun run(temp / L"Quorlin");
    if (!run.Copied() || !run.Start()) return false;
    HWND main = run.MainWindow();
    if (!main || !run.WaitForDetection()) return false;
    HWND frame = run.Frame();
    ui::MoveCursor({5, 5});
    bool ok = SaveFrame(frame, folder + L"\\main.png");

    HWND box = ui::FindControl(main, IDC_MAIN_AGREE);
    uitest::ClickControl(box);
    ui::MoveCursor({5, 5});
    ok &= SaveFrame(frame, folder + L"\\main-unticked.png");
    uitest::ClickControl(box);

    HWND link = ui::FindControl(main, IDC_MAIN_AGREEMENT_LINK);
    ui::MoveCursor(ui::CenterOf(ui::WindowRect(link)));
    ok &= SaveFrame(frame, folder + L"\\main-link-hover.png");
    uitest::ClickControl(link);
    ok &= SaveFrame(frame, folder + L"\\viewer-open.png");
    uitest::ClickControl(ui::FindControl(main, IDC_MAIN_VERSION));  // elsewhere on the window: closes it

    ui::Post(frame, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    HWND about = ui::WaitForWindow(
        ui::All({ui::InProcess(run.ProcessId()), ui::IsShown(), ui::HasTitle(L"关于 TessaroQuorlin")}));
    if (about) {
        ok &= SaveFrame(about, folder + L"\\about.png");
        ui::Post(about, WM_COMMAND, IDOK, 0);
        ui::WaitForWindowGone(about);
    } else {
        ok = false;
    }
    ok &= ShootSaveAs(run, main, folder + L"\\save-as-over-program.png");
    ui::Post(frame, WM_SYSCOMMAND, SC_CLOSE, 0);
    return run.WaitForExit() == 0 && ok;
}

// A prompt the program shows at start-up, from a folder prepared by `prepare`.
bool ShootStartupPrompt(const std::wstring& path, const std::function<void(const std::wstring&)>& prepare)
{
    testing::CTempFolder temp;
    testing::CEnvironmentScope journal(feedback::standin::kJournalVariable, temp / L"feedback.txt");
    uitest::CProgramRun run(temp / L"Quorlin");
    if (!run.Copied()) return false;
    prepare(run.Folder());
    if (!run.Start()) return false;
    HWND prompt = run.WaitForPrompt();
    if (!prompt) return false;
    ui::MoveCursor({5, 5});
    const bool saved = SaveFrame(ui::Owner(prompt), path);
    uitest::CProgramRun::Dismiss(prompt);
    return run.WaitForExit() == 0 && saved;
}

}  // namespace

bool ShootProgram(const std::wstring& folder)
{
    bool ok = ShootMainWindow(folder);
    ok &= ShootStartupPrompt(folder + L"\\startup-init-failed.png", [](const std::wstring& program) {
        DeleteFileW((program + L"\\KorvaneFeedbackInformation.dll").c_str());
    });
    ok &= ShootStartupPrompt(folder + L"\\startup-new-version.png", [](const std::wstring& program) {
        testing::WriteFileBytes(program + L"\\KorvaneFeedbackInformation.ini", "[LatestVersions]\r\n10080=1.0.1\r\n");
    });
    return ok;
}
