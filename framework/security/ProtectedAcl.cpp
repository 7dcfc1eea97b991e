#include "framework/security/ProtectedAcl.h"

#include "framework/base/KernelHandle.h"

#include <sddl.h>

#include <vector>

namespace fx {

namespace {

// "P": protected, no entry inherited from the parent; "GA": full control, mapped to the object's
// own rights when it is created.
std::wstring Sddl(AclGrantees grantees, AclInheritance inheritance, const std::wstring& user)
{
    const std::wstring flags = inheritance == AclInheritance::ToChildren ? L"OICI" : L"";
    std::wstring sddl = L"D:P(A;" + flags + L";GA;;;SY)(A;" + flags + L";GA;;;BA)";
    if (grantees == AclGrantees::SystemAdministratorsAndUser) sddl += L"(A;" + flags + L";GA;;;" + user + L")";
    return sddl;
}

}  // namespace

CProtectedAcl::CProtectedAcl(AclGrantees grantees, AclInheritance inheritance)
{
    std::wstring user;
    if (grantees == AclGrantees::SystemAdministratorsAndUser) {
        user = CurrentUserSid();
        if (user.empty()) return;
    }
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(Sddl(grantees, inheritance, user).c_str(),
                                                              SDDL_REVISION_1, &m_descriptor, nullptr)) {
        m_descriptor = nullptr;
        return;
    }
    m_attributes = {sizeof m_attributes, m_descriptor, FALSE};
}

CProtectedAcl::~CProtectedAcl()
{
    if (m_descriptor) LocalFree(m_descriptor);
}

std::wstring CurrentUserSid()
{
    CKernelHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Receive())) return {};
    DWORD size = 0;
    GetTokenInformation(token.Get(), TokenUser, nullptr, 0, &size);
    if (size == 0) return {};
    std::vector<BYTE> buffer(size);
    if (!GetTokenInformation(token.Get(), TokenUser, buffer.data(), size, &size)) return {};
    wchar_t* text = nullptr;
    if (!ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text)) return {};
    std::wstring sid(text);
    LocalFree(text);
    return sid;
}

}  // namespace fx
