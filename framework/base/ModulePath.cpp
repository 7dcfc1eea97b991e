#include "framework/base/ModulePath.h"

namespace fx {

std::wstring ModuleFileName(HMODULE module)
{
    // GetModuleFileNameW truncates silently and returns the buffer size when the path does not fit:
    // grow until it does.
    std::wstring path;
    for (DWORD size = MAX_PATH; size <= kLongestPath; size *= 2) {
        path.resize(size);
        const DWORD length = GetModuleFileNameW(module, path.data(), size);
        if (length == 0) return {};
        if (length < size) {
            path.resize(length);
            return path;
        }
    }
    return {};
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
