#include "tests/testbed/NotifyWindow.h"

#include "log/Log.h"
#include "res/PrivateMessages.h"
#include "tests/testbed/TempFolder.h"

namespace testing {

namespace {

const wchar_t* kClassName = L"QuorlinTestNotifyWindow";

bool IsWorkerMessage(UINT message)
{
    return message == WM_EXECUTE_PROMPT_CLOSE || message == WM_DETECT_RESULT || message == WM_SAVE_KEY_RESULT ||
           message == WM_UNLOCK_RESULT || message == WM_TURN_OFF_RESULT;
}

}  // namespace

std::wstring ProcessLogPath() { return GetCommonAppDataDir() + L"ToolLog\\Quorlin.txt"; }

CNotifyWindow::CNotifyWindow()
{
    m_ready.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    m_arrived.Reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    m_thread.Reset(CreateThread(nullptr, 0, ThreadProc, this, 0, &m_threadId));
    WaitForSingleObject(m_ready.Get(), 10000);
}

CNotifyWindow::~CNotifyWindow()
{
    PostThreadMessageW(m_threadId, WM_QUIT, 0, 0);
    WaitForSingleObject(m_thread.Get(), 10000);
}

DWORD WINAPI CNotifyWindow::ThreadProc(LPVOID param)
{
    auto* self = static_cast<CNotifyWindow*>(param);
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kClassName;
    RegisterClassW(&windowClass);  // fails harmlessly when an earlier window registered it
    self->m_window = CreateWindowExW(0, kClassName, L"notify", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                                     windowClass.hInstance, self);
    SetEvent(self->m_ready.Get());
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    DestroyWindow(self->m_window);
    return 0;
}

LRESULT CALLBACK CNotifyWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<CNotifyWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self && IsWorkerMessage(message)) {
        self->Record(message, wParam);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void CNotifyWindow::Record(UINT message, WPARAM wParam)
{
    ReceivedMessage received;
    received.message = message;
    received.wParam = wParam;
    received.sentFromOtherThread = (InSendMessageEx(nullptr) & ISMEX_SEND) != 0;
    received.logSizeAtArrival = ReadFileBytes(ProcessLogPath()).size();
    {
        fx::CSingleLock lock(m_lock);
        m_messages.push_back(received);
    }
    SetEvent(m_arrived.Get());
    if (message != WM_EXECUTE_PROMPT_CLOSE && m_delayMs) Sleep(m_delayMs);
}

bool CNotifyWindow::WaitForMessages(size_t count, DWORD timeoutMs)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (Messages().size() >= count) return true;
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) return false;
        WaitForSingleObject(m_arrived.Get(), static_cast<DWORD>(deadline - now));
    }
}

std::vector<ReceivedMessage> CNotifyWindow::Messages()
{
    fx::CSingleLock lock(m_lock);
    return m_messages;
}

}  // namespace testing
