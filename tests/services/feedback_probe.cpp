// Loads the feedback component the way the program does and reports through its exit code.
#include "res/Version.h"
#include "services/FeedbackDll.h"
#include "tests/services/FeedbackProbe.h"

#include <cwchar>
#include <string>

namespace {

// After a failed load every forwarder must answer 0 without calling into freed memory.
bool AnyForwarderAnswers(CFeedbackDll& dll)
{
    const wchar_t* id = CFeedbackDll::kToolId;
    const wchar_t* version = kQuorlinVersion;
    return dll.InitFreedbackDll() || dll.FeedbackQuestion(id, version) || dll.OpenUrl(feedback::kKnowledgeBaseUrl) ||
           dll.GetInterNetState() || dll.CustomerFeedback(id, version, 1) ||
           dll.CustomerFeedbackEx(id, version, 1, L"0") || dll.WriteCustomerFeedbackInfoFile(id, version, 1, L"0") ||
           dll.GetToolIsNewVersion(id, version) || dll.OpenToolDownUrl();
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) return kProbeUsage;
    const std::wstring command = argv[1];
    const wchar_t* id = CFeedbackDll::kToolId;
    const wchar_t* version = kQuorlinVersion;

    CFeedbackDll dll;
    const int loaded = dll.Load();
    if (command == L"load") {
        const bool resident = GetModuleHandleW(feedback::kComponentFileName) != nullptr;
        const bool answered = !loaded && AnyForwarderAnswers(dll);
        return (loaded ? kProbeLoaded : 0) | (resident ? kProbeResident : 0) | (answered ? kProbeAnswered : 0);
    }
    if (!loaded) return kProbeLoadFailed;
    if (command == L"init") return dll.InitFreedbackDll();
    if (command == L"version") return dll.GetToolIsNewVersion(id, version);
    if (command == L"url" && argc == 3) return dll.OpenUrl(argv[2]);
    if (command == L"survey" && argc == 4) return dll.CustomerFeedbackEx(id, version, _wtoi(argv[2]), argv[3]);
    if (command == L"all" && argc == 3) {
        dll.InitFreedbackDll();
        dll.FeedbackQuestion(id, version);
        dll.OpenUrl(feedback::kKnowledgeBaseUrl);
        dll.GetInterNetState();
        dll.CustomerFeedback(id, version, 3);
        dll.CustomerFeedbackEx(id, version, 1, argv[2]);
        dll.WriteCustomerFeedbackInfoFile(id, version, 2, argv[2]);
        dll.GetToolIsNewVersion(id, version);
        dll.OpenToolDownUrl();
        return 0;
    }
    return kProbeUsage;
}
