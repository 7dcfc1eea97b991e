// The program's stand-in at its exit; see RemovalProbe.h.
#include "app/SelfRemoval.h"
#include "framework/base/KernelHandle.h"
#include "tests/app/RemovalProbe.h"

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (arguments == nullptr) return kProbeUsage;
    const std::vector<std::wstring> args(arguments, arguments + count);
    LocalFree(arguments);

    if (args.size() == 3 && args[1] == L"wait") {
        fx::CKernelHandle event(OpenEventW(SYNCHRONIZE, FALSE, args[2].c_str()));
        if (!event.IsValid() || WaitForSingleObject(event.Get(), kProbeWaitMs) != WAIT_OBJECT_0) return kProbeUsage;
    } else if (args.size() != 1) {
        return kProbeUsage;
    }
    if (StartSelfRemoval()) return kProbeStarted;
    // Asked again only to tell why: nothing has changed in between.
    const RemovalSkip skip = PlanRemoval(GatherRemovalFacts()).skip;
    return skip == RemovalSkip::None ? kProbeLaunchFailed : ProbeExitCode(skip);
}
