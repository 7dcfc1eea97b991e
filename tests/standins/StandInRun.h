#pragma once
// Runs the manage-bde stand-in and compares its output with the exact bytes expected.
#include "tests/testbed/ProcessCapture.h"

#include <initializer_list>
#include <string>

namespace bde::test {

constexpr DWORD kExitFailed = 0xFFFFFFFF;  // manage-bde's -1

// The stand-in run directly with these arguments, output through a pipe.
CapturedRun RunStandIn(const std::wstring& arguments, DWORD timeoutMs = 30000);
// Lines, each ended with CR LF, as code page 936 bytes.
std::string GbkLines(std::initializer_list<const wchar_t*> lines);
std::string Utf8(const std::string& gbk);

}  // namespace bde::test

// Byte comparison with both sides readable in the failure message.
#define CHECK_GBK(actual, expected)                                                                                    \
    do {                                                                                                               \
        const std::string actualBytes = (actual);                                                                      \
        const std::string expectedBytes = (expected);                                                                  \
        INFO("actual:\n" << bde::test::Utf8(actualBytes) << "\nexpected:\n" << bde::test::Utf8(expectedBytes));        \
        CHECK(actualBytes == expectedBytes);                                                                           \
    } while (false)
