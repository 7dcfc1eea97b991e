#pragma once
// Runs one child test case of the running test program (a case marked doctest::skip) in a process of
// its own: where a test needs another process, another program folder or another current folder.
// The child's doctest report goes to a file, so that its summary never reads as the parent's.
#include "framework/base/KernelHandle.h"
#include "tests/testbed/TempFolder.h"

#include <string>

namespace testing {

class CChildTest
{
public:
    // Starts the case `name`; from a copy of the program in `programFolder` when one is given, in
    // `currentFolder` when one is given. The child inherits this process's environment.
    explicit CChildTest(const std::string& name, const std::wstring& programFolder = L"",
                        const std::wstring& currentFolder = L"");
    CChildTest(const CChildTest&) = delete;
    CChildTest& operator=(const CChildTest&) = delete;

    // Waits for the child; true when it started, ended with exit code 0 and its report says so.
    bool Passed();
    // The child's doctest report, for the parent's failure message.
    std::string Report() const { return ReadFileBytes(m_reportFolder / L"report.txt"); }

private:
    CTempFolder m_reportFolder;
    fx::CKernelHandle m_process;
};

}  // namespace testing
