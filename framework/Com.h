#pragma once
// COM for the few places that need it (the system's Save As dialog): a scope that initialises COM
// on the calling thread and an owning interface pointer.
#include <windows.h>
#include <objbase.h>

#include <utility>

namespace fx {

// Initialises COM for the calling thread as a single-threaded apartment (the shell's dialogs
// need one) and uninitialises it when it ends, only when its own initialisation counted.
class CComScope
{
public:
    CComScope() : m_result(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
    ~CComScope()
    {
        if (SUCCEEDED(m_result)) CoUninitialize();
    }
    CComScope(const CComScope&) = delete;
    CComScope& operator=(const CComScope&) = delete;

    // False when the thread already runs in a multithreaded apartment (RPC_E_CHANGED_MODE) or COM
    // could not start: apartment-bound objects cannot be used then.
    bool IsApartment() const { return SUCCEEDED(m_result); }

private:
    HRESULT m_result;
};

// Holds one reference to a COM object and releases it once.
template <class T>
class CComPtr
{
public:
    CComPtr() = default;
    ~CComPtr() { Reset(); }
    CComPtr(const CComPtr&) = delete;
    CComPtr& operator=(const CComPtr&) = delete;
    CComPtr(CComPtr&& other) noexcept : m_pointer(std::exchange(other.m_pointer, nullptr)) {}
    CComPtr& operator=(CComPtr&& other) noexcept
    {
        if (this != &other) {
            Reset();
            m_pointer = std::exchange(other.m_pointer, nullptr);
        }
        return *this;
    }

    T* Get() const { return m_pointer; }
    T* operator->() const { return m_pointer; }
    explicit operator bool() const { return m_pointer != nullptr; }
    // For out-parameters: releases what is held and hands out the slot.
    T** Receive()
    {
        Reset();
        return &m_pointer;
    }
    void Reset()
    {
        if (m_pointer) std::exchange(m_pointer, nullptr)->Release();
    }

    HRESULT CoCreateInstance(REFCLSID classId, DWORD context = CLSCTX_INPROC_SERVER)
    {
        return ::CoCreateInstance(classId, nullptr, context, __uuidof(T), reinterpret_cast<void**>(Receive()));
    }
    template <class U>
    HRESULT QueryInterface(CComPtr<U>& out) const
    {
        if (!m_pointer) return E_POINTER;
        return m_pointer->QueryInterface(__uuidof(U), reinterpret_cast<void**>(out.Receive()));
    }

private:
    T* m_pointer = nullptr;
};

}  // namespace fx
