#include "app/TessaroQuorlinDlg.h"

#include "app/QuorlinDlg.h"
#include "app/SelfRemoval.h"
#include "controls/PngPainting.h"
#include "dialogs/LayeredPair.h"
#include "framework/Application.h"
#include "framework/MessageMap.h"
#include "framework/Scale.h"
#include "res/resource.h"

#include <string>

CAboutDlg::CAboutDlg() : fx::CDialog(IDD_ABOUTBOX) {}

CTessaroQuorlinDlg::CTessaroQuorlinDlg()
    : fx::CDialog(IDD_SHELL_FRAME),
      m_hIcon(static_cast<HICON>(LoadImageW(fx::CWinApp::ResourceHandle(), MAKEINTRESOURCEW(IDI_QUORLIN), IMAGE_ICON, 0,
                                            0, LR_DEFAULTSIZE | LR_SHARED)))
{
}

CTessaroQuorlinDlg::~CTessaroQuorlinDlg() = default;

RECT CTessaroQuorlinDlg::FrameAround(const RECT& main, float s)
{
    return RECT{static_cast<LONG>(main.left - kMainLeft * s), static_cast<LONG>(main.top - kMainTop * s),
                static_cast<LONG>(main.right + kMainRight * s), static_cast<LONG>(main.bottom + kMainBottom * s)};
}

RECT CTessaroQuorlinDlg::MainWindowIn(const RECT& frame, float s)
{
    const int left = frame.left + fx::Scaled(kMainLeft, s);
    const int top = frame.top + fx::Scaled(kMainTop, s);
    const int width = (frame.right - frame.left) - fx::Scaled(kMainLeft + kMainRight, s);
    const int height = (frame.bottom - frame.top) - fx::Scaled(kMainTop + kMainBottom, s);
    return RECT{left, top, left + width, top + height};
}

BOOL CTessaroQuorlinDlg::OnInitDialog()
{
    fx::CDialog::OnInitDialog();
    fx::CWinApp::SetMainWindow(m_hWnd);

    if (HMENU menu = GetSystemMenu(m_hWnd, FALSE)) {
        wchar_t about[64] = {};
        if (LoadStringW(fx::CWinApp::ResourceHandle(), IDS_ABOUTBOX, about, 64) > 0) {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            AppendMenuW(menu, MF_STRING, IDM_ABOUTBOX, about);
        }
    }
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    SetWindowText(L"Quorlin");

    m_fScale = fx::ScreenScaleFactor();
    const SIZE size = CLayeredFrameDlg::TargetSize(kFrameSize, m_fScale);
    const int left = GetSystemMetrics(SM_CXSCREEN) / 2 - fx::Scaled(kFrameSize.cx / 2.0f, m_fScale);
    const int top = GetSystemMetrics(SM_CYSCREEN) / 2 - fx::Scaled(kFrameSize.cy / 2.0f, m_fScale);
    const RECT frame{left, top, left + size.cx, top + size.cy};
    SetWindowPos(m_hWnd, nullptr, left, top, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    // Without its picture the frame stays invisible and the program has no main window.
    if (!PaintLayeredFrame(m_hWnd, size, m_pBkImage, IDB_SHELL_FRAME)) return TRUE;
    // The frame only shows the shadow: the mouse passes through it.
    SetWindowLongW(m_hWnd, GWL_EXSTYLE, GetWindowLongW(m_hWnd, GWL_EXSTYLE) | WS_EX_TRANSPARENT);

    // Placed from the rectangle computed here: the window's own rectangle may still be the
    // template's until the system has carried out the move.
    CreateMainWindow(frame);
    SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE);
    return TRUE;
}

void CTessaroQuorlinDlg::CreateMainWindow(const RECT& frame)
{
    m_pMainDlg = std::make_unique<CQuorlinDlg>(this);
    m_pMainDlg->SetScaleFactor(m_fScale);
    if (!m_pMainDlg->Create(m_hWnd)) return;
    // The main window follows its own moves with the frame, so this placement also brings the frame
    // around it.
    const RECT main = MainWindowIn(frame, m_fScale);
    m_pMainDlg->MoveWindow(main.left, main.top, main.right - main.left, main.bottom - main.top);
    m_pMainDlg->ShowWindow(SW_SHOW);
}

void CTessaroQuorlinDlg::PlaceAround(const RECT& mainWindow)
{
    const RECT frame = FrameAround(mainWindow, m_fScale);
    SetWindowPos(m_hWnd, nullptr, frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

bool CTessaroQuorlinDlg::PreTranslateMessage(MSG& message)
{
    return IsEscapeOrEnterKeyDown(message) || fx::CDialog::PreTranslateMessage(message);
}

void CTessaroQuorlinDlg::OnCancel()
{
    // An operation's worker reports to the main window and uses its operator: the program stays
    // until it has finished (its progress prompt is up meanwhile).
    if (m_pMainDlg && m_pMainDlg->IsWindow() && !m_pMainDlg->CanClose()) return;
    EndDialog(IDCANCEL);
}

bool CTessaroQuorlinDlg::ProcessMessage(fx::Message& m)
{
    static const fx::MessageEntry<CTessaroQuorlinDlg> map[] = {
        fx::OnMessage(WM_SYSCOMMAND, &CTessaroQuorlinDlg::OnSysCommand),
        fx::OnMessage(WM_PAINT, &CTessaroQuorlinDlg::OnPaint),
        fx::OnMessage(WM_QUERYDRAGICON, &CTessaroQuorlinDlg::OnQueryDragIcon),
        fx::OnMessage(WM_DESTROY, &CTessaroQuorlinDlg::OnDestroy),
    };
    return fx::Dispatch(*this, map, m) || fx::CDialog::ProcessMessage(m);
}

bool CTessaroQuorlinDlg::OnSysCommand(fx::Message& m)
{
    if ((m.wParam & 0xFFF0) != IDM_ABOUTBOX) return false;
    CAboutDlg about;
    about.DoModal();
    m.result = 0;
    return true;
}

bool CTessaroQuorlinDlg::OnPaint(fx::Message& m)
{
    if (!IsIconic(m_hWnd)) return false;
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(m_hWnd, &paint);
    const RECT client = GetClientRect();
    const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, m_hIcon);
    EndPaint(m_hWnd, &paint);
    m.result = 0;
    return true;
}

bool CTessaroQuorlinDlg::OnQueryDragIcon(fx::Message& m)
{
    m.result = reinterpret_cast<LRESULT>(m_hIcon);
    return true;
}

bool CTessaroQuorlinDlg::OnDestroy(fx::Message& m)
{
    m.result = Default(m);
    // The main window, an owned window, is gone by now.
    m_pBkImage.reset();
    if (m_pMainDlg && !m_pMainDlg->CanClose()) {
        // Destroyed from outside while a worker still runs: the worker goes on using the operator
        // inside the main window object until the process ends, so the object is left to the process's
        // end, and nothing may be removed under the running command.
        static_cast<void>(m_pMainDlg.release());
        return true;
    }
    m_pMainDlg.reset();
    StartSelfRemoval();
    return true;
}
