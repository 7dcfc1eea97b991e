#include "tests/testbed/MachineScope.h"

#include <windows.h>

#include <sstream>
#include <stdexcept>

namespace bde {
namespace {

std::wstring NewTemporaryFile()
{
    wchar_t folder[MAX_PATH + 1] = {};
    wchar_t path[MAX_PATH + 1] = {};
    if (GetTempPathW(MAX_PATH + 1, folder) == 0 || GetTempFileNameW(folder, L"bde", 0, path) == 0) {
        throw std::runtime_error("cannot create a temporary state file");
    }
    return path;
}

}  // namespace

CMachineScope::CMachineScope(const Machine& machine) : m_path(NewTemporaryFile())
{
    if (!SaveMachine(m_path, machine)) {
        DeleteFileW(m_path.c_str());
        throw std::runtime_error("cannot write the state file");
    }
    m_variable.emplace(kStateVariable, m_path);
}

CMachineScope::~CMachineScope()
{
    m_variable.reset();
    DeleteFileW(m_path.c_str());
    DeleteFileW((m_path + kJournalSuffix).c_str());
}

Machine CMachineScope::Reload() const
{
    std::wstring text;
    Machine machine;
    int badLine = 0;
    if (!ReadTextFile(m_path, &text) || !ParseMachine(text, &machine, &badLine)) {
        throw std::runtime_error("the state file is unreadable at line " + std::to_string(badLine));
    }
    return machine;
}

std::vector<std::wstring> CMachineScope::Journal() const
{
    std::vector<std::wstring> lines;
    std::wstring text;
    if (!ReadTextFile(m_path + kJournalSuffix, &text)) return lines;
    std::wistringstream stream(text);
    std::wstring line;
    while (std::getline(stream, line)) {
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

}  // namespace bde
