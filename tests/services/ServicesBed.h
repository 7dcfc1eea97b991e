#pragma once
// What the viewer and survey tests share: the test bed's screen resolution, and which of the
// bed's resolutions a measure is expected at.
#include <cstdlib>

namespace services_test {

// The logical resolution of the bed the test runs in (QUORLIN_DPI, 96 when unset).
inline int BedDpi()
{
    const char* dpi = std::getenv("QUORLIN_DPI");
    return dpi && *dpi ? std::atoi(dpi) : 96;
}

// A value for the bed's resolution: the first at 96, the second at 144.
template <class T>
const T& AtBedDpi(const T& at96, const T& at144)
{
    return BedDpi() == 144 ? at144 : at96;
}

}  // namespace services_test
