#pragma once
// Conversions between the program's UTF-16 text and the code pages at its edges (console output,
// log and key files are code page 936). Always explicit: never through the C runtime's locale.
#include <windows.h>

#include <string>

namespace fx {

constexpr UINT kCodePageGbk = 936;

std::wstring DecodeCodePage(const char* bytes, size_t count, UINT codePage);
inline std::wstring DecodeCodePage(const std::string& bytes, UINT codePage)
{
    return DecodeCodePage(bytes.data(), bytes.size(), codePage);
}
std::string EncodeCodePage(const std::wstring& text, UINT codePage);

}  // namespace fx
