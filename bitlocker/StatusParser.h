#pragma once
// Reads the output of "manage-bde -status", Chinese (Simplified) or English, into the volume map.
// Portable: no Windows API, so that it also builds natively for the sanitizers and the fuzzer.
#include "bitlocker/VolumeInfo.h"

#include <string>

// 1 when the text holds the list header of the edition it is written in ("保护的磁盘卷:",
// "BitLocker Drive Encryption:"), else 0. Adds every volume block of that edition whose conversion
// status does not mention decryption; blocks in another language are skipped. A name already in the
// map keeps its first record.
int ParseStatusText(const std::wstring& text, VolumeInfoMap* map);
