#include "bitlocker/ConsoleRunner.h"

#include "bitlocker/TextChunk.h"
#include "framework/base/SystemFolder.h"
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

// The only handles a child may inherit (PROC_THREAD_ATTRIBUTE_HANDLE_LIST): without the list it
// would get every inheritable handle of the program, also those of another thread's command.
class CInheritedHandles
{
public:
    explicit CInheritedHandles(std::vector<HANDLE> handles) : m_handles(std::move(handles))
    {
        SIZE_T size = 0;
        InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
        m_buffer.resize(size);
        if (size == 0 || !InitializeProcThreadAttributeList(List(), 1, 0, &size)) return;
        m_initialized = true;
        m_valid = UpdateProcThreadAttribute(List(), 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, m_handles.data(),
                                            m_handles.size() * sizeof(HANDLE), nullptr, nullptr) != FALSE;
    }
    ~CInheritedHandles()
    {
        if (m_initialized) DeleteProcThreadAttributeList(List());
    }
    CInheritedHandles(const CInheritedHandles&) = delete;
    CInheritedHandles& operator=(const CInheritedHandles&) = delete;

    bool IsValid() const { return m_valid; }
    LPPROC_THREAD_ATTRIBUTE_LIST List() { return reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(m_buffer.data()); }

private:
    std::vector<HANDLE> m_handles;  // the list points into it until the process is created
    std::vector<char> m_buffer;
    bool m_initialized = false;
    bool m_valid = false;
};

// Standard input for the command: the empty NUL device, so that a command that asks for input
// reads end-of-file instead of waiting for good.
fx::CKernelHandle OpenEmptyInput()
{
    SECURITY_ATTRIBUTES inheritable = {sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    return fx::CKernelHandle(CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable,
                                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

// Where a character of the code page may end, from the system's own table of lead bytes: GBK on a
// Chinese Windows, one byte a character on an English one, UTF-8 where the system's code page is
// UTF-8 ("use Unicode UTF-8 for worldwide language support").
CChunkEncoding ChunkEncodingOf(UINT codePage)
{
    if (codePage == CP_UTF8) return CChunkEncoding::Utf8();
    CChunkEncoding encoding = CChunkEncoding::SingleByte();
    CPINFO info = {};
    if (!GetCPInfo(codePage, &info)) return encoding;
    // LeadByte holds up to MAX_LEADBYTES / 2 ranges as pairs of bytes, ended by a pair of zeros.
    for (size_t i = 0; i + 1 < MAX_LEADBYTES && info.LeadByte[i] != 0; i += 2)
        encoding.AddLeadRange(info.LeadByte[i], info.LeadByte[i + 1]);
    return encoding;
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
    const std::wstring interpreter = fx::SystemFilePath(L"cmd.exe");
    return interpreter.empty() ? 0 : RunConsoleCommandWith(interpreter, command, output);
}

int RunConsoleCommandWith(const std::wstring& interpreter, const std::wstring& command, std::wstring* output,
                          UINT codePage)
{
    // The child's current folder, where the interpreter looks for a command first: never the folder
    // the program was started from. With redirection off it is the native System32.
    const std::wstring systemFolder = fx::SystemFolder();
    if (systemFolder.empty()) return 0;

    fx::CKernelHandle readEnd;
    fx::CKernelHandle writeEnd;
    if (!CreateOutputPipe(&readEnd, &writeEnd)) return 0;
    fx::CKernelHandle input = OpenEmptyInput();
    if (!input.IsValid()) return 0;
    CInheritedHandles inherited({writeEnd.Get(), input.Get()});
    if (!inherited.IsValid()) return 0;

    STARTUPINFOEXW startup = {};
    startup.StartupInfo.cb = sizeof startup;
    startup.StartupInfo.hStdInput = input.Get();
    startup.StartupInfo.hStdOutput = writeEnd.Get();
    startup.StartupInfo.hStdError = writeEnd.Get();
    startup.StartupInfo.wShowWindow = SW_HIDE;
    startup.StartupInfo.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
    startup.lpAttributeList = inherited.List();

    // /S: the interpreter strips the outer quotes and runs the command exactly as given.
    std::wstring line = L"\"" + interpreter + L"\" /D /S /C \"" + command + L"\"";
    PROCESS_INFORMATION process = {};
    {
        // Off only while the process is created: with redirection off this thread would also load
        // libraries from the native System32, which a 32-bit program cannot use.
        std::optional<CRedirectionOff> redirection;
        if (IsWow64() == 1 && !redirection.emplace().IsActive()) return 0;
        // No console window of its own, also where a terminal program hosts consoles (Windows
        // Terminal shows a window for every console, whatever the show-window value says).
        if (!CreateProcessW(interpreter.c_str(), line.data(), nullptr, nullptr, TRUE,
                            EXTENDED_STARTUPINFO_PRESENT | CREATE_NO_WINDOW, nullptr, systemFolder.c_str(),
                            &startup.StartupInfo, &process)) {
            return 0;
        }
    }
    fx::CKernelHandle processHandle(process.hProcess);
    fx::CKernelHandle threadHandle(process.hThread);
    // Only the child's copies of the write end remain, so the reads fail once it has exited.
    writeEnd.Reset();
    input.Reset();

    CTextChunker chunker(ChunkEncodingOf(codePage));
    char buffer[kReadBufferSize];
    for (;;) {
        ZeroMemory(buffer, sizeof buffer);
        DWORD read = 0;
        if (!ReadFile(readEnd.Get(), buffer, kReadBufferSize - 1, &read, nullptr)) break;
        output->append(fx::DecodeCodePage(chunker.Push(buffer, read), codePage));
        Sleep(kReadPauseMs);
    }
    output->append(fx::DecodeCodePage(chunker.Flush(), codePage));
    readEnd.Reset();
    WaitForSingleObject(processHandle.Get(), INFINITE);
    return 1;
}
