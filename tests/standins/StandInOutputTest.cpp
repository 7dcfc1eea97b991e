// What the stand-in prints for representative machines, compared byte for byte with the layout
// of the Chinese (Simplified) manage-bde: header, labels, value column 23, CR LF, code page 936.
#include "tests/standins/StandInRun.h"
#include "tests/testbed/MachineScope.h"

#include <doctest.h>

using namespace bde;
using namespace bde::test;

namespace {

#define HEADER                                                                                                         \
    L"BitLocker 驱动器加密: 配置工具版本 10.0.19041", L"版权所有 (C) 2013 Microsoft Corporation。保留所有权利。", L""

const std::initializer_list<const wchar_t*> kDefaultStatus = {
    HEADER,
    L"可以使用 BitLocker 驱动器加密",
    L"保护的磁盘卷:",
    L"卷 C: [OS]",
    L"[OS 卷]",
    L"",
    L"    大小:              475.69 GB",
    L"    BitLocker 版本:    2.0",
    L"    转换状态:          完全加密",
    L"    已加密百分比:      100.0%",
    L"    加密方法:          XTS-AES 128",
    L"    保护状态:          保护已启用",
    L"    锁定状态:          已解锁",
    L"    标识字段:          未知",
    L"    密钥保护器:",
    L"        TPM",
    L"        数字密码",
    L"",
    L"卷 D: [标签未知]",
    L"[数据卷]",
    L"",
    L"    大小:              未知 GB",
    L"    BitLocker 版本:    2.0",
    L"    转换状态:          未知",
    L"    已加密百分比:      未知%",
    L"    加密方法:          XTS-AES 128",
    L"    保护状态:          未知",
    L"    锁定状态:          已锁定",
    L"    标识字段:          未知",
    L"    自动解锁:          已禁用",
    L"    密钥保护器:",
    L"        数字密码",
    L"        密码",
    L"",
    L"卷 E: [Data]",
    L"[数据卷]",
    L"",
    L"    大小:              232.88 GB",
    L"    BitLocker 版本:    无",
    L"    转换状态:          完全解密",
    L"    已加密百分比:      0.0%",
    L"    加密方法:          无",
    L"    保护状态:          保护关闭",
    L"    锁定状态:          已解锁",
    L"    标识字段:          无",
    L"    自动解锁:          已禁用",
    L"    密钥保护器:        找不到",
    L"",
};

Volume DataVolume(const wchar_t* name, Conversion conversion, double percentage)
{
    Volume volume;
    volume.name = name;
    volume.size = L"59.99 GB";
    volume.conversion = conversion;
    volume.percentage = percentage;
    volume.method = L"AES 128";
    volume.protectionOn = conversion != Conversion::DecryptionInProgress;
    volume.protectors = {{Protector::Password, L"{11111111-2222-3333-4444-555555555555}", L""}};
    return volume;
}

}  // namespace

TEST_CASE("the default machine's status is the zh-CN listing in code page 936")
{
    const auto checkDefaultStatus = [] {
        const CapturedRun run = RunStandIn(L"-status");
        REQUIRE(run.started);
        CHECK(run.exitCode == 0);
        CHECK_GBK(run.output, GbkLines(kDefaultStatus));
        // Raw bytes, not only what a round trip through the same conversion gives: "卷" is BE ED.
        CHECK(run.output.find("\xBE\xED C: [OS]\r\n") != std::string::npos);
    };
    SUBCASE("built in, without a state file")
    {
        REQUIRE(SetEnvironmentVariableW(kStateVariable, nullptr));
        checkDefaultStatus();
    }
    SUBCASE("from a state file")
    {
        CMachineScope scope(Machine::Default());
        checkDefaultStatus();
    }
    SUBCASE("in UTF-8, as where the ANSI code page is UTF-8")
    {
        Machine machine = Machine::Default();
        machine.utf8 = true;
        CMachineScope scope(machine);
        const CapturedRun run = RunStandIn(L"-status");
        CHECK(run.output == Utf8(GbkLines(kDefaultStatus)));
        CHECK(run.output.find("\xE5\x8D\xB7 C: [OS]\r\n") != std::string::npos);  // "卷"
    }
}

TEST_CASE("conversion states, empty labels and a single volume's status")
{
    Machine machine;
    Volume usedSpace = DataVolume(L"F:", Conversion::UsedSpaceOnlyEncrypted, 100.0);
    usedSpace.label = L"";
    machine.volumes = {usedSpace, DataVolume(L"G:", Conversion::DecryptionInProgress, 37.5),
                       DataVolume(L"H:", Conversion::EncryptionPaused, 12.3)};
    machine.volumes.back().kind = VolumeKind::System;
    machine.volumes.back().label = L"系统";
    CMachineScope scope(machine);

    const CapturedRun all = RunStandIn(L"-status");
    CHECK(all.exitCode == 0);
    CHECK_GBK(all.output, GbkLines({HEADER,
                                    L"可以使用 BitLocker 驱动器加密",
                                    L"保护的磁盘卷:",
                                    L"卷 F: []",
                                    L"[数据卷]",
                                    L"",
                                    L"    大小:              59.99 GB",
                                    L"    BitLocker 版本:    2.0",
                                    L"    转换状态:          仅加密了已用空间",
                                    L"    已加密百分比:      100.0%",
                                    L"    加密方法:          AES 128",
                                    L"    保护状态:          保护已启用",
                                    L"    锁定状态:          已解锁",
                                    L"    标识字段:          未知",
                                    L"    自动解锁:          已禁用",
                                    L"    密钥保护器:",
                                    L"        密码",
                                    L"",
                                    L"卷 G: []",
                                    L"[数据卷]",
                                    L"",
                                    L"    大小:              59.99 GB",
                                    L"    BitLocker 版本:    2.0",
                                    L"    转换状态:          解密正在进行中",
                                    L"    已加密百分比:      37.5%",
                                    L"    加密方法:          AES 128",
                                    L"    保护状态:          保护关闭",
                                    L"    锁定状态:          已解锁",
                                    L"    标识字段:          未知",
                                    L"    自动解锁:          已禁用",
                                    L"    密钥保护器:",
                                    L"        密码",
                                    L"",
                                    L"卷 H: [系统]",
                                    L"[OS 卷]",
                                    L"",
                                    L"    大小:              59.99 GB",
                                    L"    BitLocker 版本:    2.0",
                                    L"    转换状态:          加密已暂停",
                                    L"    已加密百分比:      12.3%",
                                    L"    加密方法:          AES 128",
                                    L"    保护状态:          保护已启用",
                                    L"    锁定状态:          已解锁",
                                    L"    标识字段:          未知",
                                    L"    密钥保护器:",
                                    L"        密码",
                                    L""}));

    const CapturedRun one = RunStandIn(L"-status g:");
    CHECK(one.exitCode == 0);
    const std::string block = one.output;
    CHECK(block.rfind(GbkLines({HEADER, L"卷 G: []", L"[数据卷]"}), 0) == 0);
    CHECK(block.find(GbkLines({L"保护的磁盘卷:"})) == std::string::npos);
    CHECK(block.find(GbkLines({L"卷 F: []"})) == std::string::npos);
}

TEST_CASE("the English edition's status carries none of the Chinese markers")
{
    Machine machine = Machine::Default();
    machine.english = true;
    machine.volumes.resize(1);
    CMachineScope scope(machine);
    const CapturedRun run = RunStandIn(L"-status");
    CHECK(run.exitCode == 0);
    CHECK_GBK(run.output, GbkLines({L"BitLocker Drive Encryption: Configuration Tool version 10.0.19041",
                                    L"Copyright (C) 2013 Microsoft Corporation. All rights reserved.",
                                    L"",
                                    L"Disk volumes that can be protected with",
                                    L"BitLocker Drive Encryption:",
                                    L"Volume C: [OS]",
                                    L"[OS Volume]",
                                    L"",
                                    L"    Size:                 475.69 GB",
                                    L"    BitLocker Version:    2.0",
                                    L"    Conversion Status:    Fully Encrypted",
                                    L"    Percentage Encrypted: 100.0%",
                                    L"    Encryption Method:    XTS-AES 128",
                                    L"    Protection Status:    Protection On",
                                    L"    Lock Status:          Unlocked",
                                    L"    Identification Field: Unknown",
                                    L"    Key Protectors:",
                                    L"        TPM",
                                    L"        Numerical Password",
                                    L""}));
}

TEST_CASE("the English edition answers every command as the published captures show")
{
    Machine machine = Machine::Default();
    machine.english = true;
    CMachineScope scope(machine);
    const struct
    {
        const wchar_t* arguments;
        DWORD exitCode;
        std::initializer_list<const wchar_t*> lines;  // after the banner
    } rows[] = {
        {L"-protectors -get C:",
         0,
         {L"Volume C: [OS]", L"All Key Protectors", L"", L"    TPM:",
          L"      ID: {EBDEC50E-0666-4674-9EF4-0123456789AB}", L"      PCR Validation Profile:", L"        7, 11",
          L"        (Uses Secure Boot for integrity validation)", L"", L"    Numerical Password:",
          L"      ID: {4B82A66E-A0C0-4EF4-AB39-0123456789AB}", L"      Password:",
          L"        571406-613470-463529-412599-375045-353639-703813-007909", L""}},
        {L"-protectors -get E:",
         kExitFailed,
         {L"Volume E: [Data]", L"All Key Protectors", L"", L"ERROR: No key protectors found."}},
        {L"-status D:",
         0,
         {L"Volume D: [Label Unknown]", L"[Data Volume]", L"", L"    Size:                 Unknown GB",
          L"    BitLocker Version:    2.0", L"    Conversion Status:    Unknown", L"    Percentage Encrypted: Unknown%",
          L"    Encryption Method:    XTS-AES 128", L"    Protection Status:    Unknown",
          L"    Lock Status:          Locked", L"    Identification Field: Unknown",
          L"    Automatic Unlock:     Disabled", L"    Key Protectors:", L"        Numerical Password",
          L"        Password", L""}},
        {L"-off D:", kExitFailed, {L"ERROR: The operation cannot be performed because the volume is locked."}},
        {L"-off E:", kExitFailed, {L"ERROR: An error occurred (code 0x80310001):", L"This drive is not encrypted."}},
        {L"-unlock D: -RecoveryPassword 160083-390742-605913-261228-093346-480293-564553-218031",
         0,
         {L"The password successfully unlocked volume D:."}},
        {L"-off C:", 0, {L"Decryption is now in progress."}},
    };
    const std::string banner = GbkLines({L"BitLocker Drive Encryption: Configuration Tool version 10.0.19041",
                                         L"Copyright (C) 2013 Microsoft Corporation. All rights reserved.", L""});
    for (const auto& row : rows) {
        const CapturedRun run = RunStandIn(row.arguments);
        CHECK(run.exitCode == row.exitCode);
        CHECK_GBK(run.output, banner + GbkLines(row.lines));
    }
}

TEST_CASE("the protector listing")
{
    SUBCASE("TPM and numerical password of the default system volume")
    {
        CMachineScope scope(Machine::Default());
        const CapturedRun run = RunStandIn(L"-protectors -get C:");
        CHECK(run.exitCode == 0);
        CHECK_GBK(run.output,
                  GbkLines({HEADER, L"卷 C: [OS]", L"所有密钥保护器", L"", L"    TPM:",
                            L"      ID: {EBDEC50E-0666-4674-9EF4-0123456789AB}", L"      PCR 验证配置文件:",
                            L"        7, 11", L"        (使用安全启动进行完整性验证)", L"", L"    数字密码:",
                            L"      ID: {4B82A66E-A0C0-4EF4-AB39-0123456789AB}", L"      密码:",
                            L"        571406-613470-463529-412599-375045-353639-703813-007909", L""}));
    }
    SUBCASE("password and external key, switches in any case and order")
    {
        Machine machine;
        machine.volumes = {DataVolume(L"F:", Conversion::FullyEncrypted, 100.0)};
        machine.volumes[0].label = L"U盘";
        machine.volumes[0].protectors.push_back(
            {Protector::ExternalKey, L"{AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE}", L""});
        CMachineScope scope(machine);
        const CapturedRun run = RunStandIn(L"-GET f: /Protectors");
        CHECK(run.exitCode == 0);
        CHECK_GBK(run.output, GbkLines({HEADER, L"卷 F: [U盘]", L"所有密钥保护器", L"", L"    密码:",
                                        L"      ID: {11111111-2222-3333-4444-555555555555}", L"", L"    外部密钥:",
                                        L"      ID: {AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE}", L"      外部密钥文件名:",
                                        L"        AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE.BEK", L""}));
    }
    SUBCASE("a volume without protectors is an error with exit code -1")
    {
        CMachineScope scope(Machine::Default());
        const CapturedRun run = RunStandIn(L"-protectors -get E:");
        CHECK(run.exitCode == kExitFailed);
        CHECK_GBK(run.output, GbkLines({HEADER, L"卷 E: [Data]", L"所有密钥保护器", L"", L"错误: 找不到密钥保护器。"}));
    }
    SUBCASE("a locked volume lists its protectors without the recovery password")
    {
        CMachineScope scope(Machine::Default());
        const CapturedRun run = RunStandIn(L"-protectors -get D:");
        CHECK(run.exitCode == 0);
        CHECK_GBK(run.output, GbkLines({HEADER, L"卷 D: [标签未知]", L"所有密钥保护器", L"", L"    数字密码:",
                                        L"      ID: {0F2C8E41-7B3D-4A59-9C16-5D8E2B7A4C03}", L"", L"    密码:",
                                        L"      ID: {9A61D3C7-2E84-4F0B-B5D2-71C4E0A98F36}", L""}));
    }
}

TEST_CASE("refusals in the general error form")
{
    CMachineScope scope(Machine::Default());
    SUBCASE("a volume that does not exist")
    {
        const CapturedRun run = RunStandIn(L"-off Z:");
        CHECK(run.exitCode == kExitFailed);
        CHECK_GBK(run.output, GbkLines({HEADER, L"错误: BitLocker 无法打开卷 Z:。"}));
    }
    SUBCASE("an unknown command")
    {
        const CapturedRun run = RunStandIn(L"-lock C:");
        CHECK(run.exitCode == kExitFailed);
        CHECK_GBK(run.output, GbkLines({HEADER, L"错误: 命令行参数无效: -lock"}));
    }
    SUBCASE("a command without its volume")
    {
        const CapturedRun run = RunStandIn(L"-unlock -RecoveryPassword 1");
        CHECK(run.exitCode == kExitFailed);
        CHECK_GBK(run.output, GbkLines({HEADER, L"错误: 命令行参数无效: -unlock"}));
    }
}
