#include "framework/base/TextCodec.h"

#include <climits>

namespace fx {

std::wstring DecodeCodePage(const char* bytes, size_t count, UINT codePage)
{
    if (count == 0 || count > INT_MAX) return {};
    const int length = static_cast<int>(count);
    const int needed = MultiByteToWideChar(codePage, 0, bytes, length, nullptr, 0);
    if (needed <= 0) return {};
    std::wstring text(static_cast<size_t>(needed), L'\0');
    MultiByteToWideChar(codePage, 0, bytes, length, text.data(), needed);
    return text;
}

std::string EncodeCodePage(const std::wstring& text, UINT codePage)
{
    if (text.empty() || text.size() > INT_MAX) return {};
    const int length = static_cast<int>(text.size());
    const int needed = WideCharToMultiByte(codePage, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return {};
    std::string bytes(static_cast<size_t>(needed), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), length, bytes.data(), needed, nullptr, nullptr);
    return bytes;
}

}  // namespace fx
