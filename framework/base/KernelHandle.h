#pragma once
// Owning wrapper for kernel handles (files, pipes, processes, threads, events): CloseHandle once.
#include <windows.h>

#include <utility>

namespace fx {

class CKernelHandle
{
public:
    CKernelHandle() = default;
    explicit CKernelHandle(HANDLE handle) : m_handle(handle) {}
    ~CKernelHandle() { Reset(); }
    CKernelHandle(const CKernelHandle&) = delete;
    CKernelHandle& operator=(const CKernelHandle&) = delete;
    CKernelHandle(CKernelHandle&& other) noexcept : m_handle(other.Release()) {}
    CKernelHandle& operator=(CKernelHandle&& other) noexcept
    {
        if (this != &other) Reset(other.Release());
        return *this;
    }

    // Both null and INVALID_HANDLE_VALUE mean "no handle": CreateFile returns the latter.
    bool IsValid() const { return m_handle != nullptr && m_handle != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return m_handle; }
    HANDLE* Receive()
    {
        Reset();
        return &m_handle;
    }
    HANDLE Release() { return std::exchange(m_handle, nullptr); }
    void Reset(HANDLE handle = nullptr)
    {
        if (IsValid()) CloseHandle(m_handle);
        m_handle = handle;
    }

private:
    HANDLE m_handle = nullptr;
};

}  // namespace fx
