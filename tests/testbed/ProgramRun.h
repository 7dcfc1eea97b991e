#pragma once
// The real program, started the way a user starts it: a copy of build/dist in a folder of its own
// (the program removes the folder it runs from when it is closed), driven from outside its process.
#include "framework/base/KernelHandle.h"

#include <windows.h>

#include <string>

namespace uitest {

class CProgramRun
{
public:
    // Copies the shipped files into `folder` (made when missing); Start runs the program there.
    explicit CProgramRun(const std::wstring& folder);
    ~CProgramRun();
    CProgramRun(const CProgramRun&) = delete;
    CProgramRun& operator=(const CProgramRun&) = delete;

    // Where build/dist is, seen from the test programs in build/testbin.
    static std::wstring DistFolder();
    // Copies the shipped files into `folder`; false when one cannot be copied.
    static bool CopyProgram(const std::wstring& folder);

    // Starts the copy, as a double click in Explorer does; false when it cannot be started.
    bool Start();
    bool Copied() const { return m_copied; }
    bool Started() const { return m_process.IsValid(); }
    DWORD ProcessId() const { return m_processId; }
    const std::wstring& Folder() const { return m_folder; }

    // The shown main window (the dialog that holds the save-key button), waited for.
    HWND MainWindow(DWORD timeoutMs = 30000);
    // The shell frame: the main window's owner.
    HWND Frame();
    // The child of a shown message prompt of the program, waited for; null when none came.
    HWND WaitForPrompt(DWORD timeoutMs = 30000);
    // The child of a shown progress prompt, waited for.
    HWND WaitForProgress(DWORD timeoutMs = 30000);
    // The text of a message prompt's child.
    static std::wstring PromptText(HWND promptChild);
    // Clicks the prompt's confirm button and waits until the prompt has gone.
    static bool Dismiss(HWND promptChild);
    // The child of a shown skinned pair of the program whose child holds control `id`.
    HWND WaitForPair(int id, DWORD timeoutMs = 30000);
    // Waits for the detection to be over: a progress prompt came and went (or the program showed a
    // prompt meanwhile); false on a time-out. Call it before the detection can have ended (right
    // after MainWindow): a detection over before the first look is taken for one not yet begun.
    bool WaitForDetection(DWORD timeoutMs = 60000, bool* progressCame = nullptr);

    // Waits for the process to end; its exit code, or STILL_ACTIVE on a time-out.
    DWORD WaitForExit(DWORD timeoutMs = 30000);

private:
    std::wstring m_folder;
    bool m_copied = false;
    fx::CKernelHandle m_process;
    DWORD m_processId = 0;
    HWND m_main = nullptr;
};

}  // namespace uitest
