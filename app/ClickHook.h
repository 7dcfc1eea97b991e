#pragma once
// A system-wide low-level mouse hook that tells the main window about every left button press,
// anywhere on the screen, so that the usage agreement viewer can close when the user clicks
// outside it. The hook procedure runs on the thread that installed it and only posts.
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
    // Installs the hook for all threads; 1 when it is installed.
    int Install();
    void Uninstall();

private:
    static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam);

    // Process-wide: the hook procedure has no other way to reach them.
    static HWND s_hTargetWnd;
    static HHOOK s_hHook;
};
