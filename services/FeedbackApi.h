#pragma once
// What the program and the maker's feedback component "KorvaneFeedbackInformation.dll" agree on.
//
// Calling convention: every export is __stdcall (WINAPI), the usual one for a Win32 library that
// other compilers call, and is exported under its bare name (the component's .def file strips the
// "@n" decoration). Strings are UTF-16 and only read during the call; results are 32-bit ints.
//
// The program never links against these declarations: it takes their types with decltype and finds
// the functions with GetProcAddress, so a mismatch between both sides cannot compile.
#include <windows.h>

extern "C" {
int WINAPI InitFreedbackDll();  // sic: the component's export name
int WINAPI FeedbackQuestion(const wchar_t* toolId, const wchar_t* version);
int WINAPI OpenUrl(const wchar_t* url);
int WINAPI GetInterNetState();
int WINAPI CustomerFeedback(const wchar_t* toolId, const wchar_t* version, int answerCode);
int WINAPI CustomerFeedbackEx(const wchar_t* toolId, const wchar_t* version, int answerCode, const wchar_t* timeText);
int WINAPI WriteCustomerFeedbackInfoFile(const wchar_t* toolId, const wchar_t* version, int answerCode,
                                         const wchar_t* timeText);
int WINAPI GetToolIsNewVersion(const wchar_t* toolId, const wchar_t* version);
int WINAPI OpenToolDownUrl();
}

namespace feedback {

constexpr wchar_t kComponentFileName[] = L"KorvaneFeedbackInformation.dll";

// GetToolIsNewVersion: the maker knows a newer version of the tool.
constexpr int kNewerVersionExists = 3;

// The maker's pages, all in one place: the program hands the first two to OpenUrl, the component
// opens the others itself.
constexpr wchar_t kKnowledgeBaseUrl[] = L"https://www.korvane.example/support/";
constexpr wchar_t kMoreToolsUrl[] = L"https://www.korvane.example/tools/";
constexpr wchar_t kDownloadUrl[] = L"https://www.korvane.example/download/";
constexpr wchar_t kQuestionUrl[] = L"https://www.korvane.example/feedback/";

}  // namespace feedback
