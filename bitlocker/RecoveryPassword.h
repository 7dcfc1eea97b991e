#pragma once
// A typed recovery password goes onto a command line, so it is brought to its canonical form and
// checked before any command is built. Portable (no Windows API).
#include <string>

// Accepts what users commonly type: full-width digits, hyphens, full-width hyphens, en or em dashes or
// blanks between the groups, or no separators at all. On success *canonical holds eight groups of six
// digits joined by "-". Only a real recovery password passes: every group is a multiple of 11 and at
// most 720885. Anything else (letters, command-interpreter syntax, line breaks, wrong lengths) fails.
bool NormalizeRecoveryPassword(const std::wstring& typed, std::wstring* canonical);

// True when a line after the first `marker` in the text holds a recovery password that
// NormalizeRecoveryPassword accepts: the protector listing is complete up to the password itself.
bool HasRecoveryPasswordAfter(const std::wstring& text, const std::wstring& marker);
