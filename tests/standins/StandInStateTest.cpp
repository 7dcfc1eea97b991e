// State kept across runs of the stand-in, the knobs that make it misbehave, its journal, the
// state file format and the recovery password rules; once through the test bed's real cmd.
#include "tests/standins/StandInRun.h"
#include "tests/testbed/MachineScope.h"

#include "framework/base/TextCodec.h"

#include <doctest.h>

using namespace bde;
using namespace bde::test;

namespace {

constexpr wchar_t kPasswordD[] = L"160083-390742-605913-261228-093346-480293-564553-218031";

bool Contains(const CapturedRun& run, const wchar_t* text)
{
    return run.output.find(fx::EncodeCodePage(text, fx::kCodePageGbk)) != std::string::npos;
}

bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

TEST_CASE("unlocking with the recovery password")
{
    CMachineScope scope(Machine::Default());

    SUBCASE("a wrong password leaves the volume locked")
    {
        const CapturedRun run =
            RunStandIn(L"-unlock D: -RecoveryPassword 571406-613470-463529-412599-375045-353639-703813-007909");
        CHECK(run.exitCode == kExitFailed);
        CHECK(EndsWith(run.output, GbkLines({L"错误: 发生错误(代码 0x80310027):", L"无法使用提供的信息解锁卷。"})));
        CHECK(scope.Reload().Find(L"D:")->locked);
    }
    SUBCASE("a malformed password is refused before it is compared")
    {
        for (const wchar_t* bad : {L"160083-390742-605913-261228-093346-480293-564553",         // seven groups
                                   L"160084-390742-605913-261228-093346-480293-564553-218031",  // not 11 * n
                                   L"160083-390742-605913-261228-093346-480293-564553-218031-"}) {
            const CapturedRun run = RunStandIn(std::wstring(L"-unlock D: -rp ") + bad);
            CHECK(run.exitCode == kExitFailed);
            CHECK(Contains(run, L"错误: 发生错误(代码 0x80310035):"));
        }
        CHECK(scope.Reload().Find(L"D:")->locked);
    }
    SUBCASE("the right password unlocks, a later status shows the real values")
    {
        // Lower-case switch and volume, blanks between the groups: Windows accepts both.
        const CapturedRun run =
            RunStandIn(L"-UNLOCK d: -recoverypassword \"160083 390742 605913 261228 093346 480293 564553 218031\"");
        CHECK(run.exitCode == 0);
        CHECK(EndsWith(run.output, GbkLines({L"密码已成功解锁卷 D:。"})));
        CHECK_FALSE(scope.Reload().Find(L"D:")->locked);

        const CapturedRun status = RunStandIn(L"-status D:");
        CHECK(Contains(status, L"卷 D: [WD]\r\n"));
        CHECK(Contains(status, L"    转换状态:          仅加密了已用空间\r\n"));
        CHECK(Contains(status, L"    锁定状态:          已解锁\r\n"));

        const CapturedRun again = RunStandIn(std::wstring(L"-unlock D: -rp ") + kPasswordD);
        CHECK(again.exitCode == kExitFailed);
        CHECK(Contains(again, L"错误: 卷 D: 未锁定。"));
    }
    SUBCASE("volumes that cannot be unlocked")
    {
        const CapturedRun plain = RunStandIn(std::wstring(L"-unlock E: -rp ") + kPasswordD);
        CHECK(plain.exitCode == kExitFailed);
        CHECK(Contains(plain, L"错误: 发生错误(代码 0x80310001):\r\n此驱动器未加密。"));
        const CapturedRun missing = RunStandIn(std::wstring(L"-unlock Q: -rp ") + kPasswordD);
        CHECK(missing.exitCode == kExitFailed);
        CHECK(Contains(missing, L"错误: BitLocker 无法打开卷 Q:。"));
    }
    CHECK_FALSE(Contains(RunStandIn(L"-status"), L"密码已成功解锁卷"));
}

TEST_CASE("turning BitLocker off starts the decryption")
{
    CMachineScope scope(Machine::Default());
    const CapturedRun run = RunStandIn(L"-off c:");
    CHECK(run.exitCode == 0);
    CHECK(EndsWith(run.output, GbkLines({L"解密正在进行中。"})));
    const Volume system = *scope.Reload().Find(L"C:");
    CHECK(system.conversion == Conversion::DecryptionInProgress);
    CHECK(system.percentage < 100.0);
    CHECK(system.percentage > 0.0);
    CHECK_FALSE(system.protectionOn);

    const CapturedRun status = RunStandIn(L"-status");
    CHECK(Contains(status, L"卷 C: [OS]\r\n[OS 卷]\r\n\r\n    大小:              475.69 GB\r\n"
                           L"    BitLocker 版本:    2.0\r\n    转换状态:          解密正在进行中\r\n"
                           L"    已加密百分比:      99.5%\r\n"));

    SUBCASE("a locked volume is refused and stays as it was")
    {
        const CapturedRun locked = RunStandIn(L"-off D:");
        CHECK(locked.exitCode == kExitFailed);
        CHECK(Contains(locked, L"错误: 无法执行该操作，因为卷已锁定。\r\n"));
        CHECK_FALSE(Contains(locked, L"解密正在进行中"));
        CHECK(scope.Reload().Find(L"D:")->conversion == Conversion::UsedSpaceOnlyEncrypted);
    }
    SUBCASE("an unencrypted volume is refused")
    {
        const CapturedRun plain = RunStandIn(L"-off E:");
        CHECK(plain.exitCode == kExitFailed);
        CHECK(Contains(plain, L"错误: 发生错误(代码 0x80310001):\r\n此驱动器未加密。\r\n"));
    }
}

TEST_CASE("knobs for the caller's failure paths")
{
    Machine machine = Machine::Default();
    SUBCASE("without administrator rights every command is refused")
    {
        machine.denyAccess = true;
        CMachineScope scope(machine);
        for (const wchar_t* command : {L"-status", L"-off C:"}) {
            const CapturedRun run = RunStandIn(command);
            CHECK(run.exitCode == kExitFailed);
            CHECK_GBK(run.output,
                      GbkLines({L"BitLocker 驱动器加密: 配置工具版本 10.0.19041",
                                L"版权所有 (C) 2013 Microsoft Corporation。保留所有权利。", L"",
                                L"错误: 尝试访问所需资源被拒绝。", L"请检查你是否拥有此计算机的管理权限。"}));
        }
        CHECK(scope.Reload().Find(L"C:")->conversion == Conversion::FullyEncrypted);
    }
    SUBCASE("a given exit code replaces the real one")
    {
        machine.exitCode = 7;
        CMachineScope scope(machine);
        const CapturedRun run = RunStandIn(L"-status");
        CHECK(run.exitCode == 7);
        CHECK(Contains(run, L"保护的磁盘卷:"));
    }
    SUBCASE("output in pieces arrives in several reads, with the pauses between them")
    {
        machine.pieces = 3;
        machine.pieceDelayMs = 400;
        CMachineScope scope(machine);
        const CapturedRun run = RunStandIn(L"-status");
        CHECK(run.reads.size() >= 3);
        CHECK(run.elapsedMs >= 800);
        CHECK_GBK(run.output, RunStandIn(L"-status").output);
        // Every piece ends at a line end, so that no two-byte character is split between reads.
        for (const auto& piece : run.reads) CHECK(EndsWith(piece, "\r\n"));
    }
    SUBCASE("a command that never ends has printed everything before it hangs")
    {
        machine.hang = true;
        CMachineScope scope(machine);
        const CapturedRun run = RunStandIn(L"-status", 3000);
        CHECK(run.timedOut);
        CHECK(run.output.size() > 1000);
        CHECK(Contains(run, L"    密钥保护器:        找不到\r\n\r\n"));
    }
    SUBCASE("a crash after a heading: the output ends with that heading's line")
    {
        machine.crashAfter = L"数字密码:";
        CMachineScope scope(machine);
        const CapturedRun run = RunStandIn(L"-protectors -get C:");
        CHECK(run.exitCode == 0xC0000005);
        CHECK(EndsWith(run.output, GbkLines({L"    数字密码:"})));
        CHECK_FALSE(Contains(run, L"571406"));
    }
    SUBCASE("more than 4 KiB of status through many volumes")
    {
        for (wchar_t letter = L'F'; letter <= L'Z'; ++letter) {
            Volume volume = machine.volumes[0];
            volume.name = std::wstring(1, letter) + L":";
            volume.kind = VolumeKind::Data;
            machine.volumes.push_back(volume);
        }
        CMachineScope scope(machine);
        const CapturedRun run = RunStandIn(L"-status");
        CHECK(run.exitCode == 0);
        CHECK(run.output.size() > 8192);
        CHECK(Contains(run, L"卷 Z: [OS]\r\n[数据卷]\r\n"));
        CHECK(EndsWith(run.output, "\r\n\r\n"));
    }
    SUBCASE("a volume without any key protector")
    {
        machine.volumes[0].protectors.clear();
        CMachineScope scope(machine);
        CHECK(Contains(RunStandIn(L"-status C:"), L"    密钥保护器:        找不到\r\n"));
        const CapturedRun run = RunStandIn(L"-protectors -get C:");
        CHECK(run.exitCode == kExitFailed);
        CHECK(Contains(run, L"错误: 找不到密钥保护器。"));
    }
}

TEST_CASE("the journal records every run's arguments, also the refused ones")
{
    CMachineScope scope(Machine::Default());
    CHECK(scope.Journal().empty());
    RunStandIn(L"-status");
    RunStandIn(L"-unlock D: -RecoveryPassword \"160083 390742\"");
    RunStandIn(std::wstring(L"-unlock D: -RecoveryPassword ") + kPasswordD);
    const std::vector<std::wstring> journal = scope.Journal();
    REQUIRE(journal.size() == 3);
    CHECK(journal[0] == L"-status");
    CHECK(journal[1] == L"-unlock D: -RecoveryPassword \"160083 390742\"");
    CHECK(journal[2] == std::wstring(L"-unlock D: -RecoveryPassword ") + kPasswordD);
}

TEST_CASE("through the test bed's cmd, as the tool runs it")
{
    Machine machine = Machine::Default();
    machine.volumes[1].label = L"资料";
    machine.volumes[1].locked = false;
    CMachineScope scope(machine);
    // The environment variable passes cmd on to the stand-in in system32.
    const CapturedRun run = RunCaptured(L"cmd /C manage-bde -status");
    REQUIRE(run.started);
    CHECK_FALSE(run.timedOut);
    CHECK(Contains(run, L"保护的磁盘卷:\r\n卷 C: [OS]\r\n"));
    CHECK(Contains(run, L"卷 D: [资料]\r\n[数据卷]\r\n"));
    REQUIRE(scope.Journal().size() == 1);
    CHECK(scope.Journal()[0] == L"-status");

    const CapturedRun off = RunCaptured(L"cmd /C manage-bde -off D:");
    CHECK(Contains(off, L"解密正在进行中。"));
    CHECK(scope.Reload().Find(L"D:")->conversion == Conversion::DecryptionInProgress);
}

TEST_CASE("the state file")
{
    SUBCASE("a machine survives writing and reading")
    {
        Machine machine = Machine::Default();
        machine.english = true;
        machine.utf8 = true;
        machine.pieces = 4;
        machine.pieceDelayMs = 250;
        machine.exitCode = -5;
        machine.volumes[2].label = L"";
        machine.volumes.push_back(machine.volumes[0]);
        machine.volumes.back().name = L"\\\\?\\Volume{0c3ab04a-0000-0000-0000-100000000000}\\";
        machine.volumes.back().label = L"恢复 分区";
        CMachineScope scope(machine);
        const Machine back = scope.Reload();
        CHECK(back.english);
        CHECK(back.utf8);
        CHECK_FALSE(back.denyAccess);
        CHECK(back.pieces == 4);
        CHECK(back.pieceDelayMs == 250);
        CHECK(back.exitCode == -5);
        REQUIRE(back.volumes.size() == 4);
        CHECK(back.volumes[2].label.empty());
        CHECK(back.volumes[3].label == L"恢复 分区");
        CHECK(back.Find(L"\\\\?\\volume{0C3AB04A-0000-0000-0000-100000000000}\\") != nullptr);
        const Volume& locked = *back.Find(L"d:");
        CHECK(locked.locked);
        CHECK(locked.kind == VolumeKind::Data);
        REQUIRE(locked.protectors.size() == 2);
        CHECK(locked.protectors[0].recoveryPassword == kPasswordD);
        CHECK(locked.protectors[1].type == Protector::Password);
        CHECK(FormatMachine(back) == FormatMachine(machine));
    }
    SUBCASE("the reader names the first line it does not understand")
    {
        Machine machine;
        int badLine = 0;
        CHECK(ParseMachine(L"# comment\r\nvolume C:\r\nlabel\r\nconversion decrypting\r\n", &machine));
        CHECK(machine.volumes.at(0).label.empty());
        CHECK_FALSE(ParseMachine(L"volume C:\nconversion half-done\n", &machine, &badLine));
        CHECK(badLine == 2);
        CHECK_FALSE(ParseMachine(L"label OS\n", &machine, &badLine));  // no volume yet
        CHECK(badLine == 1);
        CHECK_FALSE(ParseMachine(L"volume C:\nprotector numerical-password {1}\n", &machine, &badLine));
        CHECK_FALSE(ParseMachine(L"volume C:\npercentage 100.5\n", &machine, &badLine));
    }
    SUBCASE("an unreadable state file stops the stand-in instead of a made-up machine")
    {
        CMachineScope scope(Machine::Default());
        REQUIRE(WriteTextFile(scope.Path(), L"volume C:\nlock maybe\n"));
        const CapturedRun run = RunStandIn(L"-status");
        CHECK(run.exitCode == 2);
        CHECK_FALSE(Contains(run, L"保护的磁盘卷:"));
    }
    SUBCASE("the scope restores the variable and removes its files")
    {
        REQUIRE(SetEnvironmentVariableW(kStateVariable, L"outer"));
        std::wstring path;
        {
            CMachineScope scope(Machine::Default());
            path = scope.Path();
            RunStandIn(L"-status");
            CHECK(GetFileAttributesW((path + kJournalSuffix).c_str()) != INVALID_FILE_ATTRIBUTES);
        }
        wchar_t value[16] = {};
        CHECK(GetEnvironmentVariableW(kStateVariable, value, 16) == 5);
        CHECK(std::wstring(value) == L"outer");
        CHECK(GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES);
        CHECK(GetFileAttributesW((path + kJournalSuffix).c_str()) == INVALID_FILE_ATTRIBUTES);
        SetEnvironmentVariableW(kStateVariable, nullptr);
    }
}

TEST_CASE("recovery passwords are read as Windows reads them")
{
    CHECK(CanonicalRecoveryPassword(kPasswordD) == kPasswordD);
    CHECK(CanonicalRecoveryPassword(L"160083 390742-605913 261228 093346 480293 564553 218031") == kPasswordD);
    CHECK(CanonicalRecoveryPassword(L"000000-000000-000000-000000-000000-000000-000000-720885") ==
          L"000000-000000-000000-000000-000000-000000-000000-720885");
    CHECK(CanonicalRecoveryPassword(L"000000-000000-000000-000000-000000-000000-000000-720896").empty());
    CHECK(CanonicalRecoveryPassword(L"16008-3390742-605913-261228-093346-480293-564553-218031").empty());
    CHECK(CanonicalRecoveryPassword(L"160083--390742-605913-261228-093346-480293-564553-218031").empty());
    CHECK(CanonicalRecoveryPassword(L"16OO83-390742-605913-261228-093346-480293-564553-218031").empty());
    CHECK(CanonicalRecoveryPassword(L"160083390742605913261228093346480293564553218031").empty());
    CHECK(CanonicalRecoveryPassword(L"").empty());
    for (const auto& volume : Machine::Default().volumes) {
        for (const auto& protector : volume.protectors) {
            if (protector.type != Protector::NumericalPassword) continue;
            CHECK(CanonicalRecoveryPassword(protector.recoveryPassword) == protector.recoveryPassword);
        }
    }
}
