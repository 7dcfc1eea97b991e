// Each test bed shows the screen at the logical resolution it was made for, the one that
// QUORLIN_DPI names (96 when unset), to a DPI-aware process such as the program itself.
#include <doctest.h>
#include <windows.h>

#include <cstdlib>

TEST_CASE("the screen's logical resolution is the test bed's")
{
    const char* requested = std::getenv("QUORLIN_DPI");
    const int expected = requested ? std::atoi(requested) : 96;
    // The program's manifest declares DPI awareness; without it Windows would report 96 anyway.
    REQUIRE(SetProcessDPIAware());
    HDC screen = GetDC(nullptr);
    REQUIRE(screen != nullptr);
    CHECK(GetDeviceCaps(screen, LOGPIXELSY) == expected);
    CHECK(GetDeviceCaps(screen, LOGPIXELSX) == expected);
    ReleaseDC(nullptr, screen);
}
