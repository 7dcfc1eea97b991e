#include "framework/base/TextCodec.h"
#include "log/Log.h"
#include "tests/harness/TempFolder.h"

#include <doctest.h>

#include <regex>
#include <sstream>
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
    std::vector<int> perThread(kThreads, 0);
    for (const std::string& line : lines) {
        REQUIRE(std::regex_match(line.substr(0, kStampLength), kStamp));
        const std::wstring text = fx::DecodeCodePage(line.substr(kStampLength), fx::kCodePageGbk);
        int t = -1;
        int r = -1;
        REQUIRE(swscanf(text.c_str(), L"线程 %d 记录 %d", &t, &r) == 2);
        REQUIRE(t >= 0);
        REQUIRE(t < kThreads);
        CHECK(r == perThread[t]++);  // each thread's records in its own order
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
