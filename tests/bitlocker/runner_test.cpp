#include "bitlocker/ConsoleRunner.h"
#include "framework/base/TextCodec.h"
#include "tests/harness/TempFolder.h"

#include <doctest.h>

#include <string>

using testing::CTempFolder;

namespace {

const wchar_t* kChildVariable = L"QUORLIN_RUNNER_CHILD";

std::wstring Run(const std::wstring& command, int* result = nullptr)
{
    std::wstring output;
    const int r = RunConsoleCommand(command, &output);
    if (result) *result = r;
    return output;
}

// Runs a copy of this test program from `folder` with the given doctest arguments; its exit code.
DWORD RunSelfCopy(const std::wstring& folder, const std::wstring& arguments)
{
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring copy = folder + L"runner_test_copy.exe";
    if (!CopyFileW(self, copy.c_str(), FALSE)) return 0xDEAD;
    std::wstring line = L"\"" + copy + L"\" " + arguments;
    STARTUPINFOW startup = {sizeof startup};
    PROCESS_INFORMATION process = {};
    SetEnvironmentVariableW(kChildVariable, L"1");
    const BOOL started =
        CreateProcessW(copy.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process);
    SetEnvironmentVariableW(kChildVariable, nullptr);
    if (!started) return 0xDEAD;
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0xDEAD;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return code;
}

}  // namespace

TEST_CASE("a command that prints nothing leaves the output as it was")
{
    std::wstring output = L"earlier";
    CHECK(RunConsoleCommand(L"rem nothing", &output) == 1);
    CHECK(output == L"earlier");
}

TEST_CASE("output is appended, decoded from code page 936, with its CR LF line ends")
{
    std::wstring output = L"earlier|";
    CHECK(RunConsoleCommand(L"echo 保护的磁盘卷: 卷 C:", &output) == 1);
    CHECK(output == L"earlier|保护的磁盘卷: 卷 C:\r\n");
}

TEST_CASE("standard error is captured, and a non-zero exit code still counts as run")
{
    int result = 0;
    const std::wstring output = Run(L"(echo 错误: 找不到密钥保护器。 1>&2) & exit /b 3", &result);
    CHECK(result == 1);
    CHECK(output.find(L"错误: 找不到密钥保护器。") != std::wstring::npos);
}

TEST_CASE("output longer than one read arrives whole, with two-byte characters split across reads intact")
{
    CTempFolder folder;
    // Only two-byte characters: any read that ends on an odd byte count splits one of them.
    std::wstring text;
    for (int i = 0; i < 5000; ++i) text += (i % 2) ? L"卷" : L"密";
    text += L"\r\n";
    for (int i = 0; i < 2000; ++i) text += L"码";
    text += L"\r\n";
    const std::string bytes = fx::EncodeCodePage(text, fx::kCodePageGbk);
    REQUIRE(bytes.size() > 3 * 4095);
    REQUIRE(testing::WriteFileBytes(folder / L"big.txt", bytes));

    std::wstring output = L">";
    const DWORD start = GetTickCount();
    REQUIRE(RunConsoleCommand(testing::OwnFolder() + L"write_bytes.exe \"" + folder.Path() + L"big.txt\"", &output) ==
            1);
    CHECK(output == L">" + text);
    // Each read of at most 4095 bytes is followed by a half-second pause.
    CHECK(GetTickCount() - start >= 3 * 500);
}

TEST_CASE("on 64-bit Windows the command runs without file-system redirection, which is restored afterwards")
{
    REQUIRE(IsWow64() == 1);
    // A file created through the redirected view lands in SysWOW64; System32 shows it only while
    // redirection is on.
    wchar_t windows[MAX_PATH] = {};
    GetWindowsDirectoryW(windows, MAX_PATH);
    const std::wstring probe = std::wstring(windows) + L"\\System32\\quorlin_redirection_probe.txt";
    REQUIRE(testing::WriteFileBytes(probe, "probe"));
    REQUIRE(testing::FileExists(std::wstring(windows) + L"\\SysWOW64\\quorlin_redirection_probe.txt"));

    // Without redirection "cmd" is the 64-bit interpreter from the real System32.
    CHECK(Run(L"echo %PROCESSOR_ARCHITECTURE%") == L"AMD64\r\n");
    CHECK(testing::FileExists(probe));  // redirection is on again for this thread
    DeleteFileW(probe.c_str());
}

TEST_CASE("the read end of the pipe is not inherited by the child, the write end is")
{
    fx::CKernelHandle readEnd;
    fx::CKernelHandle writeEnd;
    REQUIRE(CreateOutputPipe(&readEnd, &writeEnd));
    DWORD flags = 0;
    REQUIRE(GetHandleInformation(readEnd.Get(), &flags));
    CHECK((flags & HANDLE_FLAG_INHERIT) == 0);
    REQUIRE(GetHandleInformation(writeEnd.Get(), &flags));
    CHECK((flags & HANDLE_FLAG_INHERIT) != 0);
}

TEST_CASE("an interpreter that cannot be started gives 0 and leaves the output unchanged")
{
    // The program's own folder is searched first for "cmd": a copy of this test next to a "cmd.exe"
    // that is no program cannot start the interpreter.
    CTempFolder folder;
    REQUIRE(testing::WriteFileBytes(folder / L"cmd.exe", "this is not a program"));
    CHECK(RunSelfCopy(folder.Path(), L"--test-case=\"child: start failure\" --no-skip") == 0);
}

TEST_CASE("child: start failure" * doctest::skip())
{
    REQUIRE(GetEnvironmentVariableW(kChildVariable, nullptr, 0) > 0);
    std::wstring output = L"unchanged";
    CHECK(RunConsoleCommand(L"echo should not run", &output) == 0);
    CHECK(output == L"unchanged");
}
