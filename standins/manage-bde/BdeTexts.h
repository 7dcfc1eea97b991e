#pragma once
// Every text that the stand-in prints, in the Chinese (Simplified) and the English edition.
// "%1" in a text is replaced by a volume name, an error code or an argument.
#include <string>

namespace bde {

enum class Text
{
    HeaderTool,
    HeaderCopyright,
    ListIntroFirst,
    ListIntroSecond,
    VolumeHeading,
    VolumeHeadingUnknown,
    OsVolume,
    DataVolume,
    FieldSize,
    FieldVersion,
    FieldConversion,
    FieldPercentage,
    FieldMethod,
    FieldProtection,
    FieldLock,
    FieldIdentification,
    FieldAutoUnlock,
    FieldProtectors,
    ValueNone,
    ValueUnknown,
    ValueNoneFound,
    SizeUnknown,
    PercentageUnknown,
    FullyEncrypted,
    UsedSpaceOnlyEncrypted,
    FullyDecrypted,
    EncryptionInProgress,
    DecryptionInProgress,
    EncryptionPaused,
    DecryptionPaused,
    ProtectionOn,
    ProtectionOff,
    Unlocked,
    Locked,
    AutoUnlockDisabled,
    ProtectorTpm,
    ProtectorNumericalPassword,
    ProtectorPassword,
    ProtectorExternalKey,
    AllKeyProtectors,
    ProtectorId,
    PcrProfile,
    PcrSecureBoot,
    RecoveryPasswordLabel,
    ExternalKeyFileName,
    UnlockSucceeded,
    DecryptionStarted,
    ErrorPrefix,
    ErrorWithCode,
    NoKeyProtectors,
    CannotOpenVolume,
    AccessDenied,
    AccessDeniedAdvice,
    WrongRecoveryPassword,
    MalformedRecoveryPassword,
    DriveLocked,
    DriveNotEncrypted,
    VolumeNotLocked,
    InvalidArgument,
    Count
};

std::wstring GetText(Text id, bool english);
// GetText with "%1" replaced by the argument.
std::wstring FormatText(Text id, bool english, const std::wstring& argument);

}  // namespace bde
