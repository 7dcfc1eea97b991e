#include "framework/base/ModulePath.h"

namespace fx {

std::wstring ModuleFileName(HMODULE module)
{
    // GetModuleFileNameW truncates silently and returns the buffer size when the path does not fit.
    return ReadPathInto([module](wchar_t* buffer, DWORD size) { return GetModuleFileNameW(module, buffer, size); });
}

std::wstring ModuleFolder(HMODULE module)
{
    std::wstring path = ModuleFileName(module);
    const size_t slash = path.rfind(L'\\');
    if (slash == std::wstring::npos) return {};
    path.resize(slash);
    return path;
}

}  // namespace fx
