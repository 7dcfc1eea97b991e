#pragma once
// What the system says an open file or folder is, every link, substituted drive and mount point on
// the way resolved: a path that no later change of names can make lead elsewhere.
#include <windows.h>

#include <string>

namespace fx {

// The final path of the open file or folder: "\\?\C:\..." for VOLUME_NAME_DOS, "\\?\Volume{GUID}\..."
// for VOLUME_NAME_GUID; empty when the system will not say (for one, a network share has no volume
// GUID).
std::wstring FinalPathOf(HANDLE handle, DWORD volumeName = VOLUME_NAME_DOS);

}  // namespace fx
