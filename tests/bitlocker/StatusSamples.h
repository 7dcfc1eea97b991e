#pragma once
// Status texts in the form the Chinese (Simplified) or the English manage-bde prints, built from
// blocks so that each test says only what differs.
#include <string>

namespace samples {

inline std::wstring Header(bool english = false)
{
    if (english) {
        return L"BitLocker Drive Encryption: Configuration Tool version 10.0.19041\r\n"
               L"Copyright (C) 2013 Microsoft Corporation. All rights reserved.\r\n\r\n"
               L"Disk volumes that can be protected with\r\nBitLocker Drive Encryption:\r\n";
    }
    return L"BitLocker 驱动器加密: 配置工具版本 10.0.19041\r\n"
           L"版权所有 (C) 2013 Microsoft Corporation。保留所有权利。\r\n\r\n"
           L"可以使用 BitLocker 驱动器加密\r\n保护的磁盘卷:\r\n";
}

struct Block
{
    std::wstring name = L"C:";
    std::wstring label = L"Label";
    std::wstring kind = L"[OS 卷]";
    std::wstring conversion = L"完全加密";
    std::wstring percentage = L"100.0%";
    std::wstring method = L"XTS-AES 128";
    std::wstring lock = L"已解锁";
    bool withConversion = true;
    bool withPercentage = true;
    bool withMethod = true;
    bool english = false;  // the English labels; the values are the block's own
};

inline std::wstring VolumeBlock(const Block& b)
{
    const bool e = b.english;
    std::wstring text = (e ? L"Volume " : L"卷 ") + b.name + L" [" + b.label + L"]\r\n" + b.kind + L"\r\n\r\n";
    text += e ? L"    Size:                 475.69 GB\r\n" : L"    大小:              475.69 GB\r\n";
    text += e ? L"    BitLocker Version:    2.0\r\n" : L"    BitLocker 版本:    2.0\r\n";
    if (b.withConversion)
        text += (e ? L"    Conversion Status:    " : L"    转换状态:          ") + b.conversion + L"\r\n";
    if (b.withPercentage)
        text += (e ? L"    Percentage Encrypted: " : L"    已加密百分比:      ") + b.percentage + L"\r\n";
    if (b.withMethod) text += (e ? L"    Encryption Method:    " : L"    加密方法:          ") + b.method + L"\r\n";
    text += e ? L"    Protection Status:    Protection On\r\n" : L"    保护状态:          保护已启用\r\n";
    text += (e ? L"    Lock Status:          " : L"    锁定状态:          ") + b.lock + L"\r\n";
    text += e ? L"    Identification Field: Unknown\r\n" : L"    标识字段:          未知\r\n";
    text += e ? L"    Key Protectors:\r\n        TPM\r\n        Numerical Password\r\n\r\n"
              : L"    密钥保护器:\r\n        TPM\r\n        数字密码\r\n\r\n";
    return text;
}

}  // namespace samples
