#pragma once
// Builds what one run of the stand-in prints, line by line with CR LF, in the layout of the real
// manage-bde: labels padded to a fixed display column, where a CJK character takes two columns.
#include "standins/manage-bde/BdeState.h"
#include "standins/manage-bde/BdeTexts.h"

#include <string>

namespace bde {

class CReport
{
public:
    explicit CReport(bool english) : m_english(english) {}

    std::wstring T(Text id) const { return GetText(id, m_english); }
    std::wstring T(Text id, const std::wstring& argument) const { return FormatText(id, m_english, argument); }
    bool English() const { return m_english; }

    void Line(const std::wstring& text = L"") { m_text += text + L"\r\n"; }
    void Indented(size_t blanks, const std::wstring& text) { Line(std::wstring(blanks, L' ') + text); }
    // "    label:" padded with blanks to the value column, then the value.
    void Field(Text label, const std::wstring& value);
    void Header();
    void Error(const std::wstring& message) { Line(T(Text::ErrorPrefix) + message); }
    // "ERROR: An error occurred (code 0x...):" and the message on the next line.
    void ErrorWithCode(const wchar_t* code, const std::wstring& message);

    const std::wstring& Str() const { return m_text; }

private:
    bool m_english;
    std::wstring m_text;
};

// The volume blocks of "-status"; with a volume, only its block and no list introduction.
void WriteStatus(CReport* report, const Machine& machine, const Volume* only);
// The listing of "-protectors -get", also of a locked volume (without its recovery password); false
// (and the error printed) when the volume has none.
bool WriteProtectors(CReport* report, const Volume& volume);

}  // namespace bde
