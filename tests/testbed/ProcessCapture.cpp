#include "tests/testbed/ProcessCapture.h"

#include "framework/base/KernelHandle.h"

#include <thread>

namespace bde {
namespace {

void ReadAll(HANDLE pipe, CapturedRun* run)
{
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(pipe, buffer, sizeof buffer, &read, nullptr) && read > 0) {
        run->reads.emplace_back(buffer, read);
        run->output.append(buffer, read);
    }
}

fx::CKernelHandle NewKillOnCloseJob()
{
    fx::CKernelHandle job(CreateJobObjectW(nullptr, nullptr));
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (job.IsValid()) SetInformationJobObject(job.Get(), JobObjectExtendedLimitInformation, &limits, sizeof limits);
    return job;
}

}  // namespace

CapturedRun RunCaptured(const std::wstring& commandLine, DWORD timeoutMs)
{
    CapturedRun run;
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    fx::CKernelHandle readEnd;
    fx::CKernelHandle writeEnd;
    if (!CreatePipe(readEnd.Receive(), writeEnd.Receive(), &inherit, 0)) return run;
    SetHandleInformation(readEnd.Get(), HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = writeEnd.Get();
    startup.hStdError = writeEnd.Get();
    std::wstring writable = commandLine;
    PROCESS_INFORMATION process = {};
    const ULONGLONG start = GetTickCount64();
    if (!CreateProcessW(nullptr, writable.data(), nullptr, nullptr, TRUE, CREATE_SUSPENDED, nullptr, nullptr, &startup,
                        &process)) {
        return run;
    }
    fx::CKernelHandle processHandle(process.hProcess);
    fx::CKernelHandle threadHandle(process.hThread);
    fx::CKernelHandle job = NewKillOnCloseJob();
    if (job.IsValid()) AssignProcessToJobObject(job.Get(), processHandle.Get());
    ResumeThread(threadHandle.Get());
    run.started = true;
    writeEnd.Reset();

    std::thread reader(ReadAll, readEnd.Get(), &run);
    if (WaitForSingleObject(processHandle.Get(), timeoutMs) == WAIT_TIMEOUT) {
        run.timedOut = true;
        TerminateProcess(processHandle.Get(), 1);
    }
    // Whatever the program left running would hold the pipe open: end it, the bytes stay readable.
    if (job.IsValid()) TerminateJobObject(job.Get(), 1);
    reader.join();
    run.elapsedMs = GetTickCount64() - start;
    GetExitCodeProcess(processHandle.Get(), &run.exitCode);
    return run;
}

std::wstring StandInPath()
{
    // The tests and the stand-in are built into the same folder.
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    folder.resize(folder.find_last_of(L"\\/") + 1);
    return folder + L"manage-bde.exe";
}

}  // namespace bde
