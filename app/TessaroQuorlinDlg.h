#pragma once
// The shell frame: a layered window that shows the soft shadow and outline picture around the main
// window, owns it, and carries the program's title, icon, task bar button and system menu. Its
// modal run is the life of the program; when it is destroyed the program's folder is removed.
#include "dialogs/LayeredPair.h"
#include "framework/Dialog.h"

class CQuorlinDlg;

class CAboutDlg : public fx::CDialog
{
public:
    CAboutDlg();
};

class CTessaroQuorlinDlg : public CLayeredFrameDlg
{
public:
    CTessaroQuorlinDlg();
    ~CTessaroQuorlinDlg() override;

    // The frame's rectangle around a main window rectangle, and the main window's inside a frame
    // rectangle, at a scale. These round differently from the other pairs on purpose. Around the
    // window the insets are rounded outwards (where the other pairs scale each inset first), so
    // that at 1.5 the 600-pixel window gets the 615-pixel frame made at start-up (TargetSize),
    // where scaled insets would give 614; the frame that follows the window can therefore differ
    // by a pixel from the start-up one where the scaled coordinate is not whole. Inside the frame
    // the width and height lose their two scaled insets at once.
    static RECT FrameAround(const RECT& mainWindow, float scale);
    static RECT MainWindowIn(const RECT& frame, float scale);

protected:
    std::unique_ptr<CLayeredChildDlg> CreateChildObject() override;
    RECT ChildRectAtCreation(const RECT& frame) const override;
    RECT FrameRectAround(const RECT& mainWindow) const override;
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
    CQuorlinDlg* MainWindow() const;

    HICON m_hIcon;  // shared resource icon, never destroyed
};
