#include "bitlocker/BitLockerOperator.h"

#include "bitlocker/BdeCommands.h"
#include "bitlocker/ConsoleRunner.h"
#include "bitlocker/StatusParser.h"
#include "bitlocker/VolumeName.h"
#include "log/Log.h"
#include "res/PrivateMessages.h"

int CBitLockerOperator::SetNotifyWindow(HWND window)
{
    if (!window) return 0;
    m_hNotifyWnd = window;
    return 1;
}

int CBitLockerOperator::StartWorker(LPTHREAD_START_ROUTINE procedure, const wchar_t* failureMessage)
{
    ++m_nRunningWorkers;  // before the thread runs, so that it is never seen ended before it began
    HANDLE thread = CreateThread(nullptr, 0, procedure, this, 0, nullptr);
    if (!thread) {
        --m_nRunningWorkers;
        LogRecord(failureMessage);
        return 0;
    }
    m_hWorker.Reset(thread);
    return 1;
}

void CBitLockerOperator::WaitForWorker() const
{
    if (m_hWorker.IsValid()) WaitForSingleObject(m_hWorker.Get(), INFINITE);
}

void CBitLockerOperator::Report(UINT resultMessage, int outcome)
{
    SendMessageW(m_hNotifyWnd, WM_EXECUTE_PROMPT_CLOSE, 0, 0);
    WaitForSingleObject(m_hResultsReleased.Get(), INFINITE);
    SendMessageW(m_hNotifyWnd, resultMessage, static_cast<WPARAM>(outcome), 0);
}

int CBitLockerOperator::Fail(UINT resultMessage, int outcome, const wchar_t* record)
{
    Report(resultMessage, outcome);
    LogRecord(record);
    return 0;
}

int CBitLockerOperator::ParseBitLockerStatus(std::wstring text, VolumeInfoMap* map)
{
    return ParseStatusText(text, map);
}

int CBitLockerOperator::StartDetectThread()
{
    return StartWorker(&WorkerProc<&CBitLockerOperator::DetectEncryptedVolumes>, L"创建检测加密磁盘线程失败");
}

int CBitLockerOperator::DetectEncryptedVolumes()
{
    m_mapVolumes.clear();
    std::wstring output;
    if (!RunConsoleCommand(StatusCommand(), &output)) return Fail(WM_DETECT_RESULT, kDetectFailed, L"执行安装命令失败");
    if (!ParseBitLockerStatus(output, &m_mapVolumes))
        return Fail(WM_DETECT_RESULT, kDetectFailed, L"解析加密磁盘信息失败");
    if (m_mapVolumes.empty()) return Fail(WM_DETECT_RESULT, kDetectNoVolume, L"没有检测到该电脑中加密磁盘");
    for (const auto& [name, info] : m_mapVolumes) {
        // Only fully encrypted volumes can be pre-encrypted ones; a name that could carry
        // command-interpreter syntax is never put on a command line.
        if (!(100.0 <= info.dPercentageEncrypted) || !IsSafeVolumeName(name)) continue;
        output.clear();
        if (RunConsoleCommand(ProtectorsCommand(name), &output) && ReportsNoProtector(output)) {
            m_mapVolumes.clear();
            return Fail(WM_DETECT_RESULT, kDetectPreEncrypted, L"磁盘为预加密");
        }
    }
    Report(WM_DETECT_RESULT, kDetectFound);
    return 1;
}
