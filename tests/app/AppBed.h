#pragma once
// What the tests of the real program share: a program folder of its own under the temporary
// folder (the program removes it when it is closed), a simulated machine for the manage-bde
// stand-in, and the feedback component's calls journalled instead of opening web pages.
#include "standins/feedback/FeedbackComponent.h"
#include "standins/manage-bde/BdeState.h"
#include "tests/testbed/EnvironmentScope.h"
#include "tests/testbed/MachineScope.h"
#include "tests/testbed/ProgramRun.h"
#include "tests/testbed/TempFolder.h"

#include <string>
#include <vector>

namespace apptest {

class CAppBed
{
public:
    explicit CAppBed(const bde::Machine& machine = bde::Machine::Default())
        : m_machine(machine), m_folder(m_temp / L"Quorlin 工具"),
          m_journal(feedback::standin::kJournalVariable, m_temp / L"feedback.txt"), m_run(m_folder)
    {
    }

    uitest::CProgramRun& Run() { return m_run; }
    const std::wstring& Folder() const { return m_folder; }
    std::wstring ProgramFile() const { return m_folder + L"\\Quorlin.exe"; }
    bde::CMachineScope& Machine() { return m_machine; }
    // The manage-bde commands the program ran, oldest first.
    std::vector<std::wstring> Commands() const { return m_machine.Journal(); }
    // The feedback component's calls, one line each ("name<TAB>argument...").
    std::vector<std::wstring> FeedbackCalls() const;

private:
    testing::CTempFolder m_temp;
    bde::CMachineScope m_machine;
    std::wstring m_folder;
    testing::CEnvironmentScope m_journal;
    uitest::CProgramRun m_run;  // last: it copies the program into the folder
};

// The main window of a started program after its detection has ended without a prompt.
HWND StartAndDetect(CAppBed& bed);

}  // namespace apptest
