#include "app/ClickHook.h"

#include "res/PrivateMessages.h"

HWND CClickHook::s_hTargetWnd = nullptr;
HHOOK CClickHook::s_hHook = nullptr;

CClickHook::CClickHook()
{
    s_hTargetWnd = nullptr;
    s_hHook = nullptr;
}

int CClickHook::SetTargetWindow(HWND window)
{
    if (!window) return 0;
    s_hTargetWnd = window;
    return 1;
}

int CClickHook::Install()
{
    s_hHook = SetWindowsHookExW(WH_MOUSE_LL, &CClickHook::HookProc, nullptr, 0);
    return s_hHook != nullptr ? 1 : 0;
}

void CClickHook::Uninstall()
{
    if (!s_hHook) return;
    UnhookWindowsHookEx(s_hHook);
    s_hHook = nullptr;
}

LRESULT CALLBACK CClickHook::HookProc(int code, WPARAM wParam, LPARAM lParam)
{
    // Posted, never sent: a low-level hook that takes long stalls the mouse of the whole desktop.
    if (code == HC_ACTION && wParam == WM_LBUTTONDOWN && s_hTargetWnd)
        PostMessageW(s_hTargetWnd, WM_HOOK_LBUTTONDOWN, wParam, lParam);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
