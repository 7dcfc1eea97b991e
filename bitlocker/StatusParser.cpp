#include "bitlocker/StatusParser.h"

#include <cmath>
#include <cwchar>
#include <vector>

namespace {

const std::wstring kListHeader = L"保护的磁盘卷:";
const wchar_t kVolumeMarker = L'卷';
const std::wstring kConversionLabel = L"转换状态:";
const std::wstring kPercentageLabel = L"已加密百分比:";
const std::wstring kMethodLabel = L"加密方法:";
const std::wstring kDecryptWord = L"解密";
const std::wstring kLineEnd = L"\r\n";

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

size_t SkipBlanks(const std::wstring& text, size_t pos)
{
    while (pos < text.size() && IsBlank(text[pos])) ++pos;
    return pos;
}

std::wstring TrimRight(std::wstring text)
{
    const size_t last = text.find_last_not_of(L" \t\r\n\v\f");
    text.erase(last == std::wstring::npos ? 0 : last + 1);
    return text;
}

// The start of every volume block: a line whose first non-blank character is the volume marker.
// "[OS 卷]" and "[数据卷]" inside a block are not at a line start, so they never open a block.
std::vector<size_t> FindVolumeBlocks(const std::wstring& text, size_t from)
{
    std::vector<size_t> starts;
    size_t lineStart = from;
    while (lineStart < text.size()) {
        const size_t first = SkipBlanks(text, lineStart);
        if (first < text.size() && text[first] == kVolumeMarker) starts.push_back(first);
        const size_t lineEnd = text.find(L'\n', lineStart);
        if (lineEnd == std::wstring::npos) break;
        lineStart = lineEnd + 1;
    }
    return starts;
}

// The value of "label" on its own line inside the block, trimmed; false when the label or the line
// end is missing. Blanks after the label are skipped, line ends are not: an empty value never takes
// the next line's text.
bool FindField(const std::wstring& block, const std::wstring& label, std::wstring* value)
{
    const size_t labelPos = block.find(label);
    if (labelPos == std::wstring::npos) return false;
    const size_t start = SkipBlanks(block, labelPos + label.size());
    const size_t end = block.find(kLineEnd, start);
    if (end == std::wstring::npos) return false;
    *value = TrimRight(block.substr(start, end - start));
    return true;
}

// "100.0%" -> 100.0; text that is not a number (a locked volume's "未知%") -> 0.0.
double ReadPercentage(std::wstring text)
{
    while (!text.empty() && text.back() == L'%') text.pop_back();
    const double value = std::wcstod(text.c_str(), nullptr);
    return std::isfinite(value) ? value : 0.0;
}

}  // namespace

int ParseStatusText(const std::wstring& text, VolumeInfoMap* map)
{
    const size_t header = text.find(kListHeader);
    if (header == std::wstring::npos) return 0;

    const std::vector<size_t> starts = FindVolumeBlocks(text, header + kListHeader.size());
    for (size_t i = 0; i < starts.size(); ++i) {
        const size_t blockStart = SkipBlanks(text, starts[i] + 1);
        const size_t blockEnd = i + 1 < starts.size() ? starts[i + 1] : text.size();
        const std::wstring block = text.substr(blockStart, blockEnd - blockStart);

        // The name runs up to the first blank of the marker's line ("卷 C: [OS]").
        const size_t blank = block.find(L' ');
        if (blank == std::wstring::npos || blank <= 1 || block.find(L'\n') < blank) continue;

        BitLockerVolumeInfo info;
        info.strVolume = block.substr(0, blank);
        std::wstring value;
        if (FindField(block, kConversionLabel, &value)) {
            if (value.find(kDecryptWord) != std::wstring::npos) continue;  // decrypted or decrypting
            info.strConversionStatus = value;
        }
        if (FindField(block, kPercentageLabel, &value)) info.dPercentageEncrypted = ReadPercentage(value);
        if (FindField(block, kMethodLabel, &value)) info.strEncryptionMethod = value;
        map->emplace(info.strVolume, info);  // an existing name keeps its first record
    }
    return 1;
}
