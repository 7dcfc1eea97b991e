#pragma once
// A real window on a user-interface thread of its own, standing in for the main window that the
// workers report to. It records every private message it receives, in order, with whether it was
// sent (not posted) from another thread, and what the tool's log held at that moment.
#include "framework/base/CriticalSection.h"
#include "framework/base/KernelHandle.h"

#include <windows.h>

#include <string>
#include <vector>

namespace testing {

struct ReceivedMessage
{
    UINT message = 0;
    WPARAM wParam = 0;
    bool sentFromOtherThread = false;
    size_t logSizeAtArrival = 0;  // bytes of the process log when the message was handled
};

class CNotifyWindow
{
public:
    CNotifyWindow();
    ~CNotifyWindow();
    CNotifyWindow(const CNotifyWindow&) = delete;
    CNotifyWindow& operator=(const CNotifyWindow&) = delete;

    HWND Handle() const { return m_window; }
    // Waits until `count` messages have arrived; false on time-out.
    bool WaitForMessages(size_t count, DWORD timeoutMs);
    std::vector<ReceivedMessage> Messages();
    // While set, the window keeps the sender blocked this long in each result message (the user
    // reading the result prompt).
    void SetHandlingDelay(DWORD ms) { m_delayMs = ms; }

private:
    static DWORD WINAPI ThreadProc(LPVOID self);
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Record(UINT message, WPARAM wParam);

    fx::CKernelHandle m_ready;
    fx::CKernelHandle m_arrived;
    fx::CKernelHandle m_thread;
    DWORD m_threadId = 0;
    HWND m_window = nullptr;  // owned by the window's thread, destroyed when it ends
    volatile DWORD m_delayMs = 0;
    fx::CCriticalSection m_lock;
    std::vector<ReceivedMessage> m_messages;
};

// The process log "Quorlin.txt" in the common application-data folder.
std::wstring ProcessLogPath();

}  // namespace testing
