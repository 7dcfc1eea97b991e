#include "services/FeedbackDll.h"

#include "framework/base/ModulePath.h"

#include <string>

namespace {

// GetProcAddress hands back a FARPROC; going through void(*)() keeps -Wcast-function-type quiet,
// the real type is checked by the shared declarations.
template <typename Function>
bool Resolve(HMODULE module, const char* name, Function& slot)
{
    const auto address = reinterpret_cast<void (*)()>(GetProcAddress(module, name));
    slot = reinterpret_cast<Function>(address);
    return slot != nullptr;
}

}  // namespace

int CFeedbackDll::Load()
{
    if (m_hModule) return 1;
    const std::wstring folder = fx::ModuleFolder(nullptr);
    if (folder.empty()) return 0;
    const std::wstring path = folder + L"\\" + feedback::kComponentFileName;
    // By its full path; what it imports comes from the system folder only. Its own folder ships
    // nothing but the program and the component, so a library found there beside them can only be
    // one that somebody planted. (The stand-in imports known DLLs only, which Windows never takes
    // from a folder, so no test shows this; the maker's component may import others.)
    m_hModule = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!m_hModule) return 0;

    // In this order; the first missing name ends the load.
    const bool complete = Resolve(m_hModule, "InitFreedbackDll", m_pfnInitFreedbackDll) &&
                          Resolve(m_hModule, "FeedbackQuestion", m_pfnFeedbackQuestion) &&
                          Resolve(m_hModule, "OpenUrl", m_pfnOpenUrl) &&
                          Resolve(m_hModule, "GetInterNetState", m_pfnGetInterNetState) &&
                          Resolve(m_hModule, "CustomerFeedback", m_pfnCustomerFeedback) &&
                          Resolve(m_hModule, "CustomerFeedbackEx", m_pfnCustomerFeedbackEx) &&
                          Resolve(m_hModule, "WriteCustomerFeedbackInfoFile", m_pfnWriteCustomerFeedbackInfoFile) &&
                          Resolve(m_hModule, "GetToolIsNewVersion", m_pfnGetToolIsNewVersion) &&
                          Resolve(m_hModule, "OpenToolDownUrl", m_pfnOpenToolDownUrl);
    if (complete) return 1;
    // An incomplete component is of no use: free it again, and keep no pointers into it.
    FreeLibrary(m_hModule);
    Forget();
    return 0;
}

void CFeedbackDll::Forget()
{
    m_hModule = nullptr;
    m_pfnInitFreedbackDll = nullptr;
    m_pfnFeedbackQuestion = nullptr;
    m_pfnOpenUrl = nullptr;
    m_pfnGetInterNetState = nullptr;
    m_pfnCustomerFeedback = nullptr;
    m_pfnCustomerFeedbackEx = nullptr;
    m_pfnWriteCustomerFeedbackInfoFile = nullptr;
    m_pfnGetToolIsNewVersion = nullptr;
    m_pfnOpenToolDownUrl = nullptr;
}

int CFeedbackDll::InitFreedbackDll() { return m_pfnInitFreedbackDll ? m_pfnInitFreedbackDll() : 0; }

int CFeedbackDll::FeedbackQuestion(const wchar_t* toolId, const wchar_t* version)
{
    return m_pfnFeedbackQuestion ? m_pfnFeedbackQuestion(toolId, version) : 0;
}

int CFeedbackDll::OpenUrl(const wchar_t* url) { return m_pfnOpenUrl ? m_pfnOpenUrl(url) : 0; }

int CFeedbackDll::GetInterNetState() { return m_pfnGetInterNetState ? m_pfnGetInterNetState() : 0; }

int CFeedbackDll::CustomerFeedback(const wchar_t* toolId, const wchar_t* version, int answerCode)
{
    return m_pfnCustomerFeedback ? m_pfnCustomerFeedback(toolId, version, answerCode) : 0;
}

int CFeedbackDll::CustomerFeedbackEx(const wchar_t* toolId, const wchar_t* version, int answerCode,
                                     const wchar_t* timeText)
{
    return m_pfnCustomerFeedbackEx ? m_pfnCustomerFeedbackEx(toolId, version, answerCode, timeText) : 0;
}

int CFeedbackDll::WriteCustomerFeedbackInfoFile(const wchar_t* toolId, const wchar_t* version, int answerCode,
                                                const wchar_t* timeText)
{
    return m_pfnWriteCustomerFeedbackInfoFile
               ? m_pfnWriteCustomerFeedbackInfoFile(toolId, version, answerCode, timeText)
               : 0;
}

int CFeedbackDll::GetToolIsNewVersion(const wchar_t* toolId, const wchar_t* version)
{
    return m_pfnGetToolIsNewVersion ? m_pfnGetToolIsNewVersion(toolId, version) : 0;
}

int CFeedbackDll::OpenToolDownUrl() { return m_pfnOpenToolDownUrl ? m_pfnOpenToolDownUrl() : 0; }
