// Stand-in for the system's manage-bde: answers "-status", "-protectors -get X:",
// "-unlock X: -RecoveryPassword P" and "-off X:" for the simulated machine named by
// QUORLIN_BDE_STATE (or a built-in default machine), printing code page 936 bytes to standard
// output as the Chinese (Simplified) edition of Windows 10 does (or the English edition's text, or
// UTF-8 as on a Windows whose ANSI code page is UTF-8), and writing state changes back.
#include "framework/base/TextCodec.h"
#include "standins/manage-bde/BdeOutput.h"
#include "standins/manage-bde/BdeState.h"

#include <windows.h>

#include <algorithm>
#include <cwctype>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace bde;

constexpr int kSucceeded = 0;
constexpr int kFailed = -1;
constexpr int kStateFileUnreadable = 2;
constexpr UINT kCrashed = 0xC0000005;  // the exit code of a program ended by an access violation
constexpr wchar_t kCodeNotEncrypted[] = L"0x80310001";
constexpr wchar_t kCodeWrongPassword[] = L"0x80310027";
constexpr wchar_t kCodeMalformedPassword[] = L"0x80310035";  // FVE_E_INVALID_PASSWORD_FORMAT
// Where the percentage stands right after decryption has started.
constexpr double kFirstDecryptionStep = 0.5;

enum class Command
{
    None,
    Status,
    Protectors,
    Unlock,
    Off
};

struct Request
{
    Command command = Command::None;
    std::wstring volume;
    bool get = false;
    bool hasPassword = false;
    std::wstring password;
    std::wstring invalidArgument;  // the first argument that does not fit, if any
    bool valid = false;
};

// Switches start with "-" or "/" and are case-insensitive, as on Windows.
std::wstring SwitchName(const std::wstring& argument)
{
    if (argument.size() < 2 || (argument[0] != L'-' && argument[0] != L'/')) return L"";
    std::wstring name = argument.substr(1);
    std::transform(name.begin(), name.end(), name.begin(), [](wchar_t c) { return std::towlower(c); });
    return name;
}

bool SetCommand(Request* request, Command command)
{
    if (request->command != Command::None) return false;
    request->command = command;
    return true;
}

bool TakeArgument(const std::vector<std::wstring>& arguments, size_t* index, Request* request)
{
    const std::wstring& argument = arguments[*index];
    const std::wstring name = SwitchName(argument);
    if (name.empty()) {
        if (!request->volume.empty()) return false;
        request->volume = argument;
        return true;
    }
    if (name == L"status") return SetCommand(request, Command::Status);
    if (name == L"protectors") return SetCommand(request, Command::Protectors);
    if (name == L"unlock") return SetCommand(request, Command::Unlock);
    if (name == L"off") return SetCommand(request, Command::Off);
    if (name == L"get") return !std::exchange(request->get, true);
    if ((name == L"recoverypassword" || name == L"rp") && *index + 1 < arguments.size() && !request->hasPassword) {
        request->hasPassword = true;
        request->password = arguments[++*index];
        return true;
    }
    return false;
}

bool Complete(const Request& request)
{
    const bool hasVolume = !request.volume.empty();
    switch (request.command) {
    case Command::Status: return !request.get && !request.hasPassword;
    case Command::Protectors: return request.get && hasVolume && !request.hasPassword;
    case Command::Unlock: return hasVolume && request.hasPassword && !request.get;
    case Command::Off: return hasVolume && !request.get && !request.hasPassword;
    case Command::None: break;
    }
    return false;
}

Request ParseRequest(const std::vector<std::wstring>& arguments)
{
    Request request;
    for (size_t i = 0; i < arguments.size(); ++i) {
        if (!TakeArgument(arguments, &i, &request)) {
            request.invalidArgument = arguments[i];
            return request;
        }
    }
    request.valid = Complete(request);
    if (!request.valid && !arguments.empty()) request.invalidArgument = arguments.front();
    return request;
}

int Unlock(CReport* report, Volume* volume, const std::wstring& typedPassword)
{
    if (!volume->HasEncryptedData() && volume->protectors.empty()) {
        report->ErrorWithCode(kCodeNotEncrypted, report->T(Text::DriveNotEncrypted));
        return kFailed;
    }
    if (!volume->locked) {
        report->Error(report->T(Text::VolumeNotLocked, volume->name));
        return kFailed;
    }
    const std::wstring password = CanonicalRecoveryPassword(typedPassword);
    if (password.empty()) {
        report->ErrorWithCode(kCodeMalformedPassword, report->T(Text::MalformedRecoveryPassword));
        return kFailed;
    }
    const bool matches = std::any_of(volume->protectors.begin(), volume->protectors.end(), [&](const KeyProtector& p) {
        return p.type == Protector::NumericalPassword && p.recoveryPassword == password;
    });
    if (!matches) {
        report->ErrorWithCode(kCodeWrongPassword, report->T(Text::WrongRecoveryPassword));
        return kFailed;
    }
    volume->locked = false;
    report->Line(report->T(Text::UnlockSucceeded, volume->name));
    return kSucceeded;
}

int TurnOff(CReport* report, Volume* volume)
{
    if (volume->locked) {
        report->Error(report->T(Text::DriveLocked));
        return kFailed;
    }
    if (!volume->HasEncryptedData()) {
        report->ErrorWithCode(kCodeNotEncrypted, report->T(Text::DriveNotEncrypted));
        return kFailed;
    }
    volume->conversion = Conversion::DecryptionInProgress;
    volume->percentage = std::max(0.0, std::min(volume->percentage, 100.0 - kFirstDecryptionStep));
    volume->protectionOn = false;
    report->Line(report->T(Text::DecryptionStarted));
    return kSucceeded;
}

// Runs the request against the machine; *changed tells whether the machine must be stored.
int Execute(const Request& request, Machine* machine, CReport* report, bool* changed)
{
    if (!request.valid) {
        report->Error(report->T(Text::InvalidArgument, request.invalidArgument));
        return kFailed;
    }
    Volume* volume = request.volume.empty() ? nullptr : machine->Find(request.volume);
    if (!request.volume.empty() && !volume) {
        report->Error(report->T(Text::CannotOpenVolume, request.volume));
        return kFailed;
    }
    switch (request.command) {
    case Command::Status: WriteStatus(report, *machine, volume); return kSucceeded;
    case Command::Protectors: return WriteProtectors(report, *volume) ? kSucceeded : kFailed;
    case Command::Unlock: *changed = true; return Unlock(report, volume, request.password);
    case Command::Off: *changed = true; return TurnOff(report, volume);
    case Command::None: break;
    }
    return kFailed;
}

std::wstring EnvironmentValue(const wchar_t* name)
{
    const DWORD length = GetEnvironmentVariableW(name, nullptr, 0);
    if (length == 0) return L"";
    std::wstring value(length, L'\0');
    value.resize(GetEnvironmentVariableW(name, value.data(), length));
    return value;
}

std::wstring JoinArguments(const std::vector<std::wstring>& arguments)
{
    std::wstring line;
    for (const auto& argument : arguments) {
        if (!line.empty()) line += L' ';
        const bool quote = argument.empty() || argument.find(L' ') != std::wstring::npos;
        line += quote ? L"\"" + argument + L"\"" : argument;
    }
    return line;
}

// Cuts the output into the requested number of pieces at line ends, so that no piece splits a
// character of several bytes; fewer pieces when there are fewer lines.
std::vector<std::string> CutIntoPieces(const std::string& bytes, int pieces)
{
    std::vector<std::string> result;
    size_t start = 0;
    for (int i = 1; i <= pieces && start < bytes.size(); ++i) {
        size_t end = bytes.size() * static_cast<size_t>(i) / static_cast<size_t>(pieces);
        if (end <= start) continue;
        const size_t lineEnd = bytes.find('\n', end - 1);
        end = i == pieces || lineEnd == std::string::npos ? bytes.size() : lineEnd + 1;
        result.push_back(bytes.substr(start, end - start));
        start = end;
    }
    return result;
}

void Emit(const std::wstring& text, const Machine& machine)
{
    // Raw bytes through WriteFile: no console code page conversion, as a redirected manage-bde.
    HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    const UINT codePage = machine.utf8 ? CP_UTF8 : fx::kCodePageGbk;
    const std::vector<std::string> pieces = CutIntoPieces(fx::EncodeCodePage(text, codePage), machine.pieces);
    for (size_t i = 0; i < pieces.size(); ++i) {
        if (i > 0) Sleep(machine.pieceDelayMs);
        DWORD written = 0;
        WriteFile(output, pieces[i].data(), static_cast<DWORD>(pieces[i].size()), &written, nullptr);
    }
}

void ReportUnreadableState(const std::wstring& path)
{
    const std::string message =
        "manage-bde stand-in: cannot read the machine in " + fx::EncodeCodePage(path, fx::kCodePageGbk) + "\r\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), message.data(), static_cast<DWORD>(message.size()), &written, nullptr);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::vector<std::wstring> arguments(argv + 1, argv + argc);
    const std::wstring statePath = EnvironmentValue(kStateVariable);
    Machine machine = Machine::Default();
    const bool stored = !statePath.empty() && GetFileAttributesW(statePath.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (!statePath.empty()) AppendTextFile(statePath + kJournalSuffix, JoinArguments(arguments) + L"\r\n");
    if (stored && !LoadMachine(statePath, &machine)) {
        ReportUnreadableState(statePath);
        return kStateFileUnreadable;
    }

    CReport report(machine.english);
    report.Header();
    int result = kFailed;
    if (machine.denyAccess) {
        report.Error(report.T(Text::AccessDenied));
        report.Line(report.T(Text::AccessDeniedAdvice));
    } else {
        bool changed = false;
        result = Execute(ParseRequest(arguments), &machine, &report, &changed);
        // Stored before anything is printed, so that whoever reads the output sees the new state.
        if (stored && changed && result == kSucceeded) SaveMachine(statePath, machine);
    }
    const size_t crashLine = machine.crashAfter.empty() ? std::wstring::npos : report.Str().find(machine.crashAfter);
    if (crashLine != std::wstring::npos) {
        const size_t lineEnd = report.Str().find(L'\n', crashLine);
        Emit(report.Str().substr(0, lineEnd == std::wstring::npos ? lineEnd : lineEnd + 1), machine);
        TerminateProcess(GetCurrentProcess(), kCrashed);
    }
    Emit(report.Str(), machine);
    if (machine.hang) Sleep(INFINITE);
    return machine.exitCode.value_or(result);
}
