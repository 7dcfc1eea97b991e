// Saving a volume's recovery information: the protector listing, with its numerical password, written
// to a text file on a drive that is not encrypted.
#include "bitlocker/BitLockerOperator.h"

#include "res/PrivateMessages.h"
#include "bitlocker/BdeCommands.h"
#include "bitlocker/ConsoleRunner.h"
#include "bitlocker/VolumeName.h"
#include "framework/base/FileWrite.h"
#include "framework/base/KernelHandle.h"
#include "framework/base/TextCodec.h"
#include "log/Log.h"

namespace {

const wchar_t* kSaveFailedRecord = L"执行安装命令失败";

std::wstring FolderOf(const std::wstring& path)
{
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? L"." : path.substr(0, slash + 1);
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
    if (output.find(kNumericalPasswordMarker) == std::wstring::npos)
        return Fail(WM_SAVE_KEY_RESULT, kSaveKeyNoPassword, kSaveFailedRecord);
    if (!WriteTextFile(m_strKeyFilePath, output)) return Fail(WM_SAVE_KEY_RESULT, kSaveKeyFailed, kSaveFailedRecord);
    Report(WM_SAVE_KEY_RESULT, kSaveKeySaved);
    return 1;
}

int CBitLockerOperator::WriteTextFile(std::wstring path, std::wstring text)
{
    // The new content goes to a temporary file in the same folder first, and replaces the old file
    // only once it is complete: a failed save (a full disk, say) never destroys a key saved earlier.
    wchar_t temporary[MAX_PATH] = {};
    if (!GetTempFileNameW(FolderOf(path).c_str(), L"qkf", 0, temporary)) return 0;

    bool written = false;
    {
        fx::CKernelHandle file(
            CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        written = file.IsValid() && fx::WriteAll(file.Get(), fx::EncodeCodePage(text, fx::kCodePageGbk)) &&
                  FlushFileBuffers(file.Get());
    }
    if (!written || !MoveFileExW(temporary, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(temporary);
        return 0;
    }
    return 1;
}

int CBitLockerOperator::GetCandidateDrives(std::vector<std::wstring>* drives)
{
    const DWORD length = GetLogicalDriveStringsW(0, nullptr);
    if (length == 0) return 1;
    std::wstring list(length, L'\0');
    const DWORD filled = GetLogicalDriveStringsW(length, list.data());
    if (filled == 0 || filled >= length) return 1;

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
