#include "bitlocker/StatusParser.h"

#include "bitlocker/BdeEditions.h"

#include <cmath>
#include <cwchar>
#include <vector>

namespace {

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

// The start of every volume block: the volume marker that begins its first line.
// "[OS 卷]" and "[数据卷]" inside a block, or a label, are not at a line start, so they never open one.
std::vector<size_t> FindVolumeBlocks(const std::wstring& text, size_t from, const std::wstring& marker)
{
    std::vector<size_t> starts;
    size_t lineStart = from;
    while (lineStart < text.size()) {
        const size_t first = SkipBlanks(text, lineStart);
        if (text.compare(first, marker.size(), marker) == 0) starts.push_back(first);
        const size_t lineEnd = text.find(L'\n', lineStart);
        if (lineEnd == std::wstring::npos) break;
        lineStart = lineEnd + 1;
    }
    return starts;
}

// The value of the field line that begins with "label" inside the block, trimmed; false when the
// label or the line end is missing. Only the lines after the block's first are field lines: a volume
// label is never read as a field. Blanks after the label are skipped, line ends are not: an empty
// value never takes the next line's text.
bool FindField(const std::wstring& block, const std::wstring& label, std::wstring* value)
{
    for (size_t line = block.find(L'\n'); line != std::wstring::npos; line = block.find(L'\n', line)) {
        const size_t first = SkipBlanks(block, ++line);
        if (block.compare(first, label.size(), label) != 0) continue;
        const size_t start = SkipBlanks(block, first + label.size());
        const size_t end = block.find(kLineEnd, start);
        if (end == std::wstring::npos) return false;
        *value = TrimRight(block.substr(start, end - start));
        return true;
    }
    return false;
}

// "100.0%" -> 100.0; text that is not a number (a locked volume's "未知%" or "Unknown%") -> 0.0.
double ReadPercentage(std::wstring text)
{
    while (!text.empty() && text.back() == L'%') text.pop_back();
    const double value = std::wcstod(text.c_str(), nullptr);
    return std::isfinite(value) ? value : 0.0;
}

}  // namespace

int ParseStatusText(const std::wstring& text, VolumeInfoMap* map)
{
    const BdeEdition* edition = EditionOf(text);
    if (!edition) return 0;
    const size_t header = FindLine(text, edition->listHeader, true);
    if (header == std::wstring::npos) return 0;

    const std::wstring marker = edition->volumeMarker;
    const std::vector<size_t> starts = FindVolumeBlocks(text, header, marker);
    for (size_t i = 0; i < starts.size(); ++i) {
        const size_t blockStart = SkipBlanks(text, starts[i] + marker.size());
        const size_t blockEnd = i + 1 < starts.size() ? starts[i + 1] : text.size();
        const std::wstring block = text.substr(blockStart, blockEnd - blockStart);

        // The name runs up to the first blank of the marker's line ("卷 C: [OS]", "Volume C: [OS]").
        const size_t blank = block.find(L' ');
        if (blank == std::wstring::npos || blank <= 1 || block.find(L'\n') < blank) continue;

        BitLockerVolumeInfo info;
        info.strVolume = block.substr(0, blank);
        std::wstring value;
        if (FindField(block, edition->conversionLabel, &value)) {
            if (value.find(edition->decryptWord) != std::wstring::npos) continue;  // decrypted or decrypting
            info.strConversionStatus = value;
        }
        if (FindField(block, edition->percentageLabel, &value)) info.dPercentageEncrypted = ReadPercentage(value);
        if (FindField(block, edition->methodLabel, &value)) info.strEncryptionMethod = value;
        map->emplace(info.strVolume, info);  // an existing name keeps its first record
    }
    return 1;
}
