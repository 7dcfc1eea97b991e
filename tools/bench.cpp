// Figures for scripts/bench.sh on the default machine: quorlin_bench <program folder> [runs].
// For each run: the time from launch until the detection's progress prompt is gone, set against what
// the detection needs anyway (starting a process, the two manage-bde commands through cmd with their
// piped output and the runner's waits, the two 100 ms start-up timers); the program's private memory
// after the detection; its CPU time while it sits idle for 10 s.
#include "bitlocker/BdeCommands.h"
#include "bitlocker/ConsoleRunner.h"
#include "res/resource.h"
#include "tests/testbed/MachineScope.h"
#include "tests/testbed/ProgramRun.h"
#include "tests/uidriver/UiTestSupport.h"

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr double kStartupTimersMs = 2 * 100;
constexpr DWORD kIdleMs = 10000;

double NowMs()
{
    LARGE_INTEGER counter{}, frequency{};
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// What the detection cannot do without: one process started and ended, and its two commands.
double BaselineMs()
{
    const double start = NowMs();
    std::wstring output;
    RunConsoleCommand(L"exit 0", &output);
    RunConsoleCommand(StatusCommand(), &output);
    RunConsoleCommand(ProtectorsCommand(L"C:"), &output);
    return NowMs() - start + kStartupTimersMs;
}

double CpuMs(HANDLE process)
{
    FILETIME created{}, ended{}, kernel{}, user{};
    GetProcessTimes(process, &created, &ended, &kernel, &user);
    auto ms = [](const FILETIME& t) {
        return (static_cast<double>(t.dwHighDateTime) * 4294967296.0 + t.dwLowDateTime) / 10000.0;
    };
    return ms(kernel) + ms(user);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) {
        std::fwprintf(stderr, L"usage: quorlin_bench <program folder> [runs]\n");
        return 2;
    }
    const int runs = argc > 2 ? std::max(1, _wtoi(argv[2])) : 3;
    uitest::EnsureApplication();
    bde::CMachineScope machine(bde::Machine::Default());
    CreateDirectoryW(argv[1], nullptr);
    std::vector<double> launch, baseline, memory, idle;
    for (int i = 0; i < runs; ++i) {
        baseline.push_back(BaselineMs());
        uitest::CProgramRun run(std::wstring(argv[1]) + L"\\run" + std::to_wstring(i));
        const double start = NowMs();
        if (!run.Copied() || !run.Start()) {
            std::fwprintf(stderr, L"cannot copy and start the program in %ls\n", run.Folder().c_str());
            return 1;
        }
        HWND progress = run.WaitForProgress(60000);
        if (!progress || !ui::WaitForWindowGone(progress, 60000)) {
            std::fwprintf(stderr, L"the detection did not end\n");
            return 1;
        }
        launch.push_back(NowMs() - start);

        fx::CKernelHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, run.ProcessId()));
        PROCESS_MEMORY_COUNTERS_EX counters{};
        counters.cb = sizeof(counters);
        GetProcessMemoryInfo(process.Get(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof(counters));
        // The commit charge is the private memory; some systems leave PrivateUsage empty.
        const SIZE_T privateBytes = counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
        memory.push_back(static_cast<double>(privateBytes) / (1024.0 * 1024.0));
        ui::PumpFor(1000);
        const double cpuBefore = CpuMs(process.Get());
        ui::PumpFor(kIdleMs);
        idle.push_back(100.0 * (CpuMs(process.Get()) - cpuBefore) / kIdleMs);
        ui::Post(run.Frame(), WM_SYSCOMMAND, SC_CLOSE, 0);
        run.WaitForExit();
    }
    std::fwprintf(stdout, L"runs: %d (medians)\n", runs);
    std::fwprintf(stdout, L"launch to detection end: %.0f ms\n", Median(launch));
    std::fwprintf(stdout, L"needed anyway (process, two commands, waits, timers): %.0f ms\n", Median(baseline));
    std::fwprintf(stdout, L"overhead: %.0f ms (target at most 150)\n", Median(launch) - Median(baseline));
    std::fwprintf(stdout, L"private memory after detection: %.1f MB (target under 15)\n", Median(memory));
    std::fwprintf(stdout, L"CPU while idle for 10 s: %.2f %% (target under 1)\n", Median(idle));
    return 0;
}
