#pragma once
// The simulated machine that the manage-bde stand-in answers for: its BitLocker volumes and the
// knobs that make it misbehave on purpose. Kept in a UTF-8 text file (format in BdeState.cpp) so
// that a test can set up a machine and see what a command changed.
#include <optional>
#include <string>
#include <vector>

namespace bde {

constexpr wchar_t kStateVariable[] = L"QUORLIN_BDE_STATE";
constexpr wchar_t kJournalSuffix[] = L".journal";

enum class Conversion
{
    FullyEncrypted,
    UsedSpaceOnlyEncrypted,
    FullyDecrypted,
    EncryptionInProgress,
    DecryptionInProgress,
    EncryptionPaused,
    DecryptionPaused,
};

enum class Protector
{
    Tpm,
    NumericalPassword,
    Password,
    ExternalKey
};

enum class VolumeKind
{
    System,
    Data
};

struct KeyProtector
{
    Protector type = Protector::Tpm;
    std::wstring id;                // "{GUID}"
    std::wstring recoveryPassword;  // numerical password only: 8 hyphen-separated groups of 6 digits
};

struct Volume
{
    std::wstring name;  // "C:" or a volume GUID path
    std::wstring label;
    VolumeKind kind = VolumeKind::Data;
    std::wstring size = L"100.00 GB";
    Conversion conversion = Conversion::FullyDecrypted;
    double percentage = 0.0;
    std::wstring method = L"XTS-AES 128";  // shown only while the volume holds encrypted data
    bool protectionOn = false;
    bool locked = false;
    std::vector<KeyProtector> protectors;

    bool HasEncryptedData() const { return conversion != Conversion::FullyDecrypted; }
    const KeyProtector* FindProtector(Protector type) const;
};

struct Machine
{
    std::vector<Volume> volumes;
    // Knobs for tests of the caller's failure paths.
    bool denyAccess = false;      // refuse everything as without administrator rights
    bool english = false;         // answer as the English edition does
    bool utf8 = false;            // print UTF-8 instead of code page 936
    int pieces = 1;               // write the output in this many pieces...
    unsigned pieceDelayMs = 0;    // ...with this pause between them
    std::optional<int> exitCode;  // replaces the real exit code
    bool hang = false;            // never end after printing
    std::wstring crashAfter;      // print up to the end of the first line holding it, then crash

    // C: encrypted system volume, D: locked data volume, E: decrypted data volume. The test bed's
    // drive F:, which takes key files, is left out; a test that wants it listed adds it.
    static Machine Default();
    Volume* Find(const std::wstring& name);
    const Volume* Find(const std::wstring& name) const;
};

// Text form of a machine; ParseMachine reports the first line it does not understand (1-based).
std::wstring FormatMachine(const Machine& machine);
bool ParseMachine(const std::wstring& text, Machine* machine, int* badLine = nullptr);

// Whole-file helpers, UTF-8 without byte-order mark.
bool ReadTextFile(const std::wstring& path, std::wstring* text);
bool WriteTextFile(const std::wstring& path, const std::wstring& text);
bool AppendTextFile(const std::wstring& path, const std::wstring& text);

bool LoadMachine(const std::wstring& path, Machine* machine);
bool SaveMachine(const std::wstring& path, const Machine& machine);

// Recovery passwords as Windows reads them: 8 groups of 6 digits separated by hyphens (or blanks),
// each group a multiple of 11 no larger than 11 * 65535. Empty when malformed.
std::wstring CanonicalRecoveryPassword(const std::wstring& typed);

}  // namespace bde
