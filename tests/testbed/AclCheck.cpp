#include "tests/testbed/AclCheck.h"

#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

namespace testing {

std::wstring DaclText(const std::wstring& path)
{
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, nullptr,
                              nullptr, &descriptor) != ERROR_SUCCESS) {
        return {};
    }
    wchar_t* text = nullptr;
    std::wstring dacl;
    if (ConvertSecurityDescriptorToStringSecurityDescriptorW(descriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION,
                                                             &text, nullptr)) {
        dacl = text;
        LocalFree(text);
    }
    LocalFree(descriptor);
    return dacl;
}

bool IsClosedToOthers(const std::wstring& dacl)
{
    for (const wchar_t* others : {L";WD)", L";BU)", L";AU)", L";IU)"}) {
        if (dacl.find(others) != std::wstring::npos) return false;
    }
    const bool keepsDescriptors = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") == nullptr;
    return dacl.rfind(L"D:", 0) == 0 && (!keepsDescriptors || dacl.rfind(L"D:P", 0) == 0);
}

}  // namespace testing
