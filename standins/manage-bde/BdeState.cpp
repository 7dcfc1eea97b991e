// State file of the manage-bde stand-in. UTF-8 text, one setting per line, "key value" split at
// the first blank; blank lines and lines starting with "#" are skipped. Machine settings:
//   deny | english | utf8 | hang      a flag, on when the line is present (utf8: print UTF-8, as
//                                     where Windows uses UTF-8 for its ANSI code page)
//   pieces N DELAY_MS                 write the output in N pieces, DELAY_MS apart
//   exit-code N                       exit with N whatever happened
//   crash-after TEXT                  print up to the end of the first line holding TEXT, then end
//                                     as a crashed program does
// "volume NAME" starts a volume (NAME: "C:" or a volume GUID path); its settings follow:
//   label TEXT                        the rest of the line, may be empty
//   kind system|data
//   size TEXT                         "475.69 GB"
//   conversion fully-encrypted|used-space-only|fully-decrypted|encrypting|decrypting|
//              encryption-paused|decryption-paused
//   percentage 100.0
//   method TEXT                       "XTS-AES 128"
//   protection on|off
//   lock locked|unlocked
//   protector tpm|numerical-password|password|external-key {ID} [RECOVERY-PASSWORD]
#include "standins/manage-bde/BdeState.h"

#include "framework/base/KernelHandle.h"
#include "framework/base/TextCodec.h"

#include <windows.h>

#include <cstdlib>
#include <cwchar>
#include <iterator>
#include <sstream>

namespace bde {
namespace {

template <typename Enum>
struct NamedValue
{
    Enum value;
    const wchar_t* name;
};

constexpr NamedValue<Conversion> kConversionNames[] = {
    {Conversion::FullyEncrypted, L"fully-encrypted"},     {Conversion::UsedSpaceOnlyEncrypted, L"used-space-only"},
    {Conversion::FullyDecrypted, L"fully-decrypted"},     {Conversion::EncryptionInProgress, L"encrypting"},
    {Conversion::DecryptionInProgress, L"decrypting"},    {Conversion::EncryptionPaused, L"encryption-paused"},
    {Conversion::DecryptionPaused, L"decryption-paused"},
};

constexpr NamedValue<Protector> kProtectorNames[] = {
    {Protector::Tpm, L"tpm"},
    {Protector::NumericalPassword, L"numerical-password"},
    {Protector::Password, L"password"},
    {Protector::ExternalKey, L"external-key"},
};

constexpr NamedValue<VolumeKind> kKindNames[] = {
    {VolumeKind::System, L"system"},
    {VolumeKind::Data, L"data"},
};

template <typename Enum, size_t N>
const wchar_t* NameOf(const NamedValue<Enum> (&table)[N], Enum value)
{
    for (const auto& entry : table) {
        if (entry.value == value) return entry.name;
    }
    return L"";
}

template <typename Enum, size_t N>
bool ValueOf(const NamedValue<Enum> (&table)[N], const std::wstring& name, Enum* value)
{
    for (const auto& entry : table) {
        if (name == entry.name) {
            *value = entry.value;
            return true;
        }
    }
    return false;
}

bool ParseSwitch(const std::wstring& text, const wchar_t* on, const wchar_t* off, bool* value)
{
    if (text == on)
        *value = true;
    else if (text == off)
        *value = false;
    else
        return false;
    return true;
}

bool ParseInt(const std::wstring& text, int* value)
{
    wchar_t* end = nullptr;
    const long number = std::wcstol(text.c_str(), &end, 10);
    if (text.empty() || *end != L'\0') return false;
    *value = static_cast<int>(number);
    return true;
}

bool ParsePercentage(const std::wstring& text, double* value)
{
    wchar_t* end = nullptr;
    const double number = std::wcstod(text.c_str(), &end);
    if (text.empty() || *end != L'\0' || number < 0.0 || number > 100.0) return false;
    *value = number;
    return true;
}

bool ParseProtector(const std::wstring& text, KeyProtector* protector)
{
    std::wistringstream words(text);
    std::wstring type;
    words >> type >> protector->id >> protector->recoveryPassword;
    if (!ValueOf(kProtectorNames, type, &protector->type) || protector->id.empty()) return false;
    return (protector->type == Protector::NumericalPassword) == !protector->recoveryPassword.empty();
}

bool ParsePieces(const std::wstring& text, Machine* machine)
{
    std::wistringstream words(text);
    int pieces = 0;
    long delay = -1;
    if (!(words >> pieces >> delay) || pieces < 1 || delay < 0) return false;
    machine->pieces = pieces;
    machine->pieceDelayMs = static_cast<unsigned>(delay);
    return true;
}

bool ParseVolumeLine(const std::wstring& key, const std::wstring& value, Volume* volume)
{
    if (key == L"label") {
        volume->label = value;
        return true;
    }
    if (key == L"size") {
        volume->size = value;
        return !value.empty();
    }
    if (key == L"method") {
        volume->method = value;
        return !value.empty();
    }
    if (key == L"kind") return ValueOf(kKindNames, value, &volume->kind);
    if (key == L"conversion") return ValueOf(kConversionNames, value, &volume->conversion);
    if (key == L"percentage") return ParsePercentage(value, &volume->percentage);
    if (key == L"protection") return ParseSwitch(value, L"on", L"off", &volume->protectionOn);
    if (key == L"lock") return ParseSwitch(value, L"locked", L"unlocked", &volume->locked);
    if (key == L"protector") {
        KeyProtector protector;
        if (!ParseProtector(value, &protector)) return false;
        volume->protectors.push_back(protector);
        return true;
    }
    return false;
}

bool ParseMachineLine(const std::wstring& key, const std::wstring& value, Machine* machine)
{
    if (key == L"deny") return (machine->denyAccess = true);
    if (key == L"english") return (machine->english = true);
    if (key == L"utf8") return (machine->utf8 = true);
    if (key == L"hang") return (machine->hang = true);
    if (key == L"pieces") return ParsePieces(value, machine);
    if (key == L"exit-code") {
        int code = 0;
        if (!ParseInt(value, &code)) return false;
        machine->exitCode = code;
        return true;
    }
    if (key == L"crash-after") {
        machine->crashAfter = value;
        return !value.empty();
    }
    if (key == L"volume") {
        if (value.empty()) return false;
        Volume volume;
        volume.name = value;
        machine->volumes.push_back(volume);
        return true;
    }
    return !machine->volumes.empty() && ParseVolumeLine(key, value, &machine->volumes.back());
}

std::wstring FormatPercentage(double value)
{
    wchar_t text[32];
    std::swprintf(text, std::size(text), L"%.1f", value);
    return text;
}

bool WriteBytes(const std::wstring& path, const std::string& bytes, DWORD disposition, DWORD access)
{
    fx::CKernelHandle file(
        CreateFileW(path.c_str(), access, FILE_SHARE_READ, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid()) return false;
    DWORD written = 0;
    return bytes.empty() || (WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                             written == bytes.size());
}

}  // namespace

const KeyProtector* Volume::FindProtector(Protector type) const
{
    for (const auto& protector : protectors) {
        if (protector.type == type) return &protector;
    }
    return nullptr;
}

Machine Machine::Default()
{
    Machine machine;
    Volume system;
    system.name = L"C:";
    system.label = L"OS";
    system.kind = VolumeKind::System;
    system.size = L"475.69 GB";
    system.conversion = Conversion::FullyEncrypted;
    system.percentage = 100.0;
    system.protectionOn = true;
    system.protectors = {
        {Protector::Tpm, L"{EBDEC50E-0666-4674-9EF4-0123456789AB}", L""},
        {Protector::NumericalPassword, L"{4B82A66E-A0C0-4EF4-AB39-0123456789AB}",
         L"571406-613470-463529-412599-375045-353639-703813-007909"},
    };
    machine.volumes.push_back(system);

    Volume locked;
    locked.name = L"D:";
    locked.label = L"WD";
    locked.size = L"931.48 GB";
    locked.conversion = Conversion::UsedSpaceOnlyEncrypted;
    locked.percentage = 100.0;
    locked.protectionOn = true;
    locked.locked = true;
    locked.protectors = {
        {Protector::NumericalPassword, L"{0F2C8E41-7B3D-4A59-9C16-5D8E2B7A4C03}",
         L"160083-390742-605913-261228-093346-480293-564553-218031"},
        {Protector::Password, L"{9A61D3C7-2E84-4F0B-B5D2-71C4E0A98F36}", L""},
    };
    machine.volumes.push_back(locked);

    Volume plain;
    plain.name = L"E:";
    plain.label = L"Data";
    plain.size = L"232.88 GB";
    machine.volumes.push_back(plain);
    return machine;
}

Volume* Machine::Find(const std::wstring& name)
{
    for (auto& volume : volumes) {
        if (_wcsicmp(volume.name.c_str(), name.c_str()) == 0) return &volume;
    }
    return nullptr;
}

const Volume* Machine::Find(const std::wstring& name) const { return const_cast<Machine*>(this)->Find(name); }

std::wstring FormatMachine(const Machine& machine)
{
    std::wostringstream out;
    if (machine.denyAccess) out << L"deny\n";
    if (machine.english) out << L"english\n";
    if (machine.utf8) out << L"utf8\n";
    if (machine.hang) out << L"hang\n";
    if (machine.pieces != 1 || machine.pieceDelayMs != 0) {
        out << L"pieces " << machine.pieces << L' ' << machine.pieceDelayMs << L'\n';
    }
    if (machine.exitCode) out << L"exit-code " << *machine.exitCode << L'\n';
    if (!machine.crashAfter.empty()) out << L"crash-after " << machine.crashAfter << L'\n';
    for (const auto& volume : machine.volumes) {
        out << L"volume " << volume.name << L'\n' << L"label " << volume.label << L'\n' << L"kind "
            << NameOf(kKindNames, volume.kind) << L'\n' << L"size " << volume.size << L'\n' << L"conversion "
            << NameOf(kConversionNames, volume.conversion) << L'\n' << L"percentage "
            << FormatPercentage(volume.percentage) << L'\n' << L"method " << volume.method << L'\n' << L"protection "
            << (volume.protectionOn ? L"on" : L"off") << L'\n' << L"lock " << (volume.locked ? L"locked" : L"unlocked")
            << L'\n';
        for (const auto& protector : volume.protectors) {
            out << L"protector " << NameOf(kProtectorNames, protector.type) << L' ' << protector.id;
            if (!protector.recoveryPassword.empty()) out << L' ' << protector.recoveryPassword;
            out << L'\n';
        }
    }
    return out.str();
}

bool ParseMachine(const std::wstring& text, Machine* machine, int* badLine)
{
    Machine parsed;
    std::wistringstream lines(text);
    std::wstring line;
    for (int number = 1; std::getline(lines, line); ++number) {
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        if (line.empty() || line[0] == L'#') continue;
        const size_t blank = line.find(L' ');
        const std::wstring key = line.substr(0, blank);
        const std::wstring value = blank == std::wstring::npos ? L"" : line.substr(blank + 1);
        if (!ParseMachineLine(key, value, &parsed)) {
            if (badLine) *badLine = number;
            return false;
        }
    }
    *machine = parsed;
    return true;
}

bool ReadTextFile(const std::wstring& path, std::wstring* text)
{
    fx::CKernelHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid()) return false;
    std::string bytes;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
    *text = fx::DecodeCodePage(bytes, CP_UTF8);
    return true;
}

bool WriteTextFile(const std::wstring& path, const std::wstring& text)
{
    return WriteBytes(path, fx::EncodeCodePage(text, CP_UTF8), CREATE_ALWAYS, GENERIC_WRITE);
}

bool AppendTextFile(const std::wstring& path, const std::wstring& text)
{
    // FILE_APPEND_DATA without FILE_WRITE_DATA makes every write land at the end of the file.
    return WriteBytes(path, fx::EncodeCodePage(text, CP_UTF8), OPEN_ALWAYS, FILE_APPEND_DATA);
}

bool LoadMachine(const std::wstring& path, Machine* machine)
{
    std::wstring text;
    return ReadTextFile(path, &text) && ParseMachine(text, machine);
}

bool SaveMachine(const std::wstring& path, const Machine& machine)
{
    return WriteTextFile(path, FormatMachine(machine));
}

std::wstring CanonicalRecoveryPassword(const std::wstring& typed)
{
    constexpr size_t kGroups = 8;
    constexpr size_t kDigits = 6;
    constexpr long kGroupFactor = 11;
    constexpr long kLargestGroup = kGroupFactor * 0xFFFF;
    std::wstring canonical;
    size_t groups = 0;
    size_t digits = 0;
    for (const wchar_t c : typed) {
        if (c >= L'0' && c <= L'9') {
            if (++digits > kDigits) return L"";
            canonical += c;
            if (digits == kDigits) {
                const long group = std::wcstol(canonical.c_str() + canonical.size() - kDigits, nullptr, 10);
                if (group % kGroupFactor != 0 || group > kLargestGroup) return L"";
                ++groups;
            }
        } else if ((c == L'-' || c == L' ') && digits == kDigits && groups < kGroups) {
            canonical += L'-';
            digits = 0;
        } else {
            return L"";
        }
    }
    return groups == kGroups && digits == kDigits ? canonical : L"";
}

}  // namespace bde
