#pragma once
// The system's Save As dialog that the key file location chooser opens, found and filled in from the
// test thread as a user does: by its window, its file name field and the keyboard. The chooser may
// run on a thread of the test program or in the real program's process.
#include "tests/uidriver/UiDriver.h"

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

// The dialog shows before it is ready for keys (a 32-bit one under WOW64 takes longer): its file
// name field (the first visible edit field, inside a combo box or not), once the dialog is enabled,
// active and has put the keyboard focus there; null when it does not get ready in time.
inline HWND WaitForNameInput(HWND saveAs)
{
    HWND field = ui::WaitForChild(saveAs, ui::All({ui::HasClass(L"Edit"), ui::IsShown()}), kShellTimeoutMs);
    return field && ui::WaitForInput(saveAs, field, kShellTimeoutMs) ? field : nullptr;
}

// Types a file name into the Save As dialog and presses Enter once the field shows it, as a user
// does; false when its name field does not get ready for the keys or does not take them.
inline bool SaveAs(HWND saveAs, const std::wstring& path)
{
    HWND field = WaitForNameInput(saveAs);
    if (!field) return false;
    // Clicked into as a person does, which also takes the cursor off the button that opened the
    // dialog: under Wine a click where the cursor rested while a window over it went can be lost.
    ui::ClickWindow(field);
    // The proposed name goes with keys that need no modifier: under Wine a late focus report can
    // release a held Ctrl, which the X server never saw pressed, and Ctrl+A would type an "a".
    ui::PressKey(VK_END);
    for (size_t left = ui::WindowText(field).size(); left > 0; --left) ui::PressKey(VK_BACK);
    ui::TypeText(path);
    if (!ui::PumpUntil([&] { return ui::WindowText(field) == path; }, kShellTimeoutMs)) return false;
    ui::PressKey(VK_RETURN);
    return true;
}

}  // namespace uitest
