#pragma once
// Runs one worker of the operator against a real notify window and collects what it reported: the
// two messages, and what it logged after the result message had been handled.
#include "tests/testbed/NotifyWindow.h"

#include <functional>
#include <string>
#include <vector>

namespace testing {

struct WorkerRun
{
    bool started = false;
    int outcome = 0;
    std::vector<ReceivedMessage> messages;
    std::string logGained;  // bytes the log gained after the result message was handled
};

// `start` gets the notify window, starts the worker and returns the launcher's result. Waits for both
// messages and, when expectedRecord is given, for that record to appear in the log.
WorkerRun RunWorker(const std::function<int(HWND)>& start, const std::wstring& expectedRecord = L"");

// True when `bytes` (GBK) contain the text.
bool ContainsGbk(const std::string& bytes, const std::wstring& text);

}  // namespace testing
