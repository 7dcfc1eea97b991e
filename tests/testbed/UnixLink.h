#pragma once
// Links and permissions made in the Unix file system under the test bed. Wine 8 can neither make nor
// remove a symbolic link through the Windows API (CreateSymbolicLinkW reports success and makes
// nothing), keeps no ACLs, and shows a Unix symbolic link as a reparse point and a Unix file that
// others may write as one that Everyone may write.
#include "framework/base/TextCodec.h"

#include <windows.h>

#include <cstring>
#include <functional>
#include <string>

namespace testing {

// The Unix name of a Windows path; empty outside Wine.
inline std::wstring UnixName(const std::wstring& path)
{
    using UnixNameFn = char*(CDECL*)(const wchar_t*);
    const auto convert = reinterpret_cast<UnixNameFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* name = convert ? convert(path.c_str()) : nullptr;
    if (!name) return {};
    const std::wstring text = fx::DecodeCodePage(name, std::strlen(name), CP_UTF8);
    HeapFree(GetProcessHeap(), 0, name);
    return text;
}

// Runs a Unix program ("/bin/chmod") and waits until `done` holds: Wine hands back no handle to wait
// for a Unix program, so its effect is waited for instead. True when it came about.
inline bool RunUnix(const std::wstring& program, const std::wstring& arguments, const std::function<bool()>& done)
{
    std::wstring line = program + L" " + arguments;
    const std::wstring path = L"Z:" + program;
    STARTUPINFOW startup = {sizeof startup};
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(path.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        return false;
    }
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    for (int i = 0; i < 200 && !done(); ++i) Sleep(50);
    return done();
}

// A symbolic link to a folder or a file, removed again with the scope.
class CUnixLink
{
public:
    CUnixLink(const std::wstring& link, const std::wstring& target, bool folder = true) : m_link(link)
    {
        if (!CreateSymbolicLinkW(link.c_str(), target.c_str(), folder ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0) ||
            !IsLink()) {
            m_unix = RunUnix(L"/bin/ln", L"-s \"" + UnixName(target) + L"\" \"" + UnixName(link) + L"\"",
                             [this] { return IsLink(); });
        }
    }
    ~CUnixLink()
    {
        if (m_unix) {
            RunUnix(L"/bin/rm", L"\"" + UnixName(m_link) + L"\"", [this] { return !IsLink(); });
        } else if (!RemoveDirectoryW(m_link.c_str())) {
            DeleteFileW(m_link.c_str());
        }
    }
    CUnixLink(const CUnixLink&) = delete;
    CUnixLink& operator=(const CUnixLink&) = delete;

    bool IsLink() const
    {
        const DWORD attributes = GetFileAttributesW(m_link.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    }

private:
    std::wstring m_link;
    bool m_unix = false;
};

}  // namespace testing
