#include "tests/app/AppBed.h"

#include "framework/base/TextCodec.h"

#include <doctest.h>

namespace apptest {

std::vector<std::wstring> CAppBed::FeedbackCalls() const
{
    const std::wstring text = fx::DecodeCodePage(testing::ReadFileBytes(m_temp / L"feedback.txt"), CP_UTF8);
    std::vector<std::wstring> lines;
    for (size_t start = 0, end; (end = text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

HWND StartAndDetect(CAppBed& bed)
{
    REQUIRE(bed.Run().Copied());
    REQUIRE(bed.Run().Start());
    HWND main = bed.Run().MainWindow();
    REQUIRE(main);
    REQUIRE(bed.Run().WaitForDetection());
    CHECK_FALSE(bed.Run().WaitForPrompt(1000));
    return main;
}

}  // namespace apptest
