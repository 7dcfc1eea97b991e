#include "bitlocker/RecoveryPassword.h"

#include <algorithm>
#include <vector>

namespace {

constexpr size_t kGroupCount = 8;
constexpr size_t kGroupDigits = 6;
constexpr long kGroupMultiple = 11;
constexpr long kGroupMaximum = 720885;  // 65535 * 11: each group encodes a 16-bit value

// The digit's value, 0 to 9, or -1. Full-width digits count as digits.
int DigitValue(wchar_t c)
{
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'\xFF10' && c <= L'\xFF19') return c - L'\xFF10';
    return -1;
}

bool IsSeparator(wchar_t c)
{
    switch (c) {
    case L'-':       // hyphen-minus
    case L'\xFF0D':  // full-width hyphen-minus
    case L'\x2010':  // hyphen
    case L'\x2011':  // non-breaking hyphen
    case L'\x2012':  // figure dash
    case L'\x2013':  // en dash
    case L'\x2014':  // em dash
    case L'\x2212':  // minus sign
    case L' ':
    case L'\t':
    case L'\x3000':  // ideographic space
    case L'\xA0':    // no-break space
        return true;
    default: return false;
    }
}

bool IsValidGroup(const std::wstring& group)
{
    if (group.size() != kGroupDigits) return false;
    const long value = std::stol(group);
    return value % kGroupMultiple == 0 && value <= kGroupMaximum;
}

}  // namespace

bool NormalizeRecoveryPassword(const std::wstring& typed, std::wstring* canonical)
{
    // Split into runs of digits; any run of separators divides two groups.
    std::vector<std::wstring> runs(1);
    for (wchar_t c : typed) {
        const int digit = DigitValue(c);
        if (digit >= 0) {
            if (runs.back().size() > kGroupCount * kGroupDigits) return false;  // bounds very long input
            runs.back().push_back(static_cast<wchar_t>(L'0' + digit));
        } else if (IsSeparator(c)) {
            if (!runs.back().empty()) runs.emplace_back();
        } else {
            return false;
        }
        if (runs.size() > kGroupCount + 1) return false;
    }
    if (runs.back().empty()) runs.pop_back();

    std::vector<std::wstring> groups;
    if (runs.size() == 1 && runs[0].size() == kGroupCount * kGroupDigits) {
        for (size_t i = 0; i < kGroupCount; ++i) groups.push_back(runs[0].substr(i * kGroupDigits, kGroupDigits));
    } else if (runs.size() == kGroupCount) {
        groups = runs;
    } else {
        return false;
    }

    std::wstring result;
    for (const std::wstring& group : groups) {
        if (!IsValidGroup(group)) return false;
        if (!result.empty()) result += L'-';
        result += group;
    }
    *canonical = result;
    return true;
}

bool HasRecoveryPasswordAfter(const std::wstring& text, const std::wstring& marker)
{
    const size_t found = text.find(marker);
    if (found == std::wstring::npos) return false;
    const wchar_t* blanks = L" \t\r";
    for (size_t start = text.find(L'\n', found); start != std::wstring::npos; start = text.find(L'\n', start)) {
        ++start;
        const size_t end = std::min(text.find(L'\n', start), text.size());
        const size_t first = text.find_first_not_of(blanks, start);
        if (first >= end) continue;
        const size_t last = text.find_last_not_of(blanks, end - 1);
        std::wstring canonical;
        if (NormalizeRecoveryPassword(text.substr(first, last - first + 1), &canonical)) return true;
    }
    return false;
}
