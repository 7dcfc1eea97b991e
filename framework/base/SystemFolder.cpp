#include "framework/base/SystemFolder.h"

#include <windows.h>

namespace fx {

std::wstring SystemFolder()
{
    const UINT needed = GetSystemDirectoryW(nullptr, 0);
    if (needed == 0) return {};
    std::wstring folder(needed, L'\0');
    const UINT length = GetSystemDirectoryW(folder.data(), needed);
    if (length == 0 || length >= needed) return {};
    folder.resize(length);
    return folder;
}

std::wstring SystemFilePath(const wchar_t* name)
{
    const std::wstring folder = SystemFolder();
    return folder.empty() ? std::wstring() : folder + L"\\" + name;
}

}  // namespace fx
