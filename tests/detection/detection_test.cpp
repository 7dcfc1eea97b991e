#include "app/PrivateMessages.h"
#include "bitlocker/BitLockerOperator.h"
#include "framework/TextCodec.h"
#include "tests/common/NotifyWindow.h"
#include "tests/common/TempFolder.h"
#include "tests/support/MachineScope.h"

#include <doctest.h>

using bde::Conversion;
using bde::Machine;
using testing::CNotifyWindow;

namespace {

constexpr DWORD kWorkerTimeoutMs = 60000;

struct DetectionRun
{
    int outcome = 0;
    std::vector<testing::ReceivedMessage> messages;
    std::vector<std::wstring> journal;
    VolumeInfoMap map;
    std::string logAfterResult;  // what the log gained after the result message was handled
};

bool LogGained(size_t from, const std::wstring& record, std::string* gained)
{
    const std::string bytes = testing::ReadFileBytes(testing::ProcessLogPath());
    *gained = bytes.size() > from ? bytes.substr(from) : std::string();
    return gained->find(fx::EncodeCodePage(record, fx::kCodePageGbk) + "\r\n") != std::string::npos;
}

// Runs the detection against the machine and waits for the worker's two messages and, when one is
// expected, its log record.
DetectionRun Detect(const Machine& machine, const std::wstring& expectedRecord = L"")
{
    bde::CMachineScope scope(machine);
    CNotifyWindow window;
    window.SetHandlingDelay(300);  // the user reads the result prompt: nothing may be logged meanwhile
    CBitLockerOperator op;
    op.m_mapVolumes[L"Z:"].strVolume = L"Z:";  // an earlier detection's leftovers
    REQUIRE(op.SetNotifyWindow(window.Handle()) == 1);
    REQUIRE(op.StartDetectThread() == 1);
    REQUIRE(window.WaitForMessages(2, kWorkerTimeoutMs));

    DetectionRun run;
    run.messages = window.Messages();
    REQUIRE(run.messages.size() == 2);
    run.outcome = static_cast<int>(run.messages[1].wParam);
    if (!expectedRecord.empty()) {
        const ULONGLONG deadline = GetTickCount64() + 5000;
        while (!LogGained(run.messages[1].logSizeAtArrival, expectedRecord, &run.logAfterResult) &&
               GetTickCount64() < deadline) {
            Sleep(50);
        }
    } else {
        Sleep(500);  // a worker with nothing to log has ended by now
    }
    run.journal = scope.Journal();
    run.map = op.m_mapVolumes;
    return run;
}

void CheckMessageOrder(const DetectionRun& run)
{
    REQUIRE(run.messages.size() == 2);
    CHECK(run.messages[0].message == WM_EXECUTE_PROMPT_CLOSE);
    CHECK(run.messages[0].wParam == 0);
    CHECK(run.messages[1].message == WM_DETECT_RESULT);
    CHECK(run.messages[0].sentFromOtherThread);
    CHECK(run.messages[1].sentFromOtherThread);
}

bde::Volume FullyEncrypted(const wchar_t* name, bool withProtectors)
{
    bde::Volume volume = Machine::Default().volumes[0];
    volume.name = name;
    volume.kind = bde::VolumeKind::Data;
    if (!withProtectors) volume.protectors.clear();
    return volume;
}

bool Contains(const std::string& haystack, const std::wstring& needle)
{
    return haystack.find(fx::EncodeCodePage(needle, fx::kCodePageGbk)) != std::string::npos;
}

}  // namespace

TEST_CASE("the default machine: outcome 1, locked and encrypted volumes in the map, no record")
{
    const DetectionRun run = Detect(Machine::Default());
    CheckMessageOrder(run);
    CHECK(run.outcome == kDetectFound);
    REQUIRE(run.map.size() == 2);
    CHECK(run.map.count(L"C:") == 1);
    CHECK(run.map.at(L"C:").dPercentageEncrypted == doctest::Approx(100.0));
    CHECK(run.map.at(L"D:").dPercentageEncrypted == 0.0);  // locked: its percentage is unknown
    // Only the fully encrypted volume's protectors are queried.
    REQUIRE(run.journal.size() == 2);
    CHECK(run.journal[0] == L"-status");
    CHECK(run.journal[1] == L"-protectors -get C:");
}

TEST_CASE("without administrator rights or in English the status cannot be read: outcome 2")
{
    Machine denied = Machine::Default();
    denied.denyAccess = true;
    DetectionRun run = Detect(denied, L"解析加密磁盘信息失败");
    CheckMessageOrder(run);
    CHECK(run.outcome == kDetectFailed);
    CHECK(run.map.empty());
    CHECK(Contains(run.logAfterResult, L"解析加密磁盘信息失败"));

    Machine english = Machine::Default();
    english.english = true;
    run = Detect(english, L"解析加密磁盘信息失败");
    CHECK(run.outcome == kDetectFailed);
    CHECK(run.map.empty());
    CHECK(Contains(run.logAfterResult, L"解析加密磁盘信息失败"));
}

TEST_CASE("nothing but decrypted or decrypting volumes: outcome 3")
{
    Machine machine = Machine::Default();
    machine.volumes[0].conversion = Conversion::DecryptionInProgress;
    machine.volumes[0].percentage = 40.0;
    machine.volumes.erase(machine.volumes.begin() + 1);  // the locked one
    const DetectionRun run = Detect(machine, L"没有检测到该电脑中加密磁盘");
    CheckMessageOrder(run);
    CHECK(run.outcome == kDetectNoVolume);
    CHECK(run.map.empty());
    CHECK(Contains(run.logAfterResult, L"没有检测到该电脑中加密磁盘"));
}

TEST_CASE("the second of three fully encrypted volumes has no protector: outcome 5, the third is not queried")
{
    Machine machine;
    machine.volumes = {FullyEncrypted(L"E:", true), FullyEncrypted(L"C:", true), FullyEncrypted(L"D:", false)};
    const DetectionRun run = Detect(machine, L"磁盘为预加密");
    CheckMessageOrder(run);
    CHECK(run.outcome == kDetectPreEncrypted);
    CHECK(run.map.empty());
    REQUIRE(run.journal.size() == 3);
    CHECK(run.journal[1] == L"-protectors -get C:");
    CHECK(run.journal[2] == L"-protectors -get D:");
    CHECK(Contains(run.logAfterResult, L"磁盘为预加密"));
}
