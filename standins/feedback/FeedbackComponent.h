#pragma once
// The stand-in feedback component's own settings, for the tests that drive it. The program itself
// knows only services/FeedbackApi.h.
//
// Configuration (optional, absent by default), "KorvaneFeedbackInformation.ini" beside the component:
//   [Feedback]
//   Init=0            ; InitFreedbackDll fails
//   [LatestVersions]
//   10080=1.0.1       ; GetToolIsNewVersion answers 3 for tool 10080 at any version below 1.0.1
//
// Survey answers are appended as UTF-8 lines "tool id<TAB>version<TAB>answer code<TAB>time text" to
// <common application data>\Korvane\Feedback\CustomerFeedback.txt.
//
// With QUORLIN_FEEDBACK_JOURNAL=<file> in the environment every call is appended to that file as a
// UTF-8 line "name<TAB>argument<TAB>...", and pages are not opened.

namespace feedback::standin {

constexpr wchar_t kConfigFileName[] = L"KorvaneFeedbackInformation.ini";
constexpr wchar_t kConfigSection[] = L"Feedback";
constexpr wchar_t kConfigInitKey[] = L"Init";
constexpr wchar_t kConfigVersionsSection[] = L"LatestVersions";

constexpr wchar_t kRecordFolder[] = L"Korvane\\Feedback";  // below the common application data
constexpr wchar_t kRecordFileName[] = L"CustomerFeedback.txt";

constexpr wchar_t kJournalVariable[] = L"QUORLIN_FEEDBACK_JOURNAL";

// GetToolIsNewVersion's answers besides feedback::kNewerVersionExists.
constexpr int kVersionUnknown = 0;  // no tool id or version given
constexpr int kVersionCurrent = 1;  // no newer version known

}  // namespace feedback::standin
