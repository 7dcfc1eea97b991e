#pragma once
// The marker a planted program or library leaves when it runs: a file "<its own name>.ran" in the
// folder that QUORLIN_PLANT_MARKERS names, holding the full path it ran from.
#include "framework/base/ModulePath.h"
#include "framework/base/TextCodec.h"
#include "tests/testbed/Planting.h"

namespace testing {

inline void LeavePlantMarker(HMODULE self)
{
    wchar_t folder[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(kPlantMarkersVariable, folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    const std::wstring path = fx::ModuleFileName(self);
    const std::wstring marker = std::wstring(folder) + path.substr(path.rfind(L'\\') + 1) + L".ran";
    HANDLE file = CreateFileW(marker.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    const std::string line = fx::EncodeCodePage(path, CP_UTF8) + "\r\n";
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
}

}  // namespace testing
