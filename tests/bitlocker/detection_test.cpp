#include "bitlocker/BitLockerOperator.h"
#include "framework/base/TextCodec.h"
#include "res/PrivateMessages.h"
#include "tests/testbed/ChildTest.h"
#include "tests/testbed/MachineScope.h"
#include "tests/testbed/Planting.h"
#include "tests/testbed/WorkerRun.h"

#include <doctest.h>

using bde::Conversion;
using bde::Machine;

namespace {

struct DetectionRun : testing::WorkerRun
{
    std::vector<std::wstring> journal;
    VolumeInfoMap map;
};

// Runs the detection against the machine, with an earlier detection's leftovers in the map.
DetectionRun Detect(const Machine& machine, const std::wstring& expectedRecord = L"")
{
    bde::CMachineScope scope(machine);
    CBitLockerOperator op;
    op.m_mapVolumes[L"Z:"].strVolume = L"Z:";
    DetectionRun run;
    static_cast<testing::WorkerRun&>(run) = testing::RunWorker(
        [&op](HWND window) {
            REQUIRE(op.SetNotifyWindow(window) == 1);
            return op.StartDetectThread();
        },
        expectedRecord);
    REQUIRE(run.started);
    REQUIRE(run.messages.size() == 2);
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

}  // namespace

TEST_CASE("the default machine, in either edition: outcome 1, locked and encrypted volumes in the map, no record")
{
    for (const bde::Edition& edition : bde::kEditions) {
        CAPTURE(edition.english);
        const DetectionRun run = Detect(bde::InEdition(edition.english));
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
}

TEST_CASE("without administrator rights the status cannot be read: outcome 2")
{
    Machine denied = Machine::Default();
    denied.denyAccess = true;
    DetectionRun run = Detect(denied, L"解析加密磁盘信息失败");
    CheckMessageOrder(run);
    CHECK(run.outcome == kDetectFailed);
    CHECK(run.map.empty());
    CHECK(testing::ContainsGbk(run.logGained, L"解析加密磁盘信息失败"));
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
    CHECK(testing::ContainsGbk(run.logGained, L"没有检测到该电脑中加密磁盘"));
}

TEST_CASE("the second of three fully encrypted volumes has no protector: outcome 5, the third is not queried")
{
    for (const bool english : {false, true}) {
        CAPTURE(english);
        Machine machine;
        machine.english = english;
        machine.volumes = {FullyEncrypted(L"E:", true), FullyEncrypted(L"C:", true), FullyEncrypted(L"D:", false)};
        const DetectionRun run = Detect(machine, L"磁盘为预加密");
        CheckMessageOrder(run);
        CHECK(run.outcome == kDetectPreEncrypted);
        CHECK(run.map.empty());
        REQUIRE(run.journal.size() == 3);
        CHECK(run.journal[1] == L"-protectors -get C:");
        CHECK(run.journal[2] == L"-protectors -get D:");
        CHECK(testing::ContainsGbk(run.logGained, L"磁盘为预加密"));
    }
}

TEST_CASE("programs planted beside the program and in its current folder stay unrun; the detection still works")
{
    testing::CTempFolder program;
    testing::CTempFolder current;
    testing::CPlantMarkers markers;
    REQUIRE(testing::PlantPrograms(program.Path()));
    REQUIRE(testing::PlantPrograms(current.Path()));
    testing::CChildTest child("child: detection beside planted programs", program.Path(), current.Path());
    const bool passed = child.Passed();
    const std::string report = child.Report();
    CAPTURE(report);
    CHECK(passed);
    const std::vector<std::wstring> ran = markers.Names();
    CHECK(ran.empty());
    for (const std::wstring& name : ran) MESSAGE(fx::EncodeCodePage(name, CP_UTF8) << " ran");
}

TEST_CASE("child: detection beside planted programs" * doctest::skip())
{
    const DetectionRun run = Detect(Machine::Default());
    CHECK(run.outcome == kDetectFound);
    CHECK(run.map.size() == 2);
    CHECK(run.journal.size() == 2);
}
