#include "dialogs/KeyFileLocation.h"

#include "framework/base/FinalPath.h"
#include "framework/base/KernelHandle.h"

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

// The drive letter ("E:") of a final path "\\?\E:\..."; empty for any other kind.
std::wstring DriveOfFinalPath(const std::wstring& finalPath)
{
    const std::wstring prefix = L"\\\\?\\";
    if (finalPath.size() < prefix.size() + 2 || finalPath.compare(0, prefix.size(), prefix) != 0 ||
        finalPath[prefix.size() + 1] != L':') {
        return {};
    }
    return finalPath.substr(prefix.size(), 2);
}

// The volume part ("\\?\Volume{GUID}\") of a final path in that form; empty for any other.
std::wstring VolumeOfFinalPath(const std::wstring& finalPath)
{
    const size_t end = finalPath.find(L"}\\");
    if (finalPath.rfind(L"\\\\?\\Volume{", 0) != 0 || end == std::wstring::npos) return {};
    return finalPath.substr(0, end + 2);
}

}  // namespace

bool IsOnEncryptedVolume(const std::wstring& path, const VolumeInfoMap& map)
{
    // The file is created in the folder that holds it (the key file is written beside its name and
    // renamed onto it, never through it), so the folder is judged as the system resolves it when it
    // is opened: through junctions and symbolic links on the way, substituted drives and mount
    // points. A folder that it cannot place on a volume of this machine cannot be judged and is
    // refused: a missing one, and any network path, "\\localhost\c$" too, which the redirector leads
    // back to a local drive without saying which. (Wine shows a Unix symbolic link as such a link;
    // it neither shares its drives nor substitutes them the Windows way, so those are reasoned only.)
    const size_t slash = path.find_last_of(L'\\');
    if (slash == std::wstring::npos) return true;
    std::wstring folder = path.substr(0, slash);
    if (folder.size() == 2 && folder[1] == L':') folder += L'\\';  // "E:" alone is E:'s current folder
    const fx::CKernelHandle handle(CreateFileW(folder.c_str(), FILE_READ_ATTRIBUTES,
                                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!handle.IsValid()) return true;
    const std::wstring volume = VolumeOfFinalPath(fx::FinalPathOf(handle.Get(), VOLUME_NAME_GUID));
    const std::wstring drive = DriveOfFinalPath(fx::FinalPathOf(handle.Get(), VOLUME_NAME_DOS));
    if (volume.empty()) return true;
    for (const auto& entry : map) {
        const std::wstring& key = entry.first;
        if (!drive.empty() && SameName(WithoutTrailing(key, L'\\'), drive)) return true;
        const bool keyIsGuid = key.rfind(L"\\\\?\\Volume{", 0) == 0;
        const std::wstring keyGuid = keyIsGuid ? WithoutTrailing(key, L'\\') + L"\\" : VolumeGuidOf(key);
        if (!keyGuid.empty() && SameName(keyGuid, volume)) return true;
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
