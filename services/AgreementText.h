#pragma once
// The usage licence agreement of the maker's service tools, as the agreement viewer shows it.
#include <string>

// The whole agreement as plain text: the title, the important notice, the introduction and the six
// sections, every line ended by CR LF. Body lines are indented by four blanks.
std::wstring BuildAgreementText();
