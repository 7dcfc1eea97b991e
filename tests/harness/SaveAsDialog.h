#pragma once
// The system's Save As dialog that the key file location chooser opens, found and filled in from the
// test thread as a user does: by its window, its file name field and the keyboard. The chooser may
// run on a thread of the test program or in the real program's process.
#include "tests/harness/UiDriver.h"

#include <string>

namespace uitest {

// The shell takes its time to fill and close its dialogs on a loaded machine.
constexpr DWORD kShellTimeoutMs = 20000;

// A system dialog (Save As, its questions): unlike the skinned windows it has a title bar.
inline bool IsSystemDialog(HWND window)
{
    return ui::ClassName(window) == L"#32770" && (ui::Style(window) & WS_CAPTION) == WS_CAPTION;
}

// A shown system dialog among the windows that `owner` matches (a thread's or a process's).
inline HWND WaitForSaveAs(const ui::WindowPredicate& owner, DWORD timeoutMs = kShellTimeoutMs)
{
    return ui::WaitForWindow(ui::All({owner, ui::IsShown(), IsSystemDialog}), timeoutMs);
}

inline HWND FileNameField(HWND saveAs)
{
    // The first visible edit field of the dialog is its file name (inside a combo box or not).
    for (HWND edit : ui::ChildWindows(saveAs, ui::HasClass(L"Edit")))
        if (ui::IsVisible(edit)) return edit;
    return nullptr;
}

// Types a file name into the Save As dialog and presses Enter once the field shows it, as a user
// does; false when it has no name field or the field does not take the keys.
inline bool SaveAs(HWND saveAs, const std::wstring& path)
{
    HWND field = FileNameField(saveAs);
    if (!field) return false;
    // The click activates the dialog and focuses the field; on a loaded machine that takes a while,
    // and keys typed meanwhile go elsewhere.
    ui::ClickWindow(field);
    if (!ui::PumpUntil([&] { return GetForegroundWindow() == saveAs && ui::FocusOf(ui::ThreadOf(field)) == field; },
                       kShellTimeoutMs))
        return false;
    ui::PressChord({VK_CONTROL, 'A'});
    ui::TypeText(path);
    if (!ui::PumpUntil([&] { return ui::WindowText(field) == path; }, kShellTimeoutMs)) return false;
    ui::PressKey(VK_RETURN);
    return true;
}

}  // namespace uitest
