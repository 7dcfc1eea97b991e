#include "tests/testbed/WorkerRun.h"

#include "framework/base/TextCodec.h"
#include "tests/testbed/TempFolder.h"

namespace testing {

namespace {

constexpr DWORD kWorkerTimeoutMs = 60000;
constexpr DWORD kRecordTimeoutMs = 5000;
constexpr DWORD kResultPromptMs = 300;  // the user reading the result prompt: nothing may be logged meanwhile

std::string LogSince(size_t from)
{
    const std::string bytes = ReadFileBytes(ProcessLogPath());
    return bytes.size() > from ? bytes.substr(from) : std::string();
}

}  // namespace

bool ContainsGbk(const std::string& bytes, const std::wstring& text)
{
    return bytes.find(fx::EncodeCodePage(text, fx::kCodePageGbk)) != std::string::npos;
}

WorkerRun RunWorker(const std::function<int(HWND)>& start, const std::wstring& expectedRecord)
{
    CNotifyWindow window;
    window.SetHandlingDelay(kResultPromptMs);
    WorkerRun run;
    run.started = start(window.Handle()) == 1;
    if (!run.started || !window.WaitForMessages(2, kWorkerTimeoutMs)) return run;

    run.messages = window.Messages();
    run.outcome = static_cast<int>(run.messages[1].wParam);
    const size_t logSize = run.messages[1].logSizeAtArrival;
    if (expectedRecord.empty()) {
        Sleep(500);  // a worker with nothing to log has ended by now
        run.logGained = LogSince(logSize);
        return run;
    }
    const ULONGLONG deadline = GetTickCount64() + kRecordTimeoutMs;
    do {
        run.logGained = LogSince(logSize);
        if (ContainsGbk(run.logGained, expectedRecord + L"\r\n")) break;
        Sleep(50);
    } while (GetTickCount64() < deadline);
    return run;
}

}  // namespace testing
