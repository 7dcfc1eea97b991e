#pragma once
// An owned common-controls image list, released with ImageList_Destroy (never DeleteObject).
#include <windows.h>
#include <commctrl.h>

#include <utility>

namespace fx {

class CImageList
{
public:
    CImageList() = default;
    explicit CImageList(HIMAGELIST list) : m_list(list) {}
    ~CImageList() { Reset(); }
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;
    CImageList(CImageList&& other) noexcept : m_list(std::exchange(other.m_list, nullptr)) {}
    CImageList& operator=(CImageList&& other) noexcept
    {
        if (this != &other) Reset(std::exchange(other.m_list, nullptr));
        return *this;
    }

    HIMAGELIST Get() const { return m_list; }
    explicit operator bool() const { return m_list != nullptr; }
    void Reset(HIMAGELIST list = nullptr)
    {
        if (m_list) ImageList_Destroy(m_list);
        m_list = list;
    }

private:
    HIMAGELIST m_list = nullptr;
};

}  // namespace fx
