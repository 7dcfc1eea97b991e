#pragma once
// The manage-bde command lines the tool runs, and the texts it looks for in their output.
#include <string>

inline std::wstring StatusCommand() { return L"manage-bde -status"; }
inline std::wstring ProtectorsCommand(const std::wstring& volume) { return L"manage-bde -protectors -get " + volume; }
inline std::wstring UnlockCommand(const std::wstring& volume, const std::wstring& password)
{
    return L"manage-bde -unlock " + volume + L" -RecoveryPassword " + password;
}
inline std::wstring TurnOffCommand(const std::wstring& volume) { return L"manage-bde -off " + volume; }

// A fully encrypted volume without any key protector (a pre-encrypted disk).
constexpr const wchar_t* kNoProtectorMarker = L"找不到密钥保护器";
// The protector listing holds a numerical recovery password.
constexpr const wchar_t* kNumericalPasswordMarker = L"数字密码:";
constexpr const wchar_t* kUnlockedMarker = L"密码已成功解锁卷";
constexpr const wchar_t* kDecryptingMarker = L"解密正在进行中";
