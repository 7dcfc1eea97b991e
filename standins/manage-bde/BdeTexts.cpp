#include "standins/manage-bde/BdeTexts.h"

#include <iterator>

namespace bde {
namespace {

struct TextPair
{
    Text id;
    const wchar_t* chinese;
    const wchar_t* english;
};

// The one table of the stand-in's texts. Chinese texts seen in real captures of Windows 10 zh-CN
// are marked (c); the others follow the English edition's wording and are the place to correct.
// The English texts are those of real captures and Microsoft's documentation, except where marked
// (u): no English text of it is published; it follows the maker's wording of the same error
// elsewhere and is the place to correct. The unlock success sentence is published for a key file;
// the recovery password's form with its final period follows it.
constexpr TextPair kTexts[] = {
    {Text::HeaderTool, L"BitLocker 驱动器加密: 配置工具版本 10.0.19041",  // (c)
     L"BitLocker Drive Encryption: Configuration Tool version 10.0.19041"},
    {Text::HeaderCopyright, L"版权所有 (C) 2013 Microsoft Corporation。保留所有权利。",  // (c)
     L"Copyright (C) 2013 Microsoft Corporation. All rights reserved."},
    {Text::ListIntroFirst, L"可以使用 BitLocker 驱动器加密", L"Disk volumes that can be protected with"},  // (c)
    {Text::ListIntroSecond, L"保护的磁盘卷:", L"BitLocker Drive Encryption:"},                             // (c)
    {Text::VolumeHeading, L"卷 %1", L"Volume %1"},                                                         // (c)
    {Text::VolumeHeadingUnknown, L"标签未知", L"Label Unknown"},
    {Text::OsVolume, L"[OS 卷]", L"[OS Volume]"},       // (c)
    {Text::DataVolume, L"[数据卷]", L"[Data Volume]"},  // (c)
    {Text::FieldSize, L"大小:", L"Size:"},              // (c) and the other field labels
    {Text::FieldVersion, L"BitLocker 版本:", L"BitLocker Version:"},
    {Text::FieldConversion, L"转换状态:", L"Conversion Status:"},
    {Text::FieldPercentage, L"已加密百分比:", L"Percentage Encrypted:"},
    {Text::FieldMethod, L"加密方法:", L"Encryption Method:"},
    {Text::FieldProtection, L"保护状态:", L"Protection Status:"},
    {Text::FieldLock, L"锁定状态:", L"Lock Status:"},
    {Text::FieldIdentification, L"标识字段:", L"Identification Field:"},
    {Text::FieldAutoUnlock, L"自动解锁:", L"Automatic Unlock:"},
    {Text::FieldProtectors, L"密钥保护器:", L"Key Protectors:"},
    {Text::ValueNone, L"无", L"None"},  // (c)
    {Text::ValueUnknown, L"未知", L"Unknown"},
    {Text::ValueNoneFound, L"找不到", L"None Found"},  // (c)
    {Text::SizeUnknown, L"未知 GB", L"Unknown GB"},
    {Text::PercentageUnknown, L"未知%", L"Unknown%"},
    {Text::FullyEncrypted, L"完全加密", L"Fully Encrypted"},
    {Text::UsedSpaceOnlyEncrypted, L"仅加密了已用空间", L"Used Space Only Encrypted"},  // (c)
    {Text::FullyDecrypted, L"完全解密", L"Fully Decrypted"},                            // (c)
    {Text::EncryptionInProgress, L"加密正在进行中", L"Encryption in Progress"},
    {Text::DecryptionInProgress, L"解密正在进行中", L"Decryption in Progress"},
    {Text::EncryptionPaused, L"加密已暂停", L"Encryption Paused"},
    {Text::DecryptionPaused, L"解密已暂停", L"Decryption Paused"},
    {Text::ProtectionOn, L"保护已启用", L"Protection On"},  // (c)
    {Text::ProtectionOff, L"保护关闭", L"Protection Off"},  // (c)
    {Text::Unlocked, L"已解锁", L"Unlocked"},               // (c)
    {Text::Locked, L"已锁定", L"Locked"},
    {Text::AutoUnlockDisabled, L"已禁用", L"Disabled"},                      // (c)
    {Text::ProtectorTpm, L"TPM", L"TPM"},                                    // (c)
    {Text::ProtectorNumericalPassword, L"数字密码", L"Numerical Password"},  // (c)
    {Text::ProtectorPassword, L"密码", L"Password"},                         // (c)
    {Text::ProtectorExternalKey, L"外部密钥", L"External Key"},
    {Text::AllKeyProtectors, L"所有密钥保护器", L"All Key Protectors"},
    {Text::ProtectorId, L"ID:", L"ID:"},
    {Text::PcrProfile, L"PCR 验证配置文件:", L"PCR Validation Profile:"},
    {Text::PcrSecureBoot, L"(使用安全启动进行完整性验证)", L"(Uses Secure Boot for integrity validation)"},
    {Text::RecoveryPasswordLabel, L"密码:", L"Password:"},
    {Text::ExternalKeyFileName, L"外部密钥文件名:", L"External Key File Name:"},
    {Text::UnlockSucceeded, L"密码已成功解锁卷 %1。", L"The password successfully unlocked volume %1."},
    {Text::DecryptionStarted, L"解密正在进行中。", L"Decryption is now in progress."},
    {Text::ErrorPrefix, L"错误: ", L"ERROR: "},
    {Text::ErrorWithCode, L"发生错误(代码 %1):", L"An error occurred (code %1):"},
    {Text::NoKeyProtectors, L"找不到密钥保护器。", L"No key protectors found."},
    {Text::CannotOpenVolume, L"BitLocker 无法打开卷 %1。", L"BitLocker could not open volume %1."},  // (c) (u)
    {Text::AccessDenied, L"尝试访问所需资源被拒绝。", L"An attempt to access a required resource was denied."},  // (u)
    {Text::AccessDeniedAdvice, L"请检查你是否拥有此计算机的管理权限。",
     L"Check that you have administrative rights on the computer."},  // (u)
    // The maker's message for FVE_E_FAILED_AUTHENTICATION; how manage-bde prints it is unpublished.
    {Text::WrongRecoveryPassword, L"无法使用提供的信息解锁卷。",
     L"The volume cannot be unlocked with the provided information."},  // (u)
    {Text::MalformedRecoveryPassword,                                   // (u)
     L"提供的恢复密码格式无效。BitLocker 恢复密码为 48 位数字。请验证恢复密码的格式是否正确，然后重试。",
     L"The format of the recovery password provided is invalid. BitLocker recovery passwords are 48 digits. "
     L"Verify that the recovery password is in the correct format and then try again."},
    {Text::DriveLocked, L"无法执行该操作，因为卷已锁定。",
     L"The operation cannot be performed because the volume is locked."},
    {Text::DriveNotEncrypted, L"此驱动器未加密。", L"This drive is not encrypted."},
    {Text::VolumeNotLocked, L"卷 %1 未锁定。", L"The volume %1 is not locked."},                            // (u)
    {Text::InvalidArgument, L"命令行参数无效: %1", L"An invalid command-line argument was specified: %1"},  // (u)
};

constexpr bool TableInEnumOrder()
{
    for (size_t i = 0; i < std::size(kTexts); ++i) {
        if (kTexts[i].id != static_cast<Text>(i)) return false;
    }
    return std::size(kTexts) == static_cast<size_t>(Text::Count);
}
static_assert(TableInEnumOrder(), "one table entry per text, in the order of the enumeration");

}  // namespace

std::wstring GetText(Text id, bool english)
{
    const TextPair& entry = kTexts[static_cast<size_t>(id)];
    return english ? entry.english : entry.chinese;
}

std::wstring FormatText(Text id, bool english, const std::wstring& argument)
{
    std::wstring text = GetText(id, english);
    const size_t mark = text.find(L"%1");
    if (mark != std::wstring::npos) text.replace(mark, 2, argument);
    return text;
}

}  // namespace bde
