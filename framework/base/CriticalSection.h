#pragma once
// A critical section and its scoped lock, in the shape of the framework's CCriticalSection; and a
// scoped hold of a mutex, which serialises work across processes.
#include <windows.h>

namespace fx {

class CCriticalSection
{
public:
    CCriticalSection() { InitializeCriticalSection(&m_section); }
    ~CCriticalSection() { DeleteCriticalSection(&m_section); }
    CCriticalSection(const CCriticalSection&) = delete;
    CCriticalSection& operator=(const CCriticalSection&) = delete;

    void Lock() { EnterCriticalSection(&m_section); }
    void Unlock() { LeaveCriticalSection(&m_section); }

private:
    CRITICAL_SECTION m_section;
};

class CSingleLock
{
public:
    explicit CSingleLock(CCriticalSection& section) : m_section(section) { m_section.Lock(); }
    ~CSingleLock() { m_section.Unlock(); }
    CSingleLock(const CSingleLock&) = delete;
    CSingleLock& operator=(const CSingleLock&) = delete;

private:
    CCriticalSection& m_section;
};

// Waits up to `timeoutMs` for the mutex (null: nothing to wait for). A mutex abandoned by a process
// that ended while holding it counts as held.
class CMutexLock
{
public:
    CMutexLock(HANDLE mutex, DWORD timeoutMs)
    {
        if (!mutex) return;
        const DWORD result = WaitForSingleObject(mutex, timeoutMs);
        if (result == WAIT_OBJECT_0 || result == WAIT_ABANDONED) m_mutex = mutex;
    }
    ~CMutexLock()
    {
        if (m_mutex) ReleaseMutex(m_mutex);
    }
    CMutexLock(const CMutexLock&) = delete;
    CMutexLock& operator=(const CMutexLock&) = delete;

private:
    HANDLE m_mutex = nullptr;  // not owned
};

}  // namespace fx
