#include "dialogs/KeyFileLocation.h"

#include <windows.h>

namespace {

bool SameName(const std::wstring& a, const std::wstring& b)
{
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

std::wstring WithoutTrailing(std::wstring text, wchar_t c)
{
    while (!text.empty() && text.back() == c) text.pop_back();
    return text;
}

// The volume's own name (\\?\Volume{GUID}\) for a mount point or drive root; empty when the
// system cannot tell.
std::wstring VolumeGuidOf(const std::wstring& mountPoint)
{
    std::wstring root = WithoutTrailing(mountPoint, L'\\') + L"\\";
    wchar_t name[MAX_PATH] = {};
    if (!GetVolumeNameForVolumeMountPointW(root.c_str(), name, MAX_PATH)) return {};
    return name;
}

// The mount point (such as "E:\" or "E:\mounted\") of the volume that holds `path`.
std::wstring MountPointOf(const std::wstring& path)
{
    std::vector<wchar_t> buffer(path.size() + MAX_PATH, L'\0');
    if (!GetVolumePathNameW(path.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()))) return {};
    return buffer.data();
}

}  // namespace

bool IsOnEncryptedVolume(const std::wstring& path, const VolumeInfoMap& map)
{
    std::wstring mountPoint = MountPointOf(path);
    // Without the system's answer the drive letter decides, as the path spells it.
    if (mountPoint.empty()) mountPoint = path.substr(0, 2);
    const std::wstring name = WithoutTrailing(mountPoint, L'\\');
    const std::wstring guid = VolumeGuidOf(mountPoint);
    for (const auto& entry : map) {
        const std::wstring& key = entry.first;
        if (SameName(WithoutTrailing(key, L'\\'), name)) return true;
        if (!guid.empty()) {
            const bool keyIsGuid = key.rfind(L"\\\\?\\Volume{", 0) == 0;
            const std::wstring keyGuid = keyIsGuid ? WithoutTrailing(key, L'\\') + L"\\" : VolumeGuidOf(key);
            if (!keyGuid.empty() && SameName(keyGuid, guid)) return true;
        }
    }
    return false;
}

std::wstring ProposeKeyFileDrive(const std::vector<std::wstring>& candidateRoots, const VolumeInfoMap& map)
{
    for (const std::wstring& root : candidateRoots) {
        if (!IsOnEncryptedVolume(root, map)) return WithoutTrailing(root, L'\\');
    }
    return {};
}

std::wstring ProposedKeyFileName(const std::wstring& drive)
{
    return L"BitLocker恢复密钥" + WithoutTrailing(drive, L':') + L"盘";
}
