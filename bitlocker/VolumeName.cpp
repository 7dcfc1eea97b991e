#include "bitlocker/VolumeName.h"

namespace {

bool IsAsciiLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

bool IsHexDigit(wchar_t c) { return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F'); }

// "xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx" between the braces.
bool IsGuidText(const std::wstring& text)
{
    static const size_t kGroups[] = {8, 4, 4, 4, 12};
    size_t pos = 0;
    for (size_t g = 0; g < 5; ++g) {
        if (g > 0) {
            if (pos >= text.size() || text[pos] != L'-') return false;
            ++pos;
        }
        for (size_t i = 0; i < kGroups[g]; ++i, ++pos) {
            if (pos >= text.size() || !IsHexDigit(text[pos])) return false;
        }
    }
    return pos == text.size();
}

}  // namespace

bool IsSafeVolumeName(const std::wstring& name)
{
    if (name.size() == 2) return IsAsciiLetter(name[0]) && name[1] == L':';

    const std::wstring prefix = L"\\\\?\\Volume{";
    if (name.compare(0, prefix.size(), prefix) != 0) return false;
    std::wstring rest = name.substr(prefix.size());
    if (!rest.empty() && rest.back() == L'\\') rest.pop_back();
    if (rest.empty() || rest.back() != L'}') return false;
    rest.pop_back();
    return IsGuidText(rest);
}
