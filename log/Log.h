#pragma once
// The tool's log: failures and unusual outcomes of the BitLocker operations, one time-stamped line per
// record, in code page 936, under the common application-data folder. A file that grows past
// kLogRotateSize is moved aside to "<file>bak".
//
// The program writes it with administrator rights into a folder where every user may create files:
// "ToolLog" is created with a protected ACL (SYSTEM and Administrators), an existing one is used only
// when nobody else owns it or may change it, and a folder or log file that is a junction, a symbolic
// link or a hard link with a second name is refused, so that no write and no rotation reaches
// another file. Several processes may log at once: their writes and rotations are serialised by a
// named mutex of SYSTEM and the Administrators; a name that somebody else holds means no log.
#include "framework/base/CriticalSection.h"
#include "framework/base/KernelHandle.h"

#include <memory>
#include <string>

// Every record of this tool goes to this file.
constexpr const char* kLogFileName = "Quorlin.txt";
// One name for every process on the machine that writes this log.
constexpr const wchar_t* kLogMutexName = L"Global\\QuorlinToolLog";
// Not 6 MiB: the limit is this exact byte count.
constexpr unsigned long long kLogRotateSize = 6020000;

class CObjectBase
{
public:
    virtual ~CObjectBase() = default;
};

// One record in transit: narrow strings in code page 936.
class CPacketLog : public CObjectBase
{
public:
    CPacketLog(std::string file, std::string text) : fileName(std::move(file)), content(std::move(text)) {}
    std::string fileName;
    std::string content;
};

class CLogBase
{
public:
    explicit CLogBase(std::wstring logDir) : m_strLogDir(std::move(logDir)) {}
    virtual ~CLogBase() = default;
    CLogBase(const CLogBase&) = delete;
    CLogBase& operator=(const CLogBase&) = delete;

    virtual void WritePacket(CPacketLog& record) = 0;
    virtual void WriteHex(const unsigned char* data, int count, const std::string& fileName) = 0;
    virtual void WriteText(const std::string& message, const std::string& fileName) = 0;

protected:
    std::wstring m_strLogDir;  // ends in a backslash
};

// Opens the file, appends one record and closes it again for every record.
class CLogSaveCloseFile : public CLogBase
{
public:
    explicit CLogSaveCloseFile(std::wstring logDir, const std::wstring& mutexName = kLogMutexName);
    // False when the mutex is somebody else's: then nothing is written.
    bool HasOwnLock() const { return m_mutex.IsValid(); }
    void WritePacket(CPacketLog& record) override;
    void WriteHex(const unsigned char* data, int count, const std::string& fileName) override;
    void WriteText(const std::string& message, const std::string& fileName) override;

private:
    fx::CCriticalSection m_lock;  // serialises the file work of all threads
    fx::CKernelHandle m_mutex;    // serialises it across processes; none when it is not ours
};

class CLogSave
{
public:
    // Uses the machine's common application-data folder.
    CLogSave();
    // Uses the given folder (with its trailing backslash) in place of the common application-data
    // folder, and the named mutex. An empty folder means it could not be found: then nothing is
    // logged, as when "ToolLog" cannot be created or is refused.
    explicit CLogSave(const std::wstring& appDataDir, const std::wstring& mutexName = kLogMutexName);
    virtual ~CLogSave() = default;
    CLogSave(const CLogSave&) = delete;
    CLogSave& operator=(const CLogSave&) = delete;

    // Writes the record when `always` is set, or when printing is switched on in "logCfg.ini".
    void Write(std::string message, std::string fileName, bool always);

    bool IsPrintOn() const { return m_bPrint; }
    const std::wstring& LogDir() const { return m_strLogDir; }
    bool IsLogging() const { return m_pWriter != nullptr; }

private:
    bool m_bPrint = false;
    std::wstring m_strLogDir;
    std::unique_ptr<CLogBase> m_pWriter;
};

// The common application-data folder with a trailing backslash, or "" when it cannot be found.
std::wstring GetCommonAppDataDir();

// The one log object of the process, created on first use. Its first call must not race with another.
CLogSave& GetLog();

// Writes a fixed message of this tool to "Quorlin.txt", whatever the print switch says.
void LogRecord(const std::wstring& message);
