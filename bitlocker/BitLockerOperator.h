#pragma once
// The one object that holds all BitLocker state of the tool and runs its operations on worker threads.
// Each worker reports to the notify window with two SendMessageW calls: WM_EXECUTE_PROMPT_CLOSE, then
// its result message with the outcome code; it logs only after both have been handled.
#include "bitlocker/VolumeInfo.h"

#include <windows.h>

#include <string>
#include <vector>

// Outcome codes of the detection worker (wParam of WM_DETECT_RESULT).
enum DetectOutcome : int
{
    kDetectFound = 1,
    kDetectFailed = 2,
    kDetectNoVolume = 3,
    kDetectEncrypting = 4,  // known to the main window, never reported by the detection
    kDetectPreEncrypted = 5,
};

class CBitLockerOperator
{
public:
    CBitLockerOperator() = default;
    CBitLockerOperator(const CBitLockerOperator&) = delete;
    CBitLockerOperator& operator=(const CBitLockerOperator&) = delete;

    // 0 and nothing stored for a null handle.
    int SetNotifyWindow(HWND window);

    int StartDetectThread();
    int DetectEncryptedVolumes();
    int ParseBitLockerStatus(std::wstring text, VolumeInfoMap* map);

    HWND m_hNotifyWnd = nullptr;  // not owned
    std::wstring m_strVolume;
    std::wstring m_strKeyFilePath;
    std::wstring m_strRecoveryPassword;
    std::vector<std::wstring> m_vecSelectedVolumes;
    std::vector<std::wstring> m_vecFailedVolumes;
    VolumeInfoMap m_mapVolumes;

private:
    using Worker = int (CBitLockerOperator::*)();
    // Starts the worker on a thread of its own (handle closed at once, nobody waits for it);
    // logs failureMessage and returns 0 when the thread cannot be created.
    int StartWorker(LPTHREAD_START_ROUTINE procedure, const wchar_t* failureMessage);
    template <Worker W>
    static DWORD WINAPI WorkerProc(LPVOID self);

    void Report(UINT resultMessage, int outcome);
};
