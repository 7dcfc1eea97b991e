#include "bitlocker/ConsoleRunner.h"

#include "bitlocker/GbkChunk.h"
#include "framework/base/TextCodec.h"

#include <windows.h>

#include <optional>
#include <vector>

namespace {

constexpr DWORD kReadBufferSize = 4096;
constexpr DWORD kReadPauseMs = 500;  // lets a slow command print more before the next read

using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
IsWow64ProcessFn g_isWow64Process = nullptr;

// Switches WOW64 file-system redirection off for this thread and back on when it goes out of scope,
// so that "cmd" and "manage-bde" are the 64-bit system's own programs.
class CRedirectionOff
{
public:
    CRedirectionOff() { m_active = Wow64DisableWow64FsRedirection(&m_oldValue) == TRUE; }
    ~CRedirectionOff()
    {
        if (m_active) Wow64RevertWow64FsRedirection(m_oldValue);
    }
    CRedirectionOff(const CRedirectionOff&) = delete;
    CRedirectionOff& operator=(const CRedirectionOff&) = delete;
    bool IsActive() const { return m_active; }

private:
    PVOID m_oldValue = nullptr;
    bool m_active = false;
};

void AppendDecoded(const std::string& bytes, std::wstring* output)
{
    output->append(fx::DecodeCodePage(bytes, fx::kCodePageGbk));
}

}  // namespace

int IsWow64()
{
    if (!g_isWow64Process) {
        HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
        if (!kernel) return 0;
        g_isWow64Process =
            reinterpret_cast<IsWow64ProcessFn>(reinterpret_cast<void*>(GetProcAddress(kernel, "IsWow64Process")));
        if (!g_isWow64Process) return 0;
    }
    BOOL wow64 = FALSE;
    return g_isWow64Process(GetCurrentProcess(), &wow64) && wow64 ? 1 : 0;
}

bool CreateOutputPipe(fx::CKernelHandle* readEnd, fx::CKernelHandle* writeEnd)
{
    SECURITY_ATTRIBUTES inheritable = {sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE read = nullptr;
    HANDLE write = nullptr;
    if (!CreatePipe(&read, &write, &inheritable, 0)) return false;
    readEnd->Reset(read);
    writeEnd->Reset(write);
    return SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0) != FALSE;
}

int RunConsoleCommand(std::wstring command, std::wstring* output)
{
    std::optional<CRedirectionOff> redirection;
    if (IsWow64() == 1 && !redirection.emplace().IsActive()) return 0;

    fx::CKernelHandle readEnd;
    fx::CKernelHandle writeEnd;
    if (!CreateOutputPipe(&readEnd, &writeEnd)) return 0;

    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    GetStartupInfoW(&startup);
    startup.hStdOutput = writeEnd.Get();
    startup.hStdError = writeEnd.Get();
    startup.wShowWindow = SW_HIDE;
    startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;

    const std::wstring line = L"cmd /C " + command;
    std::vector<wchar_t> commandLine(line.begin(), line.end());
    commandLine.push_back(L'\0');

    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        return 0;
    }
    fx::CKernelHandle processHandle(process.hProcess);
    fx::CKernelHandle threadHandle(process.hThread);
    // Only the child's copies of the write end remain, so the reads fail once it has exited.
    writeEnd.Reset();

    CGbkChunker chunker;
    char buffer[kReadBufferSize];
    for (;;) {
        ZeroMemory(buffer, sizeof buffer);
        DWORD read = 0;
        if (!ReadFile(readEnd.Get(), buffer, kReadBufferSize - 1, &read, nullptr)) break;
        AppendDecoded(chunker.Push(buffer, read), output);
        Sleep(kReadPauseMs);
    }
    AppendDecoded(chunker.Flush(), output);
    WaitForSingleObject(processHandle.Get(), INFINITE);
    return 1;
}
