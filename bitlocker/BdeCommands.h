#pragma once
// The manage-bde command lines the tool runs; the texts it looks for in their output, per language
// edition, are in BdeEditions.cpp.
#include "bitlocker/BdeEditions.h"
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
