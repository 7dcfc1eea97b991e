#pragma once
// Runs a program with its standard output and error going into a pipe, as the tool's command runner
// does, and keeps what arrived read by read. The process and everything it starts run in a job
// object, so a program that never ends is killed with its children when the time is up.
#include <windows.h>

#include <string>
#include <vector>

namespace bde {

struct CapturedRun
{
    bool started = false;
    bool timedOut = false;
    DWORD exitCode = 0;
    std::string output;              // all bytes, in order
    std::vector<std::string> reads;  // the same bytes, one entry per successful ReadFile
    ULONGLONG elapsedMs = 0;         // from the start to the end of the output
};

CapturedRun RunCaptured(const std::wstring& commandLine, DWORD timeoutMs = 30000);

// The stand-in under test, run directly (not through cmd).
std::wstring StandInPath();

}  // namespace bde
