// Feeds arbitrary text to the status parser and the readers of the other answers. The input is read
// as UTF-16LE code units, so that the seed corpus (real status outputs of both editions) keeps its
// Chinese markers and mutations work around them. The same bytes, cut into two pipe reads, go
// through the UTF-8 chunker.
#include "bitlocker/BdeEditions.h"
#include "bitlocker/StatusParser.h"
#include "bitlocker/TextChunk.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::wstring text;
    text.reserve(size / 2);
    for (size_t i = 0; i + 1 < size; i += 2) {
        text.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));
    }
    VolumeInfoMap map;
    const int result = ParseStatusText(text, &map);
    if (result == 0 && !map.empty()) std::abort();
    const BdeEdition* edition = EditionOf(text);
    if (result == 1 && !edition) std::abort();
    for (const auto& [name, info] : map) {
        if (name != info.strVolume || name.size() < 2 || !std::isfinite(info.dPercentageEncrypted)) std::abort();
        if (info.strConversionStatus.find(edition->decryptWord) != std::wstring::npos) std::abort();
    }
    // An error line is never a success.
    const bool unlocked = ReportsSuccess(text, &BdeEdition::unlocked);
    if (unlocked && FindLine(text, edition->errorPrefix, false) != std::wstring::npos) std::abort();
    ReportsNoProtector(text);

    const char* bytes = reinterpret_cast<const char*>(data);
    const size_t cut = size == 0 ? 0 : data[0] % (size + 1);
    CTextChunker chunker(CChunkEncoding::Utf8());
    std::string joined = chunker.Push(bytes, cut);
    joined += chunker.Push(bytes + cut, size - cut);
    joined += chunker.Flush();
    if (joined != std::string(bytes, size)) std::abort();
    return 0;
}
