#pragma once
// The one object that holds all BitLocker state of the tool and runs its operations on worker threads.
// Each worker reports to the notify window with two SendMessageW calls: WM_EXECUTE_PROMPT_CLOSE, then
// (once results are released) its result message with the outcome code; it logs only after both
// have been handled.
// Its members live in four files, one group each: the notify window, the workers' start and report
// and the detection in BitLockerOperator.cpp; saving the key and the candidate drives in
// SaveKey.cpp; unlocking and turning off in UnlockTurnOff.cpp; the version check in WindowsVersion.cpp.
#include "bitlocker/VolumeInfo.h"
#include "framework/base/KernelHandle.h"

#include <windows.h>

#include <atomic>
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

// Outcome codes of the save-key worker (wParam of WM_SAVE_KEY_RESULT).
enum SaveKeyOutcome : int
{
    kSaveKeySaved = 1,
    kSaveKeyFailed = 2,
    kSaveKeyNoPassword = 3,
};

// Outcome codes of the unlock worker (wParam of WM_UNLOCK_RESULT).
enum UnlockOutcome : int
{
    kUnlockDone = 1,
    kUnlockFailed = 2,
};

// Outcome codes of the turn-off worker (wParam of WM_TURN_OFF_RESULT).
enum TurnOffOutcome : int
{
    kTurnOffAll = 1,
    kTurnOffNone = 2,
    kTurnOffSome = 3,
};

class CBitLockerOperator
{
public:
    CBitLockerOperator() = default;
    CBitLockerOperator(const CBitLockerOperator&) = delete;
    CBitLockerOperator& operator=(const CBitLockerOperator&) = delete;

    // BitLockerOperator.cpp: the notify window and the detection.
    // 0 and nothing stored for a null handle.
    int SetNotifyWindow(HWND window);

    int StartDetectThread();
    int DetectEncryptedVolumes();
    int ParseBitLockerStatus(std::wstring text, VolumeInfoMap* map);

    // SaveKey.cpp. Saves the protector listing of `volume` to `keyFilePath`.
    int StartSaveKeyThread(std::wstring volume, std::wstring keyFilePath);
    int SaveRecoveryKey();
    // Replaces the file's whole content with the text in code page 936; 0 when it cannot be written,
    // and then an earlier file of that name is left as it was.
    static int WriteTextFile(std::wstring path, std::wstring text);
    // Appends the roots (C:\) of the drives that can take a key file; 1, or 0 when the system would not
    // list its drives.
    static int GetCandidateDrives(std::vector<std::wstring>* drives);

    // UnlockTurnOff.cpp.
    int StartUnlockThread(std::wstring volume, std::wstring recoveryPassword);
    int UnlockVolume();
    int StartTurnOffThread(std::vector<std::wstring> volumes);
    int TurnOffEncryption();

    // WindowsVersion.cpp. 1 when the process environment block reads Windows 10.0.
    int IsWindows10();

    // Whether a worker thread is still running (from its launch until it has logged its end): the
    // main window must not go away under it, and nothing may remove the program meanwhile.
    bool IsWorkerRunning() const { return m_nRunningWorkers.load() > 0; }
    // Waits until the last worker started has ended (it logs after its result has been handled).
    void WaitForWorker() const;
    // While results are held, a worker that has asked to close its progress prompt waits before it
    // sends its result: the prompt must be gone before a result prompt shows. Released at first.
    void HoldResults() { ResetEvent(m_hResultsReleased.Get()); }
    void ReleaseResults() { SetEvent(m_hResultsReleased.Get()); }

    HWND m_hNotifyWnd = nullptr;  // not owned
    std::wstring m_strVolume;
    std::wstring m_strKeyFilePath;
    std::wstring m_strRecoveryPassword;
    std::vector<std::wstring> m_vecSelectedVolumes;
    std::vector<std::wstring> m_vecFailedVolumes;
    VolumeInfoMap m_mapVolumes;

private:
    // BitLockerOperator.cpp: starting the workers and their reports.
    using Worker = int (CBitLockerOperator::*)();
    // Starts the worker on a thread of its own (handle closed at once, nobody waits for it);
    // logs failureMessage and returns 0 when the thread cannot be created.
    int StartWorker(LPTHREAD_START_ROUTINE procedure, const wchar_t* failureMessage);
    // The thread procedure of a worker: runs it on the operator it was started for.
    template <Worker W>
    static DWORD WINAPI WorkerProc(LPVOID self)
    {
        auto* op = static_cast<CBitLockerOperator*>(self);
        (op->*W)();
        --op->m_nRunningWorkers;
        return 1;
    }

    // Sends WM_EXECUTE_PROMPT_CLOSE, then the result message with the outcome code.
    void Report(UINT resultMessage, int outcome);
    // Reports a failure outcome, then writes its log record (after the main window has handled
    // both messages); returns the worker's 0.
    int Fail(UINT resultMessage, int outcome, const wchar_t* record);

    std::atomic<int> m_nRunningWorkers{0};
    fx::CKernelHandle m_hWorker;  // the last worker started
    fx::CKernelHandle m_hResultsReleased{CreateEventW(nullptr, TRUE, TRUE, nullptr)};
};
