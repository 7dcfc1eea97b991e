#include "framework/security/ProtectedAcl.h"

#include "framework/base/KernelHandle.h"

#include <aclapi.h>
#include <sddl.h>

#include <memory>
#include <vector>

namespace fx {

namespace {

// "P": protected, no entry inherited from the parent; "GA": full control, mapped to the object's
// own rights when it is created.
std::wstring Sddl(AclGrantees grantees, AclInheritance inheritance, const std::wstring& user)
{
    const std::wstring flags = inheritance == AclInheritance::ToChildren ? L"OICI" : L"";
    std::wstring sddl = L"O:BAD:P(A;" + flags + L";GA;;;SY)(A;" + flags + L";GA;;;BA)";
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

bool CProtectedAcl::ApplyTo(HANDLE file) const
{
    PSID owner = nullptr;
    PACL dacl = nullptr;
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    if (!IsValid() || !GetSecurityDescriptorOwner(m_descriptor, &owner, &defaulted) ||
        !GetSecurityDescriptorDacl(m_descriptor, &present, &dacl, &defaulted) || !owner || !dacl) {
        return false;
    }
    return SetSecurityInfo(file, SE_FILE_OBJECT,
                           OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                           owner, nullptr, dacl, nullptr) == ERROR_SUCCESS;
}

bool IsHeldByAdministrators(HANDLE object, SE_OBJECT_TYPE type, GENERIC_MAPPING mapping, ACCESS_MASK guarded,
                            PSID alsoTrusted)
{
    PSID owner = nullptr;
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetSecurityInfo(object, type, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner, nullptr, &dacl,
                        nullptr, &descriptor) != ERROR_SUCCESS) {
        return false;
    }
    const std::unique_ptr<void, decltype(&LocalFree)> hold(descriptor, &LocalFree);
    const auto trusted = [alsoTrusted](PSID sid) {
        return IsWellKnownSid(sid, WinLocalSystemSid) || IsWellKnownSid(sid, WinBuiltinAdministratorsSid) ||
               (alsoTrusted && EqualSid(sid, alsoTrusted));
    };
    if (!owner || !trusted(owner) || !dacl) return false;
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        ACE_HEADER* header = nullptr;
        if (!GetAce(dacl, i, reinterpret_cast<void**>(&header))) return false;
        if (header->AceType == ACCESS_DENIED_ACE_TYPE) continue;  // takes rights away only
        if (header->AceType != ACCESS_ALLOWED_ACE_TYPE) return false;
        auto* allowed = reinterpret_cast<ACCESS_ALLOWED_ACE*>(header);
        ACCESS_MASK rights = allowed->Mask;
        MapGenericMask(&rights, &mapping);
        if ((rights & guarded) != 0 && !trusted(&allowed->SidStart)) return false;
    }
    return true;
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
