#include "framework/base/FinalPath.h"

#include "framework/base/ModulePath.h"

namespace fx {

std::wstring FinalPathOf(HANDLE handle, DWORD volumeName)
{
    std::wstring finalPath(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetFinalPathNameByHandleW(handle, finalPath.data(), static_cast<DWORD>(finalPath.size()), volumeName);
        if (length == 0 || length > kLongestPath) return {};
        // Too small: the answer is the size needed, terminating zero included.
        if (length < finalPath.size()) {
            finalPath.resize(length);
            return finalPath;
        }
        finalPath.resize(length);
    }
}

}  // namespace fx
