#include "framework/Application.h"

#include "framework/GdiplusImage.h"

#include <commctrl.h>

namespace fx {

CWinApp* CWinApp::s_current = nullptr;

CWinApp::CWinApp()
{
    if (!s_current) s_current = this;
}

CWinApp::~CWinApp()
{
    Shutdown();
    if (s_current == this) s_current = nullptr;
}

bool CWinApp::Startup()
{
    if (m_started) return true;
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&m_gdiplusToken, &input, nullptr) != Gdiplus::Ok) return false;
    // Every class of common control: the size of the structure (8) and flags 0xFF.
    INITCOMMONCONTROLSEX controls{sizeof(controls), 0xFF};
    InitCommonControlsEx(&controls);
    m_started = true;
    return true;
}

void CWinApp::Shutdown()
{
    if (!m_started) return;
    Gdiplus::GdiplusShutdown(m_gdiplusToken);
    m_started = false;
}

int CWinApp::Run()
{
    if (!Startup()) return 1;
    const int code = InitInstance();
    Shutdown();
    return code;
}

HINSTANCE CWinApp::ResourceHandle() { return GetModuleHandleW(nullptr); }

}  // namespace fx
