#pragma once
// Where a loaded module's file lies: the program finds its companion files (the feedback component)
// next to itself, and the component finds its own configuration next to itself.
#include <windows.h>

#include <string>

namespace fx {

// The longest path Windows knows, in characters (32767 and the terminating zero).
constexpr DWORD kLongestPath = 32768;

// Reads a path that the system copies into a buffer of the caller's: first into MAX_PATH characters
// and, when it did not fit, once more into kLongestPath. `read(buffer, size)` returns the path's
// length, `size` or more when it did not fit, 0 on failure. Empty on failure.
template <typename Read>
std::wstring ReadPathInto(Read read)
{
    std::wstring path;
    for (const DWORD size : {static_cast<DWORD>(MAX_PATH), kLongestPath}) {
        path.resize(size);
        const DWORD length = read(path.data(), size);
        if (length == 0) return {};
        if (length < size) {
            path.resize(length);
            return path;
        }
    }
    return {};
}

// Full path of the module's file (nullptr: the program itself); empty on failure. Not limited to
// MAX_PATH: a program started from a deep folder still finds its companions.
std::wstring ModuleFileName(HMODULE module);

// The folder that holds the module's file: its full path cut before the last backslash, without a
// trailing backslash; empty on failure.
std::wstring ModuleFolder(HMODULE module);

}  // namespace fx
