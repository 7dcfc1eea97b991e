#include "log/Log.h"

#include "framework/base/FileWrite.h"
#include "framework/base/KernelHandle.h"
#include "framework/base/TextCodec.h"

#include <shlobj.h>
#include <windows.h>

#include <cstdio>
#include <cwchar>

namespace {

constexpr const wchar_t* kLogFolderName = L"ToolLog";
constexpr const wchar_t* kConfigFileName = L"logCfg.ini";
constexpr DWORD kConfigValueChars = 100;
constexpr DWORD kAppDataPathChars = 1024;

std::wstring TrimBlanks(const std::wstring& text)
{
    const wchar_t* blanks = L" \t\r\n\v\f";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::wstring::npos) return {};
    const size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

// Only the value 1, read as a leading decimal integer ("1x" counts), switches printing on.
bool ReadPrintSwitch(const std::wstring& iniPath)
{
    wchar_t value[kConfigValueChars] = {};
    GetPrivateProfileStringW(L"Log", L"print", L"-1", value, kConfigValueChars, iniPath.c_str());
    const std::wstring trimmed = TrimBlanks(value);
    wchar_t* end = nullptr;
    const long number = std::wcstol(trimmed.c_str(), &end, 10);
    return end != trimmed.c_str() && number == 1;
}

bool PathExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string TimeStamp()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "[%04d-%02d-%02d %02d:%02d:%02d %03dms]   ", now.wYear, now.wMonth, now.wDay,
                  now.wHour, now.wMinute, now.wSecond, now.wMilliseconds);
    return stamp;
}

}  // namespace

std::wstring GetCommonAppDataDir()
{
    wchar_t folder[kAppDataPathChars] = {};
    if (!SHGetSpecialFolderPathW(nullptr, folder, CSIDL_COMMON_APPDATA, FALSE)) return {};
    return std::wstring(folder) + L"\\";
}

void CLogSaveCloseFile::WriteText(const std::string& message, const std::string& fileName)
{
    CPacketLog record(fileName, message);
    WritePacket(record);
}

void CLogSaveCloseFile::WriteHex(const unsigned char* data, int count, const std::string& fileName)
{
    std::string text;
    char byte[4];
    for (int i = 0; i < count; ++i) {
        std::snprintf(byte, sizeof byte, "%02X ", static_cast<unsigned>(data[i]));
        text += byte;
    }
    CPacketLog record(fileName, text);
    WritePacket(record);
}

void CLogSaveCloseFile::WritePacket(CPacketLog& record)
{
    fx::CSingleLock lock(m_lock);
    const std::wstring path = m_strLogDir + fx::DecodeCodePage(record.fileName, fx::kCodePageGbk);
    fx::CKernelHandle file(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                       nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid()) return;  // the record is lost; logging never fails its caller

    SetFilePointer(file.Get(), 0, nullptr, FILE_END);
    // One write per record, so that a record is never split by another process's writer.
    fx::WriteAll(file.Get(), TimeStamp() + record.content + "\r\n");

    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file.Get(), &size) || static_cast<unsigned long long>(size.QuadPart) <= kLogRotateSize) return;
    file.Reset();  // the file must be closed before it can be moved
    MoveFileExW(path.c_str(), (path + L"bak").c_str(), MOVEFILE_REPLACE_EXISTING);
}

CLogSave::CLogSave() : CLogSave(GetCommonAppDataDir()) {}

CLogSave::CLogSave(const std::wstring& appDataDir)
{
    m_strLogDir = appDataDir + kLogFolderName;
    if (!PathExists(m_strLogDir)) CreateDirectoryW(m_strLogDir.c_str(), nullptr);
    m_strLogDir += L"\\";
    m_bPrint = ReadPrintSwitch(appDataDir + kConfigFileName);
    m_pWriter = std::make_unique<CLogSaveCloseFile>(m_strLogDir);
}

void CLogSave::Write(std::string message, std::string fileName, bool always)
{
    if (!m_pWriter || !(always || m_bPrint)) return;
    m_pWriter->WriteText(message, fileName);
}

CLogSave& GetLog()
{
    static CLogSave log;
    return log;
}

void LogRecord(const std::wstring& message)
{
    GetLog().Write(fx::EncodeCodePage(message, fx::kCodePageGbk), kLogFileName, true);
}
