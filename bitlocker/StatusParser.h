#pragma once
// Reads the Chinese (Simplified) output of "manage-bde -status" into the volume map.
// Portable: no Windows API, so that it also builds natively for the sanitizers and the fuzzer.
#include "bitlocker/VolumeInfo.h"

#include <string>

// 1 when the text holds the list header "保护的磁盘卷:", else 0. Adds every volume whose conversion
// status does not mention decryption; a name already in the map keeps its first record.
int ParseStatusText(const std::wstring& text, VolumeInfoMap* map);
