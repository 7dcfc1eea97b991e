#pragma once
// The shell frame: a layered window that shows the soft shadow and outline picture around the main
// window, owns it, and carries the program's title, icon, task bar button and system menu. Its
// modal run is the life of the program; when it is destroyed the program's folder is removed.
#include "app/MainWindowFrame.h"
#include "framework/Dialog.h"
#include "framework/GdiplusImage.h"

#include <memory>

class CQuorlinDlg;

class CAboutDlg : public fx::CDialog
{
public:
    CAboutDlg();
};

class CTessaroQuorlinDlg : public fx::CDialog, public CMainWindowFrame
{
public:
    // The frame at scale 1.0 and where the main window lies inside it.
    static constexpr SIZE kFrameSize{410, 611};
    static constexpr int kMainLeft = 5;
    static constexpr int kMainTop = 4;
    static constexpr int kMainRight = 5;
    static constexpr int kMainBottom = 7;

    CTessaroQuorlinDlg();
    ~CTessaroQuorlinDlg() override;

    float GetScaleFactor() const { return m_fScale; }
    HWND FrameWindow() const override { return m_hWnd; }
    void PlaceAround(const RECT& mainWindow) override;
    // The frame's rectangle around a main window rectangle, and the main window's inside a frame
    // rectangle, at a scale. Around the window the insets are rounded outwards, so that the frame
    // that follows the window can differ by a pixel from the one made at start-up (TargetSize): at
    // 1.2 the 480-pixel window gets a 493-pixel frame where the start-up made 492; at 1.5 the
    // 600-pixel window gets 615, as at start-up.
    static RECT FrameAround(const RECT& mainWindow, float scale);
    static RECT MainWindowIn(const RECT& frame, float scale);
    bool PreTranslateMessage(MSG& message) override;

protected:
    BOOL OnInitDialog() override;
    bool ProcessMessage(fx::Message& message) override;
    // Enter does nothing; a close while an operation is up waits for its end.
    void OnOK() override {}
    void OnCancel() override;

private:
    bool OnSysCommand(fx::Message& message);
    bool OnPaint(fx::Message& message);
    bool OnQueryDragIcon(fx::Message& message);
    bool OnDestroy(fx::Message& message);
    // Creates the main window and places it inside the frame rectangle.
    void CreateMainWindow(const RECT& frame);

    HICON m_hIcon;  // shared resource icon, never destroyed
    std::unique_ptr<CQuorlinDlg> m_pMainDlg;
    float m_fScale = 1.0f;
};
