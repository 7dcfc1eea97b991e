#include "app/ClickHook.h"

#include "res/PrivateMessages.h"

HWND CClickHook::s_hTargetWnd = nullptr;

namespace {

// What the hook thread reports to Install before it starts waiting for messages.
struct HookStartUp
{
    fx::CKernelHandle ready{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    bool installed = false;
};

}  // namespace

CClickHook::CClickHook() { s_hTargetWnd = nullptr; }

int CClickHook::SetTargetWindow(HWND window)
{
    if (!window) return 0;
    s_hTargetWnd = window;
    return 1;
}

int CClickHook::Install()
{
    if (m_hThread.IsValid()) return 1;
    HookStartUp startUp;
    if (!startUp.ready.IsValid()) return 0;
    m_hThread.Reset(CreateThread(nullptr, 0, &CClickHook::HookThread, &startUp, 0, &m_threadId));
    if (!m_hThread.IsValid()) return 0;
    WaitForSingleObject(startUp.ready.Get(), INFINITE);
    if (startUp.installed) return 1;
    WaitForSingleObject(m_hThread.Get(), INFINITE);
    m_hThread.Reset();
    return 0;
}

void CClickHook::Uninstall()
{
    if (!m_hThread.IsValid()) return;
    PostThreadMessageW(m_threadId, WM_QUIT, 0, 0);
    WaitForSingleObject(m_hThread.Get(), INFINITE);
    m_hThread.Reset();
}

DWORD WINAPI CClickHook::HookThread(LPVOID parameter)
{
    auto* startUp = static_cast<HookStartUp*>(parameter);
    MSG message{};
    // The thread's message queue exists before Install returns, so that WM_QUIT can reach it.
    PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    HHOOK hook = SetWindowsHookExW(WH_MOUSE_LL, &CClickHook::HookProc, nullptr, 0);
    startUp->installed = hook != nullptr;
    SetEvent(startUp->ready.Get());  // startUp is gone once Install has seen this
    if (!hook) return 0;
    // The system calls the hook procedure from within this loop.
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        // Only WM_QUIT is ever posted here.
    }
    UnhookWindowsHookEx(hook);
    return 0;
}

LRESULT CALLBACK CClickHook::HookProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && wParam == WM_LBUTTONDOWN && s_hTargetWnd)
        PostMessageW(s_hTargetWnd, WM_HOOK_LBUTTONDOWN, wParam, lParam);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
