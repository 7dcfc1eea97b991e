#pragma once
// The system's own Save As dialog (the common item dialog of Windows Vista and later).
#include <windows.h>

#include <string>

namespace fx {

struct SaveAsOptions
{
    std::wstring folder;            // where it opens, such as "E:\"
    std::wstring fileName;          // the proposed name, without extension
    std::wstring defaultExtension;  // appended when the user types none, such as "txt"
    std::wstring filterName;        // such as "数据文档(*.txt)"
    std::wstring filterPattern;     // such as "*.txt"
};

// Runs the dialog modally over `owner` (which it disables meanwhile) and asks before it lets the
// user choose an existing file. The chosen full path, or empty when the user cancelled or the
// dialog could not be shown.
std::wstring ShowSaveAsDialog(HWND owner, const SaveAsOptions& options);

}  // namespace fx
