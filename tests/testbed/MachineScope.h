#pragma once
// Puts a simulated machine in place for the manage-bde stand-in for as long as the scope lives:
// a fresh state file named by QUORLIN_BDE_STATE in this process's environment, which every child
// process (cmd, manage-bde) inherits.
#include "standins/manage-bde/BdeState.h"
#include "tests/testbed/EnvironmentScope.h"

#include <optional>

#include <string>
#include <vector>

namespace bde {

class CMachineScope
{
public:
    explicit CMachineScope(const Machine& machine);
    ~CMachineScope();
    CMachineScope(const CMachineScope&) = delete;
    CMachineScope& operator=(const CMachineScope&) = delete;

    // The machine as the stand-in left it.
    Machine Reload() const;
    // The argument lists of the stand-in's runs, one per run, oldest first.
    std::vector<std::wstring> Journal() const;
    const std::wstring& Path() const { return m_path; }

private:
    std::wstring m_path;
    std::optional<testing::CEnvironmentScope> m_variable;
};

// The two editions the stand-in answers in, with the heading of the recovery password's protector.
struct Edition
{
    bool english;
    const wchar_t* passwordHeading;
};
inline constexpr Edition kEditions[] = {{false, L"数字密码:"}, {true, L"Numerical Password:"}};

// The machine (the default one unless given) answering in the edition.
inline Machine InEdition(bool english, Machine machine = Machine::Default())
{
    machine.english = english;
    return machine;
}

}  // namespace bde
