#pragma once
// The manage-bde command lines the tool runs, and the texts it looks for in their output.
#include "framework/base/SystemFolder.h"

#include <string>

// manage-bde by its full path in the system folder (the native one: the runner switches file-system
// redirection off), quoted: the interpreter never searches for it.
inline std::wstring ManageBde() { return L"\"" + fx::SystemFilePath(L"manage-bde.exe") + L"\""; }

inline std::wstring StatusCommand() { return ManageBde() + L" -status"; }
inline std::wstring ProtectorsCommand(const std::wstring& volume)
{
    return ManageBde() + L" -protectors -get " + volume;
}
inline std::wstring UnlockCommand(const std::wstring& volume, const std::wstring& password)
{
    return ManageBde() + L" -unlock " + volume + L" -RecoveryPassword " + password;
}
inline std::wstring TurnOffCommand(const std::wstring& volume) { return ManageBde() + L" -off " + volume; }

// A fully encrypted volume without any key protector (a pre-encrypted disk).
constexpr const wchar_t* kNoProtectorMarker = L"找不到密钥保护器";
// The protector listing holds a numerical recovery password.
constexpr const wchar_t* kNumericalPasswordMarker = L"数字密码:";
constexpr const wchar_t* kUnlockedMarker = L"密码已成功解锁卷";
constexpr const wchar_t* kDecryptingMarker = L"解密正在进行中";
