#pragma once
// What the main window asks of the shell frame around it. The frame owns the main window and
// implements this, so that the main window needs nothing of the frame's class.
#include <windows.h>

class CMainWindowFrame
{
public:
    // The frame's window: the main window closes and minimises it, and measures its text in its font.
    virtual HWND FrameWindow() const = 0;
    // Moves the frame around the main window's rectangle (screen coordinates).
    virtual void PlaceAround(const RECT& mainWindow) = 0;

protected:
    ~CMainWindowFrame() = default;
};
