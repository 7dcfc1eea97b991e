// Feeds arbitrary text to the status parser. The input is read as UTF-16LE code units, so that the
// seed corpus (real status outputs) keeps its Chinese markers and mutations work around them.
#include "bitlocker/StatusParser.h"

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
    for (const auto& [name, info] : map) {
        if (name != info.strVolume || name.size() < 2 || !std::isfinite(info.dPercentageEncrypted)) std::abort();
        if (info.strConversionStatus.find(L"解密") != std::wstring::npos) std::abort();
    }
    return 0;
}
