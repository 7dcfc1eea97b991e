#include "tests/standins/StandInRun.h"

#include "framework/base/TextCodec.h"

namespace bde::test {

CapturedRun RunStandIn(const std::wstring& arguments, DWORD timeoutMs)
{
    return RunCaptured(L"\"" + StandInPath() + L"\" " + arguments, timeoutMs);
}

std::string GbkLines(std::initializer_list<const wchar_t*> lines)
{
    std::wstring text;
    for (const wchar_t* line : lines) text += std::wstring(line) + L"\r\n";
    return fx::EncodeCodePage(text, fx::kCodePageGbk);
}

std::string Utf8(const std::string& gbk)
{
    return fx::EncodeCodePage(fx::DecodeCodePage(gbk, fx::kCodePageGbk), CP_UTF8);
}

}  // namespace bde::test
