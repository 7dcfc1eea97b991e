#include "log/Log.h"

#include "framework/base/FileWrite.h"
#include "framework/base/TextCodec.h"
#include "framework/security/ProtectedAcl.h"

#include <shlobj.h>
#include <windows.h>

#include <aclapi.h>

#include <cstdio>
#include <cwchar>
#include <vector>

namespace {

constexpr const wchar_t* kLogFolderName = L"ToolLog";
constexpr const wchar_t* kConfigFileName = L"logCfg.ini";
constexpr DWORD kConfigValueChars = 100;
constexpr DWORD kAppDataPathChars = 1024;
// A record waits this long for another process's write; then it is written under the process's own
// lock alone (a mutex held for good by someone else must not stop the worker that logs).
constexpr DWORD kLogMutexWaitMs = 10000;
// What would let somebody plant or swap entries in the log folder, or change who may.
constexpr ACCESS_MASK kFolderChanges = FILE_ADD_FILE | FILE_ADD_SUBDIRECTORY | FILE_WRITE_EA | FILE_WRITE_ATTRIBUTES |
                                       FILE_DELETE_CHILD | DELETE | WRITE_DAC | WRITE_OWNER;
constexpr GENERIC_MAPPING kFileMapping = {FILE_GENERIC_READ, FILE_GENERIC_WRITE, FILE_GENERIC_EXECUTE, FILE_ALL_ACCESS};
// What would let somebody hold the log's mutex, or change who may.
constexpr ACCESS_MASK kMutexHolding = SYNCHRONIZE | MUTEX_MODIFY_STATE | DELETE | WRITE_DAC | WRITE_OWNER;
constexpr GENERIC_MAPPING kMutexMapping = {STANDARD_RIGHTS_READ | MUTANT_QUERY_STATE, STANDARD_RIGHTS_WRITE,
                                           STANDARD_RIGHTS_EXECUTE | SYNCHRONIZE, MUTANT_ALL_ACCESS};

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

// The path's attributes describe a link itself (GetFileAttributes does not follow the last link), the
// handle's what was opened; a reparse point (junction, symbolic link) in either is refused.
bool IsPlain(const std::wstring& path, HANDLE handle, DWORD kind)
{
    BY_HANDLE_FILE_INFORMATION info = {};
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && GetFileInformationByHandle(handle, &info) &&
           ((attributes | info.dwFileAttributes) & FILE_ATTRIBUTE_REPARSE_POINT) == 0 &&
           (attributes & FILE_ATTRIBUTE_DIRECTORY) == kind &&
           (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == kind &&
           (kind == FILE_ATTRIBUTE_DIRECTORY || info.nNumberOfLinks == 1);
}

// The owner of a file or folder, as a copy of its SID; empty when the system would not say.
std::vector<BYTE> OwnerOf(const std::wstring& path)
{
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr,
                              nullptr, &descriptor) != ERROR_SUCCESS) {
        return {};
    }
    std::vector<BYTE> sid;
    if (owner && IsValidSid(owner)) {
        const BYTE* bytes = static_cast<const BYTE*>(owner);
        sid.assign(bytes, bytes + GetLengthSid(owner));
    }
    LocalFree(descriptor);
    return sid;
}

// Opens the log folder itself, never what a link points to; while the handle is open the folder
// cannot be renamed or replaced (no FILE_SHARE_DELETE). Invalid when it is missing or refused.
// A folder that somebody else made first is refused too: its owner or its DACL would let that one
// plant links and hard links in it between two records. Besides SYSTEM and the Administrators, the
// owner of the application-data folder above may own it, who could change everything below anyway:
// on Windows that is SYSTEM; Wine, which keeps no ACLs, names the user as the owner of every file.
fx::CKernelHandle OpenLogFolder(const std::wstring& folder)
{
    fx::CKernelHandle handle(CreateFileW(folder.c_str(), FILE_READ_ATTRIBUTES | READ_CONTROL,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                         FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!handle.IsValid() || !IsPlain(folder, handle.Get(), FILE_ATTRIBUTE_DIRECTORY)) return {};
    std::vector<BYTE> aboveOwner = OwnerOf(folder.substr(0, folder.find_last_of(L'\\')));
    if (!fx::IsHeldByAdministrators(handle.Get(), SE_FILE_OBJECT, kFileMapping, kFolderChanges,
                                    aboveOwner.empty() ? nullptr : aboveOwner.data())) {
        return {};
    }
    return handle;
}

// Opens the log file itself for appending, creating it with a protected ACL when missing; refuses a
// reparse point and a file with a second name (a hard link), whose writes would reach another file.
// No DELETE access: another program may hold the file open without sharing delete (an editor, a
// viewer following it), and the record must still be written.
fx::CKernelHandle OpenLogFile(const std::wstring& path)
{
    fx::CProtectedAcl acl(fx::AclGrantees::SystemAndAdministrators, fx::AclInheritance::None);
    if (!acl.IsValid()) return {};
    fx::CKernelHandle file(CreateFileW(path.c_str(), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, acl.Attributes(),
                                       OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file.IsValid() || !IsPlain(path, file.Get(), 0)) return {};
    return file;
}

// Creates the log folder with a protected ACL that its files inherit; an existing folder is kept if
// it is a plain folder.
bool PrepareLogFolder(const std::wstring& folder)
{
    fx::CProtectedAcl acl(fx::AclGrantees::SystemAndAdministrators, fx::AclInheritance::ToChildren);
    if (!acl.IsValid()) return false;
    CreateDirectoryW(folder.c_str(), acl.Attributes());  // fails when it exists: then it is checked
    return OpenLogFolder(folder).IsValid();
}

// A name inside the log folder, not a path that leads out of it.
bool IsPlainFileName(const std::wstring& name)
{
    return !name.empty() && name.find_first_of(L"\\/:") == std::wstring::npos && name != L"." && name != L"..";
}

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
    if (!m_mutex.IsValid()) return;
    fx::CMutexLock otherProcesses(m_mutex.Get(), kLogMutexWaitMs);
    const std::wstring name = fx::DecodeCodePage(record.fileName, fx::kCodePageGbk);
    if (m_strLogDir.empty() || !IsPlainFileName(name)) return;
    // Held until the record is written: the folder stays the one that was checked.
    const fx::CKernelHandle folder = OpenLogFolder(m_strLogDir.substr(0, m_strLogDir.size() - 1));
    if (!folder.IsValid()) return;  // the record is lost; logging never fails its caller
    const std::wstring path = m_strLogDir + name;
    const fx::CKernelHandle file = OpenLogFile(path);
    if (!file.IsValid()) return;

    // One append per record: every write lands at the end of the file.
    fx::WriteAll(file.Get(), TimeStamp() + record.content + "\r\n");

    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file.Get(), &size) || static_cast<unsigned long long>(size.QuadPart) <= kLogRotateSize) return;
    // The file checked and written is the file moved aside (opened again through its handle, now
    // with DELETE access); an older backup is replaced. While another program holds it without
    // sharing delete, the move fails and the next record tries again.
    const fx::CKernelHandle moving(
        ReOpenFile(file.Get(), DELETE | SYNCHRONIZE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, 0));
    if (moving.IsValid()) fx::RenameByHandle(moving.Get(), path + L"bak");
}

CLogSaveCloseFile::CLogSaveCloseFile(std::wstring logDir, const std::wstring& mutexName) : CLogBase(std::move(logDir))
{
    fx::CProtectedAcl acl(fx::AclGrantees::SystemAndAdministrators, fx::AclInheritance::None);
    if (!acl.IsValid()) return;
    // Any user may create the name first: then creating fails (access denied) or opens that one's
    // mutex, and whoever holds it could stall or skip every record. Only a mutex that SYSTEM or the
    // Administrators own and nobody else may hold is used; otherwise nothing is logged, at once.
    m_mutex.Reset(CreateMutexW(acl.Attributes(), FALSE, mutexName.c_str()));
    if (m_mutex.IsValid() && GetLastError() == ERROR_ALREADY_EXISTS &&
        !fx::IsHeldByAdministrators(m_mutex.Get(), SE_KERNEL_OBJECT, kMutexMapping, kMutexHolding)) {
        m_mutex.Reset();
    }
}

CLogSave::CLogSave() : CLogSave(GetCommonAppDataDir()) {}

CLogSave::CLogSave(const std::wstring& appDataDir, const std::wstring& mutexName)
{
    // Without the common application-data folder there is no log: never a folder relative to
    // wherever the program happens to run.
    if (appDataDir.empty()) return;
    const std::wstring folder = appDataDir + kLogFolderName;
    m_strLogDir = folder + L"\\";
    m_bPrint = ReadPrintSwitch(appDataDir + kConfigFileName);
    if (!PrepareLogFolder(folder)) return;
    auto writer = std::make_unique<CLogSaveCloseFile>(m_strLogDir, mutexName);
    if (writer->HasOwnLock()) m_pWriter = std::move(writer);
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
