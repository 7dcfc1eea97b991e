#include <doctest.h>
#include <windows.h>
TEST_CASE("ansi code page is 936")
{
    CHECK(GetACP() == 936);
    CHECK(GetOEMCP() == 936);
}
