// Stand-in for the maker's feedback component: the nine exports of services/FeedbackApi.h with a
// small real working (configuration beside the component, survey record in the common application
// data, pages opened through the shell) and a call journal for tests.
#include "services/FeedbackApi.h"
#include "standins/feedback/FeedbackComponent.h"

#include "framework/base/KernelHandle.h"
#include "framework/base/LibraryLoading.h"
#include "framework/base/ModulePath.h"
#include "framework/base/TextCodec.h"

#include <shellapi.h>
#include <shlobj.h>
#include <wininet.h>

#include <algorithm>
#include <ctime>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

using namespace feedback::standin;

// No C++ exception may cross the component's C boundary.
template <typename Body>
int Guarded(Body body) noexcept
{
    try {
        return body();
    } catch (...) {
        return 0;
    }
}

HMODULE ThisModule()
{
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&ThisModule), &module);
    return module;
}

std::wstring ConfigPath() { return fx::ModuleFolder(ThisModule()) + L"\\" + kConfigFileName; }

std::wstring EnvironmentValue(const wchar_t* name)
{
    const DWORD needed = GetEnvironmentVariableW(name, nullptr, 0);
    if (needed == 0) return {};
    std::wstring value(needed, L'\0');
    const DWORD length = GetEnvironmentVariableW(name, value.data(), needed);
    value.resize(length < needed ? length : 0);
    return value;
}

// One record per line: a caller's tab, CR or LF must not split or shift the fields.
std::wstring Field(const wchar_t* text)
{
    if (!text) return L"(null)";
    std::wstring field(text);
    for (wchar_t& c : field) {
        if (c < L' ') c = L' ';
    }
    return field;
}

std::wstring Line(std::initializer_list<std::wstring> fields)
{
    std::wstring line;
    for (const std::wstring& field : fields) {
        if (!line.empty()) line += L'\t';
        line += field;
    }
    return line;
}

// Appends one UTF-8 line; FILE_APPEND_DATA keeps concurrent writers from overwriting each other.
bool AppendLine(const std::wstring& path, const std::wstring& line)
{
    fx::CKernelHandle file(CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                       OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid()) return false;
    const std::string bytes = fx::EncodeCodePage(line, CP_UTF8) + "\r\n";
    DWORD written = 0;
    return WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

// Journals the call (its name, then its arguments) when tests asked for it; true then, and pages are
// not opened.
bool Journal(std::initializer_list<std::wstring> nameAndArguments)
{
    const std::wstring journal = EnvironmentValue(kJournalVariable);
    if (journal.empty()) return false;
    AppendLine(journal, Line(nameAndArguments));
    return true;
}

// Dotted numeric version, "1.0.12" -> {1, 0, 12}; empty when it is anything else.
std::vector<unsigned long> VersionParts(const std::wstring& text)
{
    std::vector<unsigned long> parts;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t dot = std::min(text.find(L'.', start), text.size());
        if (dot == start || dot - start > 9) return {};
        unsigned long part = 0;
        for (size_t i = start; i < dot; ++i) {
            if (text[i] < L'0' || text[i] > L'9') return {};
            part = part * 10 + (text[i] - L'0');
        }
        parts.push_back(part);
        start = dot + 1;
    }
    return parts;
}

// Missing trailing parts count as 0, so "1.0" and "1.0.0" are the same version.
bool IsNewer(const std::wstring& candidate, const std::wstring& current)
{
    std::vector<unsigned long> a = VersionParts(candidate);
    std::vector<unsigned long> b = VersionParts(current);
    if (a.empty() || b.empty()) return false;
    const size_t length = std::max(a.size(), b.size());
    a.resize(length);
    b.resize(length);
    return a > b;
}

std::wstring PercentEncoded(const std::wstring& text)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::wstring encoded;
    for (unsigned char c : fx::EncodeCodePage(text, CP_UTF8)) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
                           c == '.' || c == '_' || c == '~';
        if (plain) {
            encoded += static_cast<wchar_t>(c);
        } else {
            encoded += L'%';
            encoded += static_cast<wchar_t>(kHex[c >> 4]);
            encoded += static_cast<wchar_t>(kHex[c & 0xF]);
        }
    }
    return encoded;
}

// Only web pages: "open" on anything else would start programs or open local files.
bool IsWebAddress(const std::wstring& url)
{
    for (const wchar_t* scheme : {L"https://", L"http://"}) {
        const size_t length = wcslen(scheme);
        if (url.size() > length && CompareStringOrdinal(url.c_str(), static_cast<int>(length), scheme,
                                                        static_cast<int>(length), TRUE) == CSTR_EQUAL) {
            return true;
        }
    }
    return false;
}

int OpenPage(const std::wstring& url)
{
    // The shell may hand the address to COM-based handlers; the caller's thread need not have COM.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    const auto result =
        reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, L"open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (SUCCEEDED(com)) CoUninitialize();
    // ShellExecuteW reports success with a value above 32.
    return result > 32 ? 1 : 0;
}

std::wstring RecordPath()
{
    wchar_t commonData[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathW(nullptr, commonData, CSIDL_COMMON_APPDATA, TRUE)) return {};
    const std::wstring folder = std::wstring(commonData) + L"\\" + kRecordFolder;
    const int created = SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
    if (created != ERROR_SUCCESS && created != ERROR_ALREADY_EXISTS) return {};
    return folder + L"\\" + kRecordFileName;
}

int Record(const wchar_t* name, const wchar_t* toolId, const wchar_t* version, int answerCode, const wchar_t* timeText)
{
    const std::wstring line = Line({Field(toolId), Field(version), std::to_wstring(answerCode), Field(timeText)});
    Journal({name, line});
    if (!toolId || !version || !timeText) return 0;
    const std::wstring path = RecordPath();
    return !path.empty() && AppendLine(path, line) ? 1 : 0;
}

}  // namespace

extern "C" {

int WINAPI InitFreedbackDll()
{
    return Guarded([] {
        Journal({L"InitFreedbackDll"});
        return GetPrivateProfileIntW(kConfigSection, kConfigInitKey, 1, ConfigPath().c_str()) != 0 ? 1 : 0;
    });
}

int WINAPI FeedbackQuestion(const wchar_t* toolId, const wchar_t* version)
{
    return Guarded([&] {
        const bool journaled = Journal({L"FeedbackQuestion", Field(toolId), Field(version)});
        if (!toolId || !version) return 0;
        if (journaled) return 1;
        return OpenPage(std::wstring(feedback::kQuestionUrl) + L"?tool=" + PercentEncoded(toolId) + L"&version=" +
                        PercentEncoded(version));
    });
}

int WINAPI OpenUrl(const wchar_t* url)
{
    return Guarded([&] {
        const bool journaled = Journal({L"OpenUrl", Field(url)});
        if (!url || !IsWebAddress(url)) return 0;
        return journaled ? 1 : OpenPage(url);
    });
}

int WINAPI GetInterNetState()
{
    return Guarded([] {
        Journal({L"GetInterNetState"});
        // Loaded from the system folder on first use, not imported: the component's own folder is
        // searched for what it imports, and wininet is not a known DLL that is always the system's.
        static HMODULE wininet = fx::LoadSystemLibrary(L"wininet.dll");
        const auto connected = reinterpret_cast<decltype(&InternetGetConnectedState)>(
            reinterpret_cast<void (*)()>(wininet ? GetProcAddress(wininet, "InternetGetConnectedState") : nullptr));
        DWORD flags = 0;
        return connected && connected(&flags, 0) ? 1 : 0;
    });
}

int WINAPI CustomerFeedback(const wchar_t* toolId, const wchar_t* version, int answerCode)
{
    // Without a time from the caller, the answer is stamped now (seconds since 1970).
    return Guarded([&] {
        const std::wstring now = std::to_wstring(_time64(nullptr));
        return Record(L"CustomerFeedback", toolId, version, answerCode, now.c_str());
    });
}

int WINAPI CustomerFeedbackEx(const wchar_t* toolId, const wchar_t* version, int answerCode, const wchar_t* timeText)
{
    return Guarded([&] { return Record(L"CustomerFeedbackEx", toolId, version, answerCode, timeText); });
}

int WINAPI WriteCustomerFeedbackInfoFile(const wchar_t* toolId, const wchar_t* version, int answerCode,
                                         const wchar_t* timeText)
{
    return Guarded([&] { return Record(L"WriteCustomerFeedbackInfoFile", toolId, version, answerCode, timeText); });
}

int WINAPI GetToolIsNewVersion(const wchar_t* toolId, const wchar_t* version)
{
    return Guarded([&] {
        Journal({L"GetToolIsNewVersion", Field(toolId), Field(version)});
        if (!toolId || !version) return kVersionUnknown;
        wchar_t latest[64] = {};
        GetPrivateProfileStringW(kConfigVersionsSection, toolId, L"", latest, ARRAYSIZE(latest), ConfigPath().c_str());
        return IsNewer(latest, version) ? feedback::kNewerVersionExists : kVersionCurrent;
    });
}

int WINAPI OpenToolDownUrl()
{
    return Guarded([] {
        if (Journal({L"OpenToolDownUrl"})) return 1;
        return OpenPage(feedback::kDownloadUrl);
    });
}

}  // extern "C"
