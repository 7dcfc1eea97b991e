#include "framework/base/KernelHandle.h"
#include "framework/base/TextCodec.h"
#include "log/Log.h"
#include "tests/testbed/AclCheck.h"
#include "tests/testbed/ChildTest.h"
#include "tests/testbed/EnvironmentScope.h"
#include "tests/testbed/TempFolder.h"
#include "tests/testbed/UnixLink.h"

#include <doctest.h>

#include <sddl.h>

#include <memory>
#include <regex>
#include <thread>
#include <vector>

using testing::CTempFolder;
using testing::FileExists;
using testing::ReadFileBytes;
using testing::WriteFileBytes;

namespace {

const std::regex kStamp(R"(\[\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2} \d{3}ms\]   )");
constexpr size_t kStampLength = 30;

std::string Gbk(const std::wstring& text) { return fx::EncodeCodePage(text, fx::kCodePageGbk); }

std::vector<std::string> Lines(const std::string& bytes)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(bytes.substr(start, end - start));
    }
    return lines;
}

// Records of the processes of the concurrency test: "进程 <process> 记录 <record>".
constexpr wchar_t kChildFolderVariable[] = L"QUORLIN_LOG_TEST_FOLDER";
constexpr wchar_t kChildIndexVariable[] = L"QUORLIN_LOG_TEST_CHILD";
constexpr int kProcesses = 3;
constexpr int kRecordsPerProcess = 3000;

std::wstring Variable(const wchar_t* name)
{
    wchar_t value[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(name, value, MAX_PATH);
    return length < MAX_PATH ? value : L"";
}

// Checks that the lines are whole records of the given writers ("<writer> <n> 记录 <r>"), each
// writer's in its own order, and returns how many each wrote.
std::vector<int> CheckRecords(const std::vector<std::string>& lines, const wchar_t* writer, int writers)
{
    std::vector<int> counts(writers, 0);
    const std::wstring format = std::wstring(writer) + L" %d 记录 %d%n";
    for (const std::string& line : lines) {
        REQUIRE(std::regex_match(line.substr(0, kStampLength), kStamp));
        const std::wstring text = fx::DecodeCodePage(line.substr(kStampLength), fx::kCodePageGbk);
        int w = -1;
        int r = -1;
        int end = 0;
        REQUIRE(swscanf(text.c_str(), format.c_str(), &w, &r, &end) == 2);
        REQUIRE(static_cast<size_t>(end) == text.size());
        REQUIRE(w >= 0);
        REQUIRE(w < writers);
        CHECK(r == counts[w]++);
    }
    return counts;
}

bool PrintSwitchFor(const char* iniText)
{
    CTempFolder folder;
    if (iniText) WriteFileBytes(folder / L"logCfg.ini", iniText);
    return CLogSave(folder.Path()).IsPrintOn();
}

}  // namespace

TEST_CASE("the print switch of logCfg.ini")
{
    CHECK_FALSE(PrintSwitchFor(nullptr));
    CHECK(PrintSwitchFor("[Log]\r\nprint=1\r\n"));
    CHECK(PrintSwitchFor("[Log]\r\nprint= 1 \r\n"));
    CHECK(PrintSwitchFor("[Log]\r\nprint=1x\r\n"));
    CHECK_FALSE(PrintSwitchFor("[Log]\r\nprint=2\r\n"));
    CHECK_FALSE(PrintSwitchFor("[Log]\r\nprint=0\r\n"));
    CHECK_FALSE(PrintSwitchFor("[Log]\r\nprint=\r\n"));
    CHECK_FALSE(PrintSwitchFor("[Log]\r\nprint=x1\r\n"));
    CHECK_FALSE(PrintSwitchFor("[Other]\r\nprint=1\r\n"));
}

TEST_CASE("records are written when always is set, or when printing is on")
{
    CTempFolder folder;
    CLogSave log(folder.Path());
    REQUIRE_FALSE(log.IsPrintOn());
    const std::wstring logFile = folder / L"ToolLog\\Quorlin.txt";
    log.Write("skipped", kLogFileName, false);
    CHECK_FALSE(FileExists(logFile));
    log.Write("kept", kLogFileName, true);
    CHECK(Lines(ReadFileBytes(logFile)).size() == 1);

    CTempFolder printing;
    WriteFileBytes(printing / L"logCfg.ini", "[Log]\r\nprint=1\r\n");
    CLogSave printLog(printing.Path());
    printLog.Write("printed", kLogFileName, false);
    CHECK(Lines(ReadFileBytes(printing / L"ToolLog\\Quorlin.txt")).size() == 1);
}

TEST_CASE("the first record creates ToolLog and the file; the record is a time stamp and GBK text")
{
    CTempFolder folder;
    CLogSave log(folder.Path());
    CHECK(log.LogDir() == folder.Path() + L"ToolLog\\");
    CHECK(FileExists(folder / L"ToolLog"));
    log.Write(Gbk(L"解密失败"), kLogFileName, true);
    log.Write(Gbk(L"磁盘为预加密"), kLogFileName, true);

    const std::string bytes = ReadFileBytes(folder / L"ToolLog\\Quorlin.txt");
    const std::vector<std::string> lines = Lines(bytes);
    REQUIRE(lines.size() == 2);
    CHECK(bytes.size() == 2 * (kStampLength + 2) + 8 + 12);  // GBK: two bytes per character, no BOM
    CHECK(std::regex_match(lines[0].substr(0, kStampLength), kStamp));
    CHECK(lines[0].substr(kStampLength) == "\xBD\xE2\xC3\xDC\xCA\xA7\xB0\xDC");  // 解密失败
    CHECK(lines[1].substr(kStampLength) == Gbk(L"磁盘为预加密"));
}

TEST_CASE("hex records")
{
    CTempFolder folder;
    CLogSaveCloseFile writer(folder.Path());
    const unsigned char bytes[] = {0x01, 0xAB, 0xFF};
    writer.WriteHex(bytes, 3, "hex.txt");
    const std::vector<std::string> lines = Lines(ReadFileBytes(folder / L"hex.txt"));
    REQUIRE(lines.size() == 1);
    CHECK(lines[0].substr(kStampLength) == "01 AB FF ");
}

TEST_CASE("rotation: the record that crosses the limit is the last one in the backup")
{
    CTempFolder folder;
    CLogSave log(folder.Path());
    const std::wstring logFile = folder / L"ToolLog\\Quorlin.txt";
    const std::wstring backup = logFile + L"bak";
    WriteFileBytes(backup, "an older backup\r\n");

    const std::string message = "crossing";
    const size_t recordSize = kStampLength + message.size() + 2;
    // A record that ends exactly at the limit does not rotate.
    WriteFileBytes(logFile, std::string(kLogRotateSize - recordSize, 'x'));
    log.Write(message, kLogFileName, true);
    CHECK(ReadFileBytes(logFile).size() == kLogRotateSize);
    CHECK(ReadFileBytes(backup) == "an older backup\r\n");

    // One byte more, and the file is moved aside after the record.
    log.Write(message, kLogFileName, true);
    CHECK_FALSE(FileExists(logFile));
    const std::string moved = ReadFileBytes(backup);
    CHECK(moved.size() == kLogRotateSize + recordSize);
    CHECK(moved.substr(moved.size() - message.size() - 2) == message + "\r\n");

    log.Write("fresh", kLogFileName, true);
    const std::vector<std::string> lines = Lines(ReadFileBytes(logFile));
    REQUIRE(lines.size() == 1);
    CHECK(lines[0].substr(kStampLength) == "fresh");
}

TEST_CASE("several threads writing at once lose no record")
{
    CTempFolder folder;
    CLogSave log(folder.Path());
    constexpr int kThreads = 8;
    constexpr int kRecords = 60;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&log, t] {
            for (int r = 0; r < kRecords; ++r) {
                log.Write(Gbk(L"线程 " + std::to_wstring(t) + L" 记录 " + std::to_wstring(r)), kLogFileName, true);
            }
        });
    }
    for (auto& thread : threads) thread.join();

    const std::vector<std::string> lines = Lines(ReadFileBytes(folder / L"ToolLog\\Quorlin.txt"));
    REQUIRE(lines.size() == kThreads * kRecords);
    CHECK(CheckRecords(lines, L"线程", kThreads) == std::vector<int>(kThreads, kRecords));
}

TEST_CASE("three processes writing 3,000 records each, with a rotation among them, keep all 9,000 whole")
{
    CTempFolder folder;
    REQUIRE(CLogSave(folder.Path()).IsLogging());
    // A log close to the limit, so that one of the writers moves it aside halfway through.
    const std::wstring logFile = folder / L"ToolLog\\Quorlin.txt";
    const std::string earlier = std::string(kLogRotateSize - 200000, 'x') + "\r\n";
    REQUIRE(WriteFileBytes(logFile, earlier));

    const testing::CEnvironmentScope childFolder(kChildFolderVariable, folder.Path());
    std::vector<std::unique_ptr<testing::CChildTest>> children;
    for (int p = 0; p < kProcesses; ++p) {
        const testing::CEnvironmentScope childIndex(kChildIndexVariable, std::to_wstring(p));
        children.push_back(std::make_unique<testing::CChildTest>("child: 3000 records"));
    }
    for (auto& child : children) {
        const bool passed = child->Passed();
        const std::string report = child->Report();
        CAPTURE(report);
        CHECK(passed);
    }

    std::vector<std::string> backup = Lines(ReadFileBytes(logFile + L"bak"));
    const std::vector<std::string> current = Lines(ReadFileBytes(logFile));
    REQUIRE_FALSE(backup.empty());
    CHECK(backup.front() == earlier.substr(0, earlier.size() - 2));
    backup.erase(backup.begin());
    CHECK(backup.size() + current.size() == kProcesses * kRecordsPerProcess);
    std::vector<std::string> all = backup;
    all.insert(all.end(), current.begin(), current.end());
    CHECK(CheckRecords(all, L"进程", kProcesses) == std::vector<int>(kProcesses, kRecordsPerProcess));
}

TEST_CASE("child: 3000 records" * doctest::skip())
{
    const std::wstring folder = Variable(kChildFolderVariable);
    const std::wstring index = Variable(kChildIndexVariable);
    REQUIRE_FALSE(folder.empty());
    CLogSave log(folder);
    REQUIRE(log.IsLogging());
    for (int r = 0; r < kRecordsPerProcess; ++r) {
        log.Write(Gbk(L"进程 " + index + L" 记录 " + std::to_wstring(r)), kLogFileName, true);
    }
}

TEST_CASE("a ToolLog that is a symbolic link is refused, also when it becomes one later: nothing is logged")
{
    CTempFolder folder;
    const std::wstring elsewhere = folder / L"elsewhere";
    REQUIRE(CreateDirectoryW(elsewhere.c_str(), nullptr));
    const testing::CUnixLink link(folder / L"ToolLog", elsewhere);
    REQUIRE(link.IsLink());
    CLogSave linked(folder.Path());
    CHECK_FALSE(linked.IsLogging());
    linked.Write("redirected", kLogFileName, true);
    CHECK_FALSE(FileExists(elsewhere + L"\\Quorlin.txt"));

    CTempFolder later;
    CLogSave log(later.Path());
    REQUIRE(log.IsLogging());
    REQUIRE(MoveFileW((later / L"ToolLog").c_str(), (later / L"moved").c_str()));
    const testing::CUnixLink swapped(later / L"ToolLog", elsewhere);
    REQUIRE(swapped.IsLink());
    log.Write("redirected", kLogFileName, true);
    CHECK_FALSE(FileExists(elsewhere + L"\\Quorlin.txt"));
}

TEST_CASE("a ToolLog that somebody else may change is not used: nothing is logged")
{
    CTempFolder folder;
    const std::wstring toolLog = folder / L"ToolLog";
    REQUIRE(CreateDirectoryW(toolLog.c_str(), nullptr));
    // Wine keeps no ACLs: a folder that every Unix user may write shows as one that Everyone may change.
    const std::wstring before = testing::DaclText(toolLog);
    REQUIRE(testing::RunUnix(L"/bin/chmod", L"777 \"" + testing::UnixName(toolLog) + L"\"",
                             [&] { return testing::DaclText(toolLog) != before; }));
    CLogSave log(folder.Path());
    CHECK_FALSE(log.IsLogging());
    log.Write("planted", kLogFileName, true);
    CHECK_FALSE(FileExists(toolLog + L"\\Quorlin.txt"));
}

TEST_CASE("a log mutex that somebody else made first means nothing is logged, without waiting for it")
{
    CTempFolder folder;
    const std::wstring name = L"Global\\QuorlinToolLogTest" + std::to_wstring(GetCurrentProcessId());
    PSECURITY_DESCRIPTOR everyone = nullptr;
    REQUIRE(
        ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(A;;GA;;;WD)", SDDL_REVISION_1, &everyone, nullptr));
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, everyone, FALSE};
    const fx::CKernelHandle squatter(CreateMutexW(&attributes, FALSE, name.c_str()));
    LocalFree(everyone);
    REQUIRE(squatter.IsValid());
    CLogSave log(folder.Path(), name);
    CHECK_FALSE(log.IsLogging());
    log.Write("stalled", kLogFileName, true);
    CHECK_FALSE(FileExists(folder / L"ToolLog\\Quorlin.txt"));
}

TEST_CASE("a record is written while another program holds the log open without sharing delete")
{
    CTempFolder folder;
    CLogSave log(folder.Path());
    const std::wstring logFile = folder / L"ToolLog\\Quorlin.txt";
    log.Write("first", kLogFileName, true);
    const fx::CKernelHandle viewer(CreateFileW(logFile.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                               nullptr, OPEN_EXISTING, 0, nullptr));
    REQUIRE(viewer.IsValid());
    log.Write("second", kLogFileName, true);
    CHECK(Lines(ReadFileBytes(logFile)).size() == 2);
}

TEST_CASE("a log file with a second name (a hard link) is refused and the other file stays as it was")
{
    CTempFolder folder;
    CLogSave log(folder.Path());
    REQUIRE(log.IsLogging());
    const std::wstring other = folder / L"other.txt";
    REQUIRE(WriteFileBytes(other, "not a log\r\n"));
    REQUIRE(CreateHardLinkW((folder / L"ToolLog\\Quorlin.txt").c_str(), other.c_str(), nullptr));
    log.Write("redirected", kLogFileName, true);
    CHECK(ReadFileBytes(other) == "not a log\r\n");
}

TEST_CASE("without the common application-data folder nothing is logged, not even into a relative ToolLog")
{
    CTempFolder current;
    wchar_t previous[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, previous);
    REQUIRE(SetCurrentDirectoryW(current.Path().c_str()));
    CLogSave log(L"");
    log.Write("nowhere", kLogFileName, true);
    SetCurrentDirectoryW(previous);
    CHECK_FALSE(log.IsLogging());
    CHECK_FALSE(FileExists(current / L"ToolLog"));
}

TEST_CASE("ToolLog and its files let in only SYSTEM and the Administrators, whatever the folder above passes on")
{
    CTempFolder folder;
    CLogSave log(folder.Path());
    log.Write("record", kLogFileName, true);
    for (const std::wstring& path : {folder / L"ToolLog", folder / L"ToolLog\\Quorlin.txt"}) {
        const std::wstring dacl = testing::DaclText(path);
        const std::string shown = fx::EncodeCodePage(dacl, CP_UTF8);
        CAPTURE(shown);
        CHECK(testing::IsClosedToOthers(dacl));
    }
}

TEST_CASE("the process log lives in the common application-data folder")
{
    const std::wstring appData = GetCommonAppDataDir();
    REQUIRE_FALSE(appData.empty());
    const std::wstring logFile = appData + L"ToolLog\\Quorlin.txt";
    const size_t before = ReadFileBytes(logFile).size();
    LogRecord(L"执行安装命令失败");
    const std::string after = ReadFileBytes(logFile);
    REQUIRE(after.size() > before);
    CHECK(after.substr(after.size() - 18) == Gbk(L"执行安装命令失败") + "\r\n");
    CHECK(&GetLog() == &GetLog());
}
