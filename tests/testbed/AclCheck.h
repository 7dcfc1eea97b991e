#pragma once
// Reads back who may open what the elevated program creates. Windows keeps the security descriptor it
// was given; Wine derives one from the Unix permission bits (the owner, SYSTEM, and Everyone when
// others may read), so under Wine only the absence of Everyone and Users can be seen, not the
// protection flag or the Administrators entry.
#include <string>

namespace testing {

// The DACL of a file or folder in SDDL ("D:P(A;;FA;;;SY)..."); empty when it cannot be read.
std::wstring DaclText(const std::wstring& path);

// True when the DACL lets in none of Everyone, Users, Authenticated Users or interactive users and,
// where the platform keeps security descriptors, is protected (inherits nothing from its folder).
bool IsClosedToOthers(const std::wstring& dacl);

}  // namespace testing
