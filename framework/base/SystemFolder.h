#pragma once
// The system folder, where the programs and libraries the tool relies on live. GetSystemDirectoryW
// names System32 on 32-bit and on 64-bit Windows alike: for this 32-bit program, file-system
// redirection maps it to SysWOW64 (the 32-bit libraries), except on a thread that has switched
// redirection off (the command runner), where it is the 64-bit System32 with the native programs.
#include <string>

namespace fx {

// The system folder without a trailing backslash; empty on failure.
std::wstring SystemFolder();

// The full path of a file in the system folder; empty on failure.
std::wstring SystemFilePath(const wchar_t* name);

}  // namespace fx
