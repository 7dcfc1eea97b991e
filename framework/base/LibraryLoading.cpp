#include "framework/base/LibraryLoading.h"

#include "framework/base/SystemFolder.h"

#include <string>

namespace fx {

bool RestrictLibrarySearch()
{
    return SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32) && SetDllDirectoryW(L"") &&
           SetSearchPathMode(BASE_SEARCH_PATH_ENABLE_SAFE_SEARCHMODE | BASE_SEARCH_PATH_PERMANENT);
}

HMODULE LoadSystemLibrary(const wchar_t* name)
{
    const std::wstring path = SystemFilePath(name);
    return path.empty() ? nullptr : LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
}

}  // namespace fx
