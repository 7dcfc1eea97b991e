#pragma once
// What the tool knows of one BitLocker volume, and the map of them by volume name (C:, D:, ...).
#include <map>
#include <string>

struct BitLockerVolumeInfo
{
    std::wstring strVolume;             // as manage-bde prints it: C:, or a volume GUID path
    std::wstring strConversionStatus;   // e.g. 完全加密, 仅加密了已用空间
    double dPercentageEncrypted = 0.0;  // 0 to 100; a locked volume's "未知%" reads as 0
    std::wstring strEncryptionMethod;   // e.g. XTS-AES 128
};

// Ordered by the UTF-16 code units of the name, so iteration runs C:, D:, E: ...
using VolumeInfoMap = std::map<std::wstring, BitLockerVolumeInfo>;
