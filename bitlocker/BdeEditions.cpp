#include "bitlocker/BdeEditions.h"

#include <iterator>

namespace {

// Texts seen in real captures of both editions, or published by the maker; the Chinese success and
// error sentences follow the English ones where no capture shows them.
constexpr BdeEdition kEditions[] = {
    {
        L"BitLocker 驱动器加密: 配置工具版本",
        L"保护的磁盘卷:",
        L"卷",
        L"转换状态:",
        L"已加密百分比:",
        L"加密方法:",
        L"解密",
        L"错误:",
        L"找不到密钥保护器",
        L"数字密码:",
        L"密码已成功解锁卷",
        L"解密正在进行中",
    },
    {
        L"BitLocker Drive Encryption: Configuration Tool version",
        L"BitLocker Drive Encryption:",  // a line of its own, after "Disk volumes that can be protected with"
        L"Volume ",
        L"Conversion Status:",
        L"Percentage Encrypted:",
        L"Encryption Method:",
        L"Decrypt",
        L"ERROR:",
        L"No key protectors found",
        L"Numerical Password:",
        L"The password successfully unlocked volume",
        L"Decryption is now in progress",
    },
};

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

// One line of the text: from its first non-blank character to its end, CR LF and trailing blanks
// left out, and where the next line starts.
struct Line
{
    size_t start;
    size_t end;
    size_t next;
};

bool NextLine(const std::wstring& text, size_t* pos, Line* line)
{
    if (*pos >= text.size()) return false;
    size_t start = *pos;
    while (start < text.size() && IsBlank(text[start])) ++start;
    const size_t lineEnd = text.find(L'\n', *pos);
    const size_t next = lineEnd == std::wstring::npos ? text.size() : lineEnd + 1;
    size_t end = lineEnd == std::wstring::npos ? text.size() : lineEnd;
    while (end > start && (text[end - 1] == L'\r' || IsBlank(text[end - 1]))) --end;
    *line = {start, end < start ? start : end, next};
    *pos = next;
    return true;
}

bool BeginsWith(const std::wstring& text, const Line& line, const std::wstring& prefix)
{
    return line.end - line.start >= prefix.size() && text.compare(line.start, prefix.size(), prefix) == 0;
}

// The edition whose `text` member first appears as a line of the output.
const BdeEdition* FirstEditionWith(const std::wstring& output, const wchar_t* BdeEdition::*text, bool wholeLine)
{
    const BdeEdition* first = nullptr;
    size_t firstPos = std::wstring::npos;
    for (const BdeEdition& edition : kEditions) {
        const size_t pos = FindLine(output, edition.*text, wholeLine);
        if (pos != std::wstring::npos && (first == nullptr || pos < firstPos)) {
            first = &edition;
            firstPos = pos;
        }
    }
    return first;
}

}  // namespace

size_t FindLine(const std::wstring& text, const std::wstring& prefix, bool wholeLine, size_t from)
{
    Line line;
    for (size_t pos = from; NextLine(text, &pos, &line);) {
        if (BeginsWith(text, line, prefix) && (!wholeLine || line.end - line.start == prefix.size())) return line.next;
    }
    return std::wstring::npos;
}

const BdeEdition* EditionOf(const std::wstring& output)
{
    const BdeEdition* edition = FirstEditionWith(output, &BdeEdition::banner, false);
    return edition ? edition : FirstEditionWith(output, &BdeEdition::listHeader, true);
}

bool ReportsSuccess(const std::wstring& output, const wchar_t* BdeEdition::*marker)
{
    const BdeEdition* edition = EditionOf(output);
    return edition && FindLine(output, edition->*marker, false) != std::wstring::npos &&
           FindLine(output, edition->errorPrefix, false) == std::wstring::npos;
}

bool ReportsNoProtector(const std::wstring& output)
{
    const BdeEdition* edition = EditionOf(output);
    if (!edition) return false;
    const std::wstring prefix = edition->errorPrefix;
    const std::wstring marker = edition->noProtector;
    Line line;
    for (size_t pos = 0; NextLine(output, &pos, &line);) {
        if (BeginsWith(output, line, prefix)) {
            line.start += prefix.size();
            while (line.start < line.end && IsBlank(output[line.start])) ++line.start;
        }
        if (BeginsWith(output, line, marker)) return true;
    }
    return false;
}
