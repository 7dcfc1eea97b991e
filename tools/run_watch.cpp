// Runs the real program on a machine without a display of its own and reports what it did:
// quorlin_run_watch <program folder> <screenshot.png>. It copies build/dist into the folder,
// starts the program there on the default machine (or the machine QUORLIN_BDE_STATE names), waits
// for the detection, saves a picture of the main window, prints the manage-bde commands and the
// outcome, and closes the program as a user does: the close button, then the survey's close.
#include "res/resource.h"
#include "standins/manage-bde/BdeState.h"
#include "tests/testbed/MachineScope.h"
#include "tests/testbed/ProgramRun.h"
#include "tests/uidriver/UiTestSupport.h"

#include <cstdio>
#include <optional>
#include <string>

namespace {

std::wstring StateFile()
{
    wchar_t value[MAX_PATH] = {};
    return GetEnvironmentVariableW(bde::kStateVariable, value, MAX_PATH) ? value : L"";
}

void PrintJournal(const std::wstring& stateFile)
{
    std::wstring journal;
    bde::ReadTextFile(stateFile + bde::kJournalSuffix, &journal);
    std::fwprintf(stdout, L"manage-bde commands:\n%ls", journal.empty() ? L"  (none)\n" : L"");
    size_t start = 0;
    while (start < journal.size()) {
        size_t end = journal.find(L'\n', start);
        if (end == std::wstring::npos) end = journal.size();
        std::wstring line = journal.substr(start, end - start);
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        if (!line.empty()) std::fwprintf(stdout, L"  manage-bde %ls\n", line.c_str());
        start = end + 1;
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3) {
        std::fwprintf(stderr, L"usage: quorlin_run_watch <program folder> <screenshot.png>\n");
        return 2;
    }
    uitest::EnsureApplication();
    // A machine of our own when none is given, so that the commands are journalled.
    std::optional<bde::CMachineScope> machine;
    if (StateFile().empty()) machine.emplace(bde::Machine::Default());
    const std::wstring stateFile = StateFile();

    uitest::CProgramRun run(argv[1]);
    if (!run.Copied() || !run.Start()) {
        std::fwprintf(stdout, L"cannot copy and start the program in %ls\n", argv[1]);
        return 1;
    }
    HWND main = run.MainWindow();
    if (!main) {
        HWND prompt = run.WaitForPrompt(1000);
        std::fwprintf(stdout, L"no main window; %ls\n",
                      prompt ? (L"the program says: " + uitest::CProgramRun::PromptText(prompt)).c_str()
                             : L"nothing shown");
        return 1;
    }
    const bool detected = run.WaitForDetection();
    ui::PumpFor(500);
    std::wstring outcome = L"no message (the volumes were found)";
    if (HWND prompt = run.WaitForPrompt(1500)) {
        outcome = L"\"" + uitest::CProgramRun::PromptText(prompt) + L"\"";
        uitest::CProgramRun::Dismiss(prompt);
    }
    ui::PumpFor(500);
    RECT area = ui::WindowRect(run.Frame());
    const bool saved = ui::CScreenCapture(area).SavePng(argv[2]);
    std::fwprintf(stdout, L"detection %ls; outcome: %ls\n", detected ? L"finished" : L"did not finish",
                  outcome.c_str());
    PrintJournal(stateFile);

    uitest::ClickControl(ui::FindControl(main, IDC_MAIN_CLOSE));
    if (HWND survey = run.WaitForPair(IDC_SURVEY_CLOSE, 10000))
        uitest::ClickControl(ui::FindControl(survey, IDC_SURVEY_CLOSE));
    else
        std::fwprintf(stdout, L"the survey did not come\n");
    const DWORD code = run.WaitForExit();
    std::fwprintf(stdout, L"closed with the close button and the survey's close: exit code %lu\n", code);
    // The caller names the picture in its own terms (run-tool.sh: the path in the checkout).
    if (!saved) std::fwprintf(stdout, L"FAILED to save %ls\n", argv[2]);
    return saved && detected && code == 0 ? 0 : 1;
}
