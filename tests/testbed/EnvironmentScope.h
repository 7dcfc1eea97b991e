#pragma once
// Sets an environment variable of this process (and so of every process it starts) for as long as
// the scope lives, then restores what was there before.
#include <windows.h>

#include <string>

namespace testing {

class CEnvironmentScope
{
public:
    CEnvironmentScope(const wchar_t* name, const std::wstring& value) : m_name(name)
    {
        const DWORD length = GetEnvironmentVariableW(name, nullptr, 0);
        if (length > 0) {
            m_previous.resize(length);
            m_previous.resize(GetEnvironmentVariableW(name, m_previous.data(), length));
            m_hadPrevious = true;
        }
        SetEnvironmentVariableW(name, value.c_str());
    }
    ~CEnvironmentScope() { SetEnvironmentVariableW(m_name.c_str(), m_hadPrevious ? m_previous.c_str() : nullptr); }
    CEnvironmentScope(const CEnvironmentScope&) = delete;
    CEnvironmentScope& operator=(const CEnvironmentScope&) = delete;

private:
    std::wstring m_name;
    std::wstring m_previous;
    bool m_hadPrevious = false;
};

}  // namespace testing
