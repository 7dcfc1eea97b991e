#pragma once
// Volume names reach a command line ("manage-bde -off C:"), so only names that cannot carry
// command-interpreter syntax are let through. Portable (no Windows API).
#include <string>

// True for a drive letter with its colon ("C:") or a volume GUID path
// ("\\?\Volume{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}\", the trailing backslash optional).
bool IsSafeVolumeName(const std::wstring& name);
