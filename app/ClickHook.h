#pragma once
// A system-wide low-level mouse hook that tells the main window about every left button press,
// anywhere on the screen, so that the usage agreement viewer can close when the user clicks
// outside it. The hook lives on a thread of its own that does nothing else: the system calls the
// procedure on the installing thread and, on Windows, removes a hook silently (and stalls the
// whole desktop's mouse meanwhile) when that thread is too slow to answer, as the user-interface
// thread is during its slow calls. The procedure only posts.
#include "framework/base/KernelHandle.h"

#include <windows.h>

class CClickHook
{
public:
    CClickHook();
    ~CClickHook() { Uninstall(); }
    CClickHook(const CClickHook&) = delete;
    CClickHook& operator=(const CClickHook&) = delete;

    // The window that receives WM_HOOK_LBUTTONDOWN; 0 (and nothing stored) for a null handle.
    int SetTargetWindow(HWND window);
    // Installs the hook for all threads on its thread; 1 when it is installed.
    int Install();
    // Removes the hook and ends its thread.
    void Uninstall();

private:
    static DWORD WINAPI HookThread(LPVOID startUp);
    static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam);

    // Process-wide: the hook procedure has no other way to reach it.
    static HWND s_hTargetWnd;
    fx::CKernelHandle m_hThread;
    DWORD m_threadId = 0;
};
