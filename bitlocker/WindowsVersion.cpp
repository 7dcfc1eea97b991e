// The tool supports exactly Windows 10.0. The numbers come from the process environment block, which
// holds what the system reports for this process (no version function, whose answer depends on the
// manifest).
#include "bitlocker/BitLockerOperator.h"

#include <winternl.h>

#include <cstddef>

namespace {

// Offsets of OSMajorVersion and OSMinorVersion in the process environment block of a 32-bit process
// (also under WOW64, where the 32-bit block is kept up to date); winternl.h keeps them in reserved
// fields.
#if defined(_WIN64)
constexpr size_t kMajorOffset = 0x118;
constexpr size_t kMinorOffset = 0x11C;
#else
constexpr size_t kMajorOffset = 0xA4;
constexpr size_t kMinorOffset = 0xA8;
#endif

ULONG ReadPebField(size_t offset)
{
    // GCC takes the fs-segment read inside NtCurrentTeb for an access to a zero-length array.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"
    const auto* peb = reinterpret_cast<const unsigned char*>(NtCurrentTeb()->ProcessEnvironmentBlock);
#pragma GCC diagnostic pop
    return *reinterpret_cast<const ULONG*>(peb + offset);
}

}  // namespace

int CBitLockerOperator::IsWindows10()
{
    return ReadPebField(kMajorOffset) == 10 && ReadPebField(kMinorOffset) == 0 ? 1 : 0;
}
