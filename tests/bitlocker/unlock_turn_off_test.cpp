#include "tests/testbed/TempFolder.h"
#include "tests/bitlocker/OperationHelpers.h"

#include "bitlocker/BdeCommands.h"
#include "bitlocker/ConsoleRunner.h"

using bde::Machine;
using testing::CheckReport;
using testing::RunWorker;

namespace {

const std::wstring kLockedPassword = L"160083-390742-605913-261228-093346-480293-564553-218031";

testing::WorkerRun Unlock(const std::wstring& volume, const std::wstring& typed, const std::wstring& record = L"")
{
    CBitLockerOperator op;
    testing::WorkerRun run = RunWorker(
        [&](HWND window) {
            op.SetNotifyWindow(window);
            return op.StartUnlockThread(volume, typed);
        },
        record);
    CheckReport(run, WM_UNLOCK_RESULT);
    CHECK(op.m_strRecoveryPassword == typed);  // kept as typed; only the command gets the canonical form
    return run;
}

testing::WorkerRun TurnOff(CBitLockerOperator& op, const std::vector<std::wstring>& volumes,
                           const std::wstring& record = L"")
{
    testing::WorkerRun run = RunWorker(
        [&](HWND window) {
            op.SetNotifyWindow(window);
            return op.StartTurnOffThread(volumes);
        },
        record);
    CheckReport(run, WM_TURN_OFF_RESULT);
    return run;
}

bool IsLocked(const bde::CMachineScope& scope, const wchar_t* name)
{
    const Machine machine = scope.Reload();
    const bde::Volume* volume = machine.Find(name);
    REQUIRE(volume != nullptr);
    return volume->locked;
}

// The default machine with a second unlocked encrypted volume, F:.
Machine TwoUnlockedEncrypted(bool english = false)
{
    Machine machine = bde::InEdition(english);
    machine.volumes.push_back(testing::EncryptedDataVolume(L"F:"));
    return machine;
}

VolumeInfoMap DetectedMap(CBitLockerOperator& op)
{
    std::wstring status;
    op.m_mapVolumes.clear();
    RunConsoleCommand(StatusCommand(), &status);
    op.ParseBitLockerStatus(status, &op.m_mapVolumes);
    return op.m_mapVolumes;
}

}  // namespace

TEST_CASE("the right recovery password unlocks the volume; the next status reads it unlocked")
{
    for (const bde::Edition& edition : bde::kEditions) {
        bde::CMachineScope scope(bde::InEdition(edition.english));
        REQUIRE(IsLocked(scope, L"D:"));
        CHECK(Unlock(L"D:", kLockedPassword).outcome == kUnlockDone);
        CHECK_FALSE(IsLocked(scope, L"D:"));
        CBitLockerOperator op;
        const VolumeInfoMap map = DetectedMap(op);
        REQUIRE(map.count(L"D:") == 1);
        CHECK(map.at(L"D:").strConversionStatus ==
              (edition.english ? L"Used Space Only Encrypted" : L"仅加密了已用空间"));
    }
}

TEST_CASE("a wrong recovery password gives 2 and the record 解密失败, without the password in the log")
{
    for (const bool english : {false, true}) {
        bde::CMachineScope scope(bde::InEdition(english));
        const std::wstring wrong = L"571406-613470-463529-412599-375045-353639-703813-007909";
        const testing::WorkerRun run = Unlock(L"D:", wrong, L"解密失败");
        CHECK(run.outcome == kUnlockFailed);
        CHECK(testing::ContainsGbk(run.logGained, L"解密失败\r\n"));
        CHECK(run.logGained.find("571406") == std::string::npos);
        CHECK(IsLocked(scope, L"D:"));
    }
}

TEST_CASE("what users commonly type reaches manage-bde in canonical form")
{
    const std::wstring typed[] = {
        L"\xFF11\xFF16\xFF10\xFF10\xFF18\xFF13-390742-605913-261228-093346-480293-564553-218031",
        L"160083\x2013"
        L"390742\x2013"
        L"605913\x2014"
        L"261228 093346 480293 564553 218031",
        L"160083390742605913261228093346480293564553218031",
    };
    for (const std::wstring& text : typed) {
        bde::CMachineScope scope(Machine::Default());
        CHECK(Unlock(L"D:", text).outcome == kUnlockDone);
        const std::vector<std::wstring> journal = scope.Journal();
        REQUIRE(journal.size() == 1);
        CHECK(journal[0] == L"-unlock D: -RecoveryPassword " + kLockedPassword);
    }
}

TEST_CASE("malformed and hostile passwords give 2, start no command and create no file")
{
    testing::CTempFolder folder;
    const std::wstring marker = folder / L"pwned.txt";
    const std::wstring hostile[] = {
        L"160083-390742-605913-261228-093346-480293-564553-218032",  // a group not a multiple of 11
        L"720896-390742-605913-261228-093346-480293-564553-218031",  // a multiple of 11 above 720885
        L"16008-39074-60591-26122-09334-48029-56455-21803",          // five-digit groups
        L"1 & echo x > " + marker,
        kLockedPassword + L" & echo x > " + marker,
        L"|",
        L"^",
        L"%PATH%",
        L"\"" + kLockedPassword + L"\"",
        kLockedPassword + L"\r\necho x > " + marker,
        std::wstring(10000, L'1'),
        L"",
    };
    for (const std::wstring& text : hostile) {
        bde::CMachineScope scope(Machine::Default());
        const testing::WorkerRun run = Unlock(L"D:", text, L"解密失败");
        CHECK(run.outcome == kUnlockFailed);
        CHECK(scope.Journal().empty());
        CHECK(IsLocked(scope, L"D:"));
    }
    CHECK_FALSE(testing::FileExists(marker));
    CHECK_FALSE(testing::FileExists(L"C:\\pwned.txt"));
}

TEST_CASE("turn-off of every selected volume: 1, and the refreshed map lacks them")
{
    for (const bool english : {false, true}) {
        bde::CMachineScope scope(TwoUnlockedEncrypted(english));
        CBitLockerOperator op;
        REQUIRE(DetectedMap(op).size() == 3);  // C:, D: (locked) and F:
        const testing::WorkerRun run = TurnOff(op, {L"C:", L"F:"});
        CHECK(run.outcome == kTurnOffAll);
        CHECK(op.m_vecFailedVolumes.empty());
        CHECK(op.m_mapVolumes.size() == 1);
        CHECK(op.m_mapVolumes.count(L"D:") == 1);
        const std::vector<std::wstring> journal = scope.Journal();
        REQUIRE(journal.size() >= 3);
        CHECK(journal[journal.size() - 3] == L"-off C:");
        CHECK(journal[journal.size() - 2] == L"-off F:");
        CHECK(journal.back() == L"-status");
    }
}

TEST_CASE("the first accepted and the second refused: 3 with only the second failed, map unchanged")
{
    bde::CMachineScope scope(TwoUnlockedEncrypted(true));
    CBitLockerOperator op;
    const VolumeInfoMap before = DetectedMap(op);
    const testing::WorkerRun run = TurnOff(op, {L"C:", L"D:"}, L"执行关闭加密磁盘命令失败");
    CHECK(run.outcome == kTurnOffSome);
    CHECK(op.m_vecFailedVolumes == std::vector<std::wstring>{L"D:"});
    CHECK(op.m_mapVolumes.size() == before.size());
    CHECK(testing::ContainsGbk(run.logGained, L"执行关闭加密磁盘命令失败"));

    // A second turn-off runs only its own selection.
    const size_t commandsBefore = scope.Journal().size();
    CHECK(TurnOff(op, {L"F:"}).outcome == kTurnOffAll);
    const std::vector<std::wstring> journal = scope.Journal();
    REQUIRE(journal.size() == commandsBefore + 2);
    CHECK(journal[commandsBefore] == L"-off F:");
    CHECK(op.m_vecFailedVolumes.empty());
}

TEST_CASE("all refused, or nothing selected: 2 and the map unchanged")
{
    bde::CMachineScope scope(Machine::Default());
    CBitLockerOperator op;
    const VolumeInfoMap before = DetectedMap(op);
    testing::WorkerRun run = TurnOff(op, {L"D:", L"E:", L"C: & echo x"}, L"执行关闭加密磁盘命令失败");
    CHECK(run.outcome == kTurnOffNone);
    CHECK(op.m_vecFailedVolumes.size() == 3);
    CHECK(op.m_mapVolumes.size() == before.size());
    CHECK(testing::ContainsGbk(run.logGained, L"执行关闭加密磁盘命令失败"));

    run = TurnOff(op, {}, L"执行关闭加密磁盘命令失败");
    CHECK(run.outcome == kTurnOffNone);
    CHECK(op.m_mapVolumes.size() == before.size());
}
