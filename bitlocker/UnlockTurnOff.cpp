// Unlocking a locked volume with its recovery password, and turning BitLocker off (starting the
// decryption) on the chosen volumes.
#include "bitlocker/BitLockerOperator.h"

#include "bitlocker/BdeCommands.h"
#include "bitlocker/ConsoleRunner.h"
#include "bitlocker/RecoveryPassword.h"
#include "bitlocker/VolumeName.h"
#include "log/Log.h"
#include "res/PrivateMessages.h"

namespace {

const wchar_t* kTurnOffFailedRecord = L"执行关闭加密磁盘命令失败";

}  // namespace

int CBitLockerOperator::StartUnlockThread(std::wstring volume, std::wstring recoveryPassword)
{
    m_strVolume = std::move(volume);
    m_strRecoveryPassword = std::move(recoveryPassword);
    return StartWorker(&WorkerProc<&CBitLockerOperator::UnlockVolume>, L"创建解密磁盘线程失败");
}

int CBitLockerOperator::UnlockVolume()
{
    // The password is typed by the user and goes onto a command line: only a well-formed recovery
    // password, in canonical form, ever reaches the interpreter. It is never logged.
    std::wstring password;
    if (!IsSafeVolumeName(m_strVolume) || !NormalizeRecoveryPassword(m_strRecoveryPassword, &password))
        return Fail(WM_UNLOCK_RESULT, kUnlockFailed, L"解密失败");
    std::wstring output;
    if (!RunConsoleCommand(UnlockCommand(m_strVolume, password), &output))
        return Fail(WM_UNLOCK_RESULT, kUnlockFailed, L"执行解密命令失败");
    if (!ReportsSuccess(output, &BdeEdition::unlocked)) return Fail(WM_UNLOCK_RESULT, kUnlockFailed, L"解密失败");
    Report(WM_UNLOCK_RESULT, kUnlockDone);
    return 1;
}

int CBitLockerOperator::StartTurnOffThread(std::vector<std::wstring> volumes)
{
    m_vecSelectedVolumes = std::move(volumes);
    return StartWorker(&WorkerProc<&CBitLockerOperator::TurnOffEncryption>, L"创建关闭加密磁盘线程失败");
}

int CBitLockerOperator::TurnOffEncryption()
{
    m_vecFailedVolumes.clear();
    std::wstring output;
    for (const std::wstring& volume : m_vecSelectedVolumes) {
        // Cleared before every command, so that one volume's success text never counts for the next.
        output.clear();
        if (!IsSafeVolumeName(volume) || !RunConsoleCommand(TurnOffCommand(volume), &output) ||
            !ReportsSuccess(output, &BdeEdition::decrypting)) {
            m_vecFailedVolumes.push_back(volume);
        }
    }
    if (m_vecFailedVolumes.size() == m_vecSelectedVolumes.size())
        return Fail(WM_TURN_OFF_RESULT, kTurnOffNone, kTurnOffFailedRecord);
    if (!m_vecFailedVolumes.empty()) return Fail(WM_TURN_OFF_RESULT, kTurnOffSome, kTurnOffFailedRecord);
    // The volumes now being decrypted drop out of the map that the choosers offer.
    m_mapVolumes.clear();
    std::wstring status;
    if (RunConsoleCommand(StatusCommand(), &status)) ParseBitLockerStatus(status, &m_mapVolumes);
    Report(WM_TURN_OFF_RESULT, kTurnOffAll);
    return 1;
}
