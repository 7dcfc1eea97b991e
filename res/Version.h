#pragma once
// The program's version, defined here only: the version resource, the version on the main window's
// title band, the calls to the feedback component and the release package's name
// (scripts/package.sh, CMakeLists.txt) all take it from here.
#define QUORLIN_VERSION_MAJOR 1
#define QUORLIN_VERSION_MINOR 0
#define QUORLIN_VERSION_PATCH 0

#define QUORLIN_STRINGIZE_(x) #x
#define QUORLIN_STRINGIZE(x)  QUORLIN_STRINGIZE_(x)
// "1.0.0": the resource compiler joins adjacent strings as the C++ compiler does.
#define QUORLIN_VERSION_TEXT                                                                                           \
    QUORLIN_STRINGIZE(QUORLIN_VERSION_MAJOR)                                                                           \
    "." QUORLIN_STRINGIZE(QUORLIN_VERSION_MINOR) "." QUORLIN_STRINGIZE(QUORLIN_VERSION_PATCH)

#ifndef RC_INVOKED
constexpr const wchar_t kQuorlinVersion[] = L"" QUORLIN_VERSION_TEXT;
#endif
