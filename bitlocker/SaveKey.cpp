// Saving a volume's recovery information: the protector listing, with its numerical password, written
// to a text file on a drive that is not encrypted.
#include "bitlocker/BitLockerOperator.h"

#include "bitlocker/BdeCommands.h"
#include "bitlocker/ConsoleRunner.h"
#include "bitlocker/RecoveryPassword.h"
#include "bitlocker/VolumeName.h"
#include "framework/base/FileWrite.h"
#include "framework/base/KernelHandle.h"
#include "framework/base/TextCodec.h"
#include "framework/security/ProtectedAcl.h"
#include "log/Log.h"
#include "res/PrivateMessages.h"

#include <ntsecapi.h>

#include <algorithm>
#include <cwchar>
#include <memory>

namespace {

const wchar_t* kSaveFailedRecord = L"执行安装命令失败";
// Temporary files beside the key file start with it: "qkf" and 32 random hexadecimal digits.
constexpr const wchar_t* kTemporaryPrefix = L"qkf";
constexpr size_t kTemporaryRandomBytes = 16;
constexpr int kTemporaryNameAttempts = 8;
// Read-back without the file cache works in whole sectors from an aligned buffer; 64 KiB is a
// multiple of every sector size.
constexpr size_t kUncachedUnit = 65536;

std::wstring FolderOf(const std::wstring& path)
{
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? L".\\" : path.substr(0, slash + 1);
}

std::wstring RandomHex(size_t bytes)
{
    std::vector<unsigned char> random(bytes);
    if (!RtlGenRandom(random.data(), static_cast<ULONG>(bytes))) return {};
    std::wstring text;
    for (unsigned char byte : random) {
        wchar_t digits[3];
        swprintf(digits, 3, L"%02x", byte);
        text += digits;
    }
    return text;
}

// A new file of its own beside the key file, with a name nobody can guess: CREATE_NEW never opens
// what is already there, a file or a link planted by someone else. Its ACL is protected where the
// volume keeps ACLs (elsewhere the descriptor is ignored), and the handle may rename and delete it.
fx::CKernelHandle CreateTemporaryBeside(const std::wstring& path, fx::CProtectedAcl* acl)
{
    for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
        const std::wstring random = RandomHex(kTemporaryRandomBytes);
        if (random.empty()) break;
        const std::wstring name = FolderOf(path) + kTemporaryPrefix + random + L".tmp";
        fx::CKernelHandle file(CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, FILE_SHARE_READ,
                                           acl->Attributes(), CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.IsValid() || GetLastError() != ERROR_FILE_EXISTS) return file;
    }
    return {};
}

// Reads the file again past the file cache, from the medium itself: a medium that was pulled or
// lost what it was given does not pass.
bool HoldsExactly(HANDLE file, const std::string& expected)
{
    fx::CKernelHandle uncached(
        ReOpenFile(file, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, FILE_FLAG_NO_BUFFERING));
    if (!uncached.IsValid()) return false;
    const size_t capacity = (expected.size() / kUncachedUnit + 1) * kUncachedUnit;
    std::vector<char> storage(capacity + kUncachedUnit);
    void* aligned = storage.data();
    size_t space = storage.size();
    if (!std::align(kUncachedUnit, capacity, aligned, space)) return false;
    char* buffer = static_cast<char*>(aligned);
    size_t total = 0;
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(uncached.Get(), buffer + total, static_cast<DWORD>(capacity - total), &read, nullptr))
            return false;
        if (read == 0) break;
        total += read;
        if (total > expected.size()) return false;
        if (total % kUncachedUnit != 0) break;  // a short read ends at the end of the file
    }
    return total == expected.size() && std::equal(expected.begin(), expected.end(), buffer);
}

}  // namespace

int CBitLockerOperator::StartSaveKeyThread(std::wstring volume, std::wstring keyFilePath)
{
    m_strVolume = std::move(volume);
    m_strKeyFilePath = std::move(keyFilePath);
    return StartWorker(&WorkerProc<&CBitLockerOperator::SaveRecoveryKey>, L"创建保存加密磁盘密码线程失败");
}

int CBitLockerOperator::SaveRecoveryKey()
{
    std::wstring output;
    if (!IsSafeVolumeName(m_strVolume) || !RunConsoleCommand(ProtectorsCommand(m_strVolume), &output))
        return Fail(WM_SAVE_KEY_RESULT, kSaveKeyFailed, kSaveFailedRecord);
    // The heading alone is not enough: a manage-bde that ended early printed no password under it.
    const BdeEdition* edition = EditionOf(output);
    if (!edition || !HasRecoveryPasswordAfter(output, edition->numericalPassword))
        return Fail(WM_SAVE_KEY_RESULT, kSaveKeyNoPassword, kSaveFailedRecord);
    if (!WriteTextFile(m_strKeyFilePath, output)) return Fail(WM_SAVE_KEY_RESULT, kSaveKeyFailed, kSaveFailedRecord);
    Report(WM_SAVE_KEY_RESULT, kSaveKeySaved);
    return 1;
}

int CBitLockerOperator::WriteTextFile(std::wstring path, std::wstring text)
{
    // The content goes to a temporary file in the same folder first and replaces the old file only
    // once it is complete and on the medium: a failed save (a full disk, say) never destroys a key
    // saved earlier. The key file holds the recovery password: only the user, the Administrators
    // and SYSTEM may read it, whatever the folder would pass on.
    const std::string bytes = fx::EncodeCodePage(text, fx::kCodePageGbk);
    fx::CProtectedAcl acl(fx::AclGrantees::SystemAdministratorsAndUser, fx::AclInheritance::None);
    if (!acl.IsValid()) return 0;
    fx::CKernelHandle file = CreateTemporaryBeside(path, &acl);
    if (!file.IsValid()) return 0;
    const bool saved = fx::WriteAll(file.Get(), bytes) && FlushFileBuffers(file.Get()) &&
                       fx::RenameByHandle(file.Get(), path) && FlushFileBuffers(file.Get()) &&
                       HoldsExactly(file.Get(), bytes);
    if (!saved) fx::DeleteByHandle(file.Get());
    return saved ? 1 : 0;
}

int CBitLockerOperator::GetCandidateDrives(std::vector<std::wstring>* drives)
{
    // Without the list nothing is known about the drives: a failure, never "no drive can take it",
    // which would read as "every drive is encrypted". (The test bed cannot make the system fail it.)
    const DWORD length = GetLogicalDriveStringsW(0, nullptr);
    if (length == 0) return 0;
    std::wstring list(length, L'\0');
    const DWORD filled = GetLogicalDriveStringsW(length, list.data());
    if (filled == 0 || filled >= length) return 0;

    // "C:\<NUL>D:\<NUL>...<NUL>"
    for (const wchar_t* root = list.c_str(); *root; root += wcslen(root) + 1) {
        switch (GetDriveTypeW(root)) {
        case DRIVE_UNKNOWN:
        case DRIVE_REMOTE:
        case DRIVE_CDROM:
        case DRIVE_RAMDISK: continue;
        default: break;
        }
        // A removable drive without a medium fails here.
        ULARGE_INTEGER freeBytes;
        if (GetDiskFreeSpaceExW(root, &freeBytes, nullptr, nullptr)) drives->push_back(root);
    }
    return 1;
}
