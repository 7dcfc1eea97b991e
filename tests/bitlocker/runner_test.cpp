#include "bitlocker/ConsoleRunner.h"
#include "framework/base/SystemFolder.h"
#include "framework/base/TextCodec.h"
#include "tests/testbed/TempFolder.h"

#include <doctest.h>

#include <algorithm>
#include <cwctype>
#include <string>

using testing::CTempFolder;

namespace {

std::wstring Run(const std::wstring& command, int* result = nullptr)
{
    std::wstring output;
    const int r = RunConsoleCommand(command, &output);
    if (result) *result = r;
    return output;
}

std::wstring Lower(std::wstring text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](wchar_t c) { return std::towlower(c); });
    return text;
}

}  // namespace

TEST_CASE("a command that prints nothing leaves the output as it was")
{
    std::wstring output = L"earlier";
    CHECK(RunConsoleCommand(L"rem nothing", &output) == 1);
    CHECK(output == L"earlier");
}

TEST_CASE("output is appended, decoded from the ANSI code page (936 here), with its CR LF line ends")
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

TEST_CASE("output longer than one read arrives whole, with characters of several bytes split across reads intact")
{
    // GBK as on a Chinese Windows; UTF-8 as where the ANSI code page is UTF-8 (Wine's never is, so
    // the code page is given).
    for (const UINT codePage : {fx::kCodePageGbk, static_cast<UINT>(CP_UTF8)}) {
        CAPTURE(codePage);
        CTempFolder folder;
        // Only characters of two (GBK) or three (UTF-8) bytes after one ASCII byte: reads of 4095
        // bytes split one of them.
        std::wstring text = L"a";
        for (int i = 0; i < 5000; ++i) text += (i % 2) ? L"卷" : L"密";
        text += L"\r\n";
        for (int i = 0; i < 2000; ++i) text += L"码";
        text += L"\r\n";
        const std::string bytes = fx::EncodeCodePage(text, codePage);
        REQUIRE(bytes.size() > 3 * 4095);
        REQUIRE(testing::WriteFileBytes(folder / L"big.txt", bytes));

        std::wstring output = L">";
        const DWORD start = GetTickCount();
        const std::wstring command = testing::OwnFolder() + L"write_bytes.exe \"" + folder.Path() + L"big.txt\"";
        REQUIRE(RunConsoleCommandWith(fx::SystemFilePath(L"cmd.exe"), command, &output, codePage) == 1);
        CHECK(output == L">" + text);
        // Each read of at most 4095 bytes is followed by a half-second pause.
        CHECK(GetTickCount() - start >= 3 * 500);
    }
}

TEST_CASE("on 64-bit Windows the command runs without file-system redirection, which is restored afterwards")
{
    if (sizeof(void*) == 8) {  // the 64-bit build has no redirection to turn off
        CHECK(IsWow64() == 0);
        return;
    }
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
    CTempFolder folder;
    REQUIRE(testing::WriteFileBytes(folder / L"cmd.exe", "this is not a program"));
    for (const std::wstring& interpreter : {folder / L"cmd.exe", folder / L"missing.exe"}) {
        std::wstring output = L"unchanged";
        CHECK(RunConsoleCommandWith(interpreter, L"echo should not run", &output) == 0);
        CHECK(output == L"unchanged");
    }
}

TEST_CASE("the command runs with the system folder as its current folder")
{
    CHECK(Lower(Run(L"cd")) == Lower(fx::SystemFolder() + L"\r\n"));
}

TEST_CASE("of the program's handles only the pipe's write end and standard input reach the command")
{
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    fx::CKernelHandle event(CreateEventW(&inheritable, TRUE, FALSE, nullptr));
    REQUIRE(event.IsValid());
    const std::wstring signal = L"\"" + testing::OwnFolder() + L"signal_event.exe\" " +
                                std::to_wstring(reinterpret_cast<ULONG_PTR>(event.Get()));
    Run(signal);
    CHECK(WaitForSingleObject(event.Get(), 0) == WAIT_TIMEOUT);

    // The same program started with every inheritable handle does reach the event.
    std::wstring line = signal;
    STARTUPINFOW startup = {sizeof startup};
    PROCESS_INFORMATION process = {};
    REQUIRE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process));
    fx::CKernelHandle child(process.hProcess);
    fx::CKernelHandle thread(process.hThread);
    WaitForSingleObject(child.Get(), INFINITE);
    CHECK(WaitForSingleObject(event.Get(), 0) == WAIT_OBJECT_0);
}
