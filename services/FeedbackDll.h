#pragma once
// Bridge to the maker's feedback component, which lies next to the program file: new-version check
// and download, problem feedback, the survey record and web pages. The main window owns one.
#include "services/FeedbackApi.h"

class CFeedbackDll
{
public:
    // What the program tells the component about itself, with its version (res/Version.h).
    static constexpr const wchar_t* kToolId = L"10080";

    CFeedbackDll() = default;
    // The library stays loaded for the life of the process, even after this object is gone: callers
    // may still be inside it (a browser it started, a thread of its own).
    ~CFeedbackDll() = default;
    CFeedbackDll(const CFeedbackDll&) = delete;
    CFeedbackDll& operator=(const CFeedbackDll&) = delete;

    // Loads "KorvaneFeedbackInformation.dll" from the program's own folder and resolves its nine
    // exports. 1 on success (also when already loaded); 0 when the file or any export is missing,
    // and then nothing stays loaded and every call below answers 0.
    int Load();

    // Forwarders: each answers 0 without calling anything while the component is not loaded.
    int InitFreedbackDll();
    int FeedbackQuestion(const wchar_t* toolId, const wchar_t* version);
    int OpenUrl(const wchar_t* url);
    int GetInterNetState();
    int CustomerFeedback(const wchar_t* toolId, const wchar_t* version, int answerCode);
    int CustomerFeedbackEx(const wchar_t* toolId, const wchar_t* version, int answerCode, const wchar_t* timeText);
    int WriteCustomerFeedbackInfoFile(const wchar_t* toolId, const wchar_t* version, int answerCode,
                                      const wchar_t* timeText);
    int GetToolIsNewVersion(const wchar_t* toolId, const wchar_t* version);
    int OpenToolDownUrl();

private:
    void Forget();

    HMODULE m_hModule = nullptr;  // owned, deliberately never freed once loaded
    decltype(&::InitFreedbackDll) m_pfnInitFreedbackDll = nullptr;
    decltype(&::FeedbackQuestion) m_pfnFeedbackQuestion = nullptr;
    decltype(&::OpenUrl) m_pfnOpenUrl = nullptr;
    decltype(&::GetInterNetState) m_pfnGetInterNetState = nullptr;
    decltype(&::CustomerFeedback) m_pfnCustomerFeedback = nullptr;
    decltype(&::CustomerFeedbackEx) m_pfnCustomerFeedbackEx = nullptr;
    decltype(&::WriteCustomerFeedbackInfoFile) m_pfnWriteCustomerFeedbackInfoFile = nullptr;
    decltype(&::GetToolIsNewVersion) m_pfnGetToolIsNewVersion = nullptr;
    decltype(&::OpenToolDownUrl) m_pfnOpenToolDownUrl = nullptr;
};
