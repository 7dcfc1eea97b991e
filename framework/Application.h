#pragma once
// The application object: starts GDI+ and the common controls before any window exists, shuts
// GDI+ down after the last one, and knows the main window and the module that holds resources.
#include <windows.h>

namespace fx {

class CWinApp
{
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Start-up, the program's own InitInstance, shut-down; returns the process exit code.
    int Run();
    bool Startup();
    void Shutdown();

    static CWinApp* Current() { return s_current; }
    // The window that modal dialogs without a parent fall back to as owner.
    static HWND MainWindow() { return s_current ? s_current->m_mainWindow : nullptr; }
    static void SetMainWindow(HWND window)
    {
        if (s_current) s_current->m_mainWindow = window;
    }
    // Where resources (templates, images) are looked up: the program's own module.
    static HINSTANCE ResourceHandle();

protected:
    // The program's work between start-up and shut-down; returns the exit code.
    virtual int InitInstance() { return 0; }

private:
    static CWinApp* s_current;
    ULONG_PTR m_gdiplusToken = 0;
    bool m_started = false;
    HWND m_mainWindow = nullptr;  // not owned
};

}  // namespace fx
