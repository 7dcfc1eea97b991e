#include "standins/manage-bde/BdeOutput.h"

#include <cstdio>
#include <iterator>

namespace bde {
namespace {

constexpr size_t kFieldIndent = 4;
constexpr size_t kListIndent = 8;
constexpr size_t kDetailIndent = 6;
// Display column of the field values: the Chinese labels are shorter on screen than the English.
constexpr size_t kValueColumnChinese = 23;
constexpr size_t kValueColumnEnglish = 26;
constexpr wchar_t kBitLockerVersion[] = L"2.0";
constexpr wchar_t kPcrIndices[] = L"7, 11";

size_t DisplayWidth(const std::wstring& text)
{
    size_t width = 0;
    for (const wchar_t c : text) width += c < 0x80 ? 1 : 2;
    return width;
}

Text ConversionText(Conversion conversion)
{
    switch (conversion) {
    case Conversion::FullyEncrypted: return Text::FullyEncrypted;
    case Conversion::UsedSpaceOnlyEncrypted: return Text::UsedSpaceOnlyEncrypted;
    case Conversion::FullyDecrypted: return Text::FullyDecrypted;
    case Conversion::EncryptionInProgress: return Text::EncryptionInProgress;
    case Conversion::DecryptionInProgress: return Text::DecryptionInProgress;
    case Conversion::EncryptionPaused: return Text::EncryptionPaused;
    case Conversion::DecryptionPaused: return Text::DecryptionPaused;
    }
    return Text::ValueUnknown;
}

Text ProtectorText(Protector type)
{
    switch (type) {
    case Protector::Tpm: return Text::ProtectorTpm;
    case Protector::NumericalPassword: return Text::ProtectorNumericalPassword;
    case Protector::Password: return Text::ProtectorPassword;
    case Protector::ExternalKey: return Text::ProtectorExternalKey;
    }
    return Text::ValueUnknown;
}

std::wstring Percentage(double value)
{
    wchar_t text[32];
    std::swprintf(text, std::size(text), L"%.1f%%", value);
    return text;
}

void WriteHeading(CReport* report, const Volume& volume)
{
    const std::wstring label = volume.locked ? report->T(Text::VolumeHeadingUnknown) : volume.label;
    report->Line(report->T(Text::VolumeHeading, volume.name + L" [" + label + L"]"));
}

void WriteVolumeBlock(CReport* report, const Volume& volume)
{
    WriteHeading(report, volume);
    report->Line(report->T(volume.kind == VolumeKind::System ? Text::OsVolume : Text::DataVolume));
    report->Line();
    const bool known = !volume.locked;
    const bool encrypted = volume.HasEncryptedData();
    const std::wstring unknown = report->T(Text::ValueUnknown);
    const std::wstring none = report->T(Text::ValueNone);
    report->Field(Text::FieldSize, known ? volume.size : report->T(Text::SizeUnknown));
    report->Field(Text::FieldVersion, encrypted ? kBitLockerVersion : none);
    report->Field(Text::FieldConversion, known ? report->T(ConversionText(volume.conversion)) : unknown);
    report->Field(Text::FieldPercentage, known ? Percentage(volume.percentage) : report->T(Text::PercentageUnknown));
    report->Field(Text::FieldMethod, encrypted ? volume.method : none);
    const Text protection = volume.protectionOn ? Text::ProtectionOn : Text::ProtectionOff;
    report->Field(Text::FieldProtection, known ? report->T(protection) : unknown);
    report->Field(Text::FieldLock, report->T(volume.locked ? Text::Locked : Text::Unlocked));
    report->Field(Text::FieldIdentification, encrypted ? unknown : none);
    if (volume.kind == VolumeKind::Data) report->Field(Text::FieldAutoUnlock, report->T(Text::AutoUnlockDisabled));
    if (volume.protectors.empty()) {
        report->Field(Text::FieldProtectors, report->T(Text::ValueNoneFound));
    } else {
        report->Indented(kFieldIndent, report->T(Text::FieldProtectors));
        for (const auto& protector : volume.protectors) {
            report->Indented(kListIndent, report->T(ProtectorText(protector.type)));
        }
    }
    report->Line();
}

void WriteProtectorDetails(CReport* report, const KeyProtector& protector, bool locked)
{
    report->Indented(kFieldIndent, report->T(ProtectorText(protector.type)) + L":");
    report->Indented(kDetailIndent, report->T(Text::ProtectorId) + L" " + protector.id);
    switch (protector.type) {
    case Protector::Tpm:
        report->Indented(kDetailIndent, report->T(Text::PcrProfile));
        report->Indented(kListIndent, kPcrIndices);
        report->Indented(kListIndent, report->T(Text::PcrSecureBoot));
        break;
    case Protector::NumericalPassword:
        // A locked volume's recovery password cannot be read: its heading and ID only.
        if (locked) break;
        report->Indented(kDetailIndent, report->T(Text::RecoveryPasswordLabel));
        report->Indented(kListIndent, protector.recoveryPassword);
        break;
    case Protector::ExternalKey:
        // The key file is named after the protector's ID, without the braces.
        report->Indented(kDetailIndent, report->T(Text::ExternalKeyFileName));
        report->Indented(kListIndent, protector.id.substr(1, protector.id.size() - 2) + L".BEK");
        break;
    case Protector::Password: break;
    }
    report->Line();
}

}  // namespace

void CReport::Field(Text label, const std::wstring& value)
{
    const std::wstring text = std::wstring(kFieldIndent, L' ') + T(label);
    const size_t column = m_english ? kValueColumnEnglish : kValueColumnChinese;
    const size_t width = DisplayWidth(text);
    Line(text + std::wstring(width < column ? column - width : 1, L' ') + value);
}

void CReport::Header()
{
    Line(T(Text::HeaderTool));
    Line(T(Text::HeaderCopyright));
    Line();
}

void CReport::ErrorWithCode(const wchar_t* code, const std::wstring& message)
{
    Error(T(Text::ErrorWithCode, code));
    Line(message);
}

void WriteStatus(CReport* report, const Machine& machine, const Volume* only)
{
    if (only) {
        WriteVolumeBlock(report, *only);
        return;
    }
    report->Line(report->T(Text::ListIntroFirst));
    report->Line(report->T(Text::ListIntroSecond));
    for (const auto& volume : machine.volumes) WriteVolumeBlock(report, volume);
}

bool WriteProtectors(CReport* report, const Volume& volume)
{
    WriteHeading(report, volume);
    report->Line(report->T(Text::AllKeyProtectors));
    report->Line();
    if (volume.protectors.empty()) {
        report->Error(report->T(Text::NoKeyProtectors));
        return false;
    }
    for (const auto& protector : volume.protectors) WriteProtectorDetails(report, protector, volume.locked);
    return true;
}

}  // namespace bde
