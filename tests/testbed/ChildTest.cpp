#include "tests/testbed/ChildTest.h"

#include "framework/base/ModulePath.h"
#include "framework/base/TextCodec.h"

namespace testing {

namespace {

constexpr DWORD kChildTimeoutMs = 240000;

}  // namespace

CChildTest::CChildTest(const std::string& name, const std::wstring& programFolder, const std::wstring& currentFolder)
{
    std::wstring program = fx::ModuleFileName(nullptr);
    if (!programFolder.empty()) {
        const std::wstring copy = programFolder + program.substr(program.rfind(L'\\') + 1);
        if (!CopyFileW(program.c_str(), copy.c_str(), FALSE)) return;
        program = copy;
    }
    std::wstring line = L"\"" + program + L"\" --no-skip --test-case=\"" + fx::DecodeCodePage(name, CP_UTF8) +
                        L"\" --out=\"" + (m_reportFolder / L"report.txt") + L"\"";
    STARTUPINFOW startup = {sizeof startup};
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        currentFolder.empty() ? nullptr : currentFolder.c_str(), &startup, &process)) {
        return;
    }
    m_process.Reset(process.hProcess);
    CloseHandle(process.hThread);
}

bool CChildTest::Passed()
{
    if (!m_process.IsValid() || WaitForSingleObject(m_process.Get(), kChildTimeoutMs) != WAIT_OBJECT_0) return false;
    DWORD code = 1;
    GetExitCodeProcess(m_process.Get(), &code);
    return code == 0 && Report().find("Status: SUCCESS!") != std::string::npos;
}

}  // namespace testing
