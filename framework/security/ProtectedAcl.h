#pragma once
// Security descriptors for what the elevated program creates where a standard user may look: the
// log folder, its cross-process lock, the key file. Their DACL grants full control to SYSTEM, the
// Administrators and, where the file is the user's, the user running the program; to nobody else.
// It is protected: nothing is inherited from the folder that the object is created in. Its owner is
// the Administrators, so that no standard user may change it.
#include <windows.h>

#include <accctrl.h>

#include <string>

namespace fx {

enum class AclGrantees
{
    SystemAndAdministrators,
    SystemAdministratorsAndUser,
};

enum class AclInheritance
{
    None,
    ToChildren,  // a folder passes its entries on to the files created in it
};

class CProtectedAcl
{
public:
    CProtectedAcl(AclGrantees grantees, AclInheritance inheritance);
    ~CProtectedAcl();
    CProtectedAcl(const CProtectedAcl&) = delete;
    CProtectedAcl& operator=(const CProtectedAcl&) = delete;

    bool IsValid() const { return m_descriptor != nullptr; }
    // For CreateFileW, CreateDirectoryW and CreateMutexW; the handle is not inheritable. Null
    // when the descriptor could not be built: callers then create nothing.
    SECURITY_ATTRIBUTES* Attributes() { return IsValid() ? &m_attributes : nullptr; }
    // Gives an existing file or folder this owner and DACL through a handle opened with WRITE_OWNER
    // and WRITE_DAC. True on success.
    bool ApplyTo(HANDLE file) const;

private:
    PSECURITY_DESCRIPTOR m_descriptor = nullptr;  // owned, freed with LocalFree
    SECURITY_ATTRIBUTES m_attributes = {};
};

// Whether an object that already exists is in the hands of SYSTEM and the Administrators alone: its
// owner is one of them (or `alsoTrusted`, when given) and its DACL grants none of the `guarded`
// rights to anybody else. Generic rights count as `mapping` maps them; a missing DACL (everybody may
// do everything) and an entry of another kind than allow or deny fail.
bool IsHeldByAdministrators(HANDLE object, SE_OBJECT_TYPE type, GENERIC_MAPPING mapping, ACCESS_MASK guarded,
                            PSID alsoTrusted = nullptr);

// The user the process runs as, as a SID string ("S-1-5-21-..."); empty on failure.
std::wstring CurrentUserSid();

}  // namespace fx
