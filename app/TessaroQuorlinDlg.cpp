#include "app/TessaroQuorlinDlg.h"

#include "app/QuorlinDlg.h"
#include "app/SelfRemoval.h"
#include "framework/Application.h"
#include "framework/MessageMap.h"
#include "framework/Scale.h"
#include "res/resource.h"

#include <string>

namespace {

// The frame at scale 1.0 and where the main window lies inside it.
constexpr SIZE kFrameSize{410, 611};
constexpr Inset kMainInset{5, 4, 5, 7};
constexpr FrameDesign kShellFrame{IDD_SHELL_FRAME, IDB_SHELL_FRAME, kFrameSize, kMainInset};

}  // namespace

CAboutDlg::CAboutDlg() : fx::CDialog(IDD_ABOUTBOX) {}

CTessaroQuorlinDlg::CTessaroQuorlinDlg()
    : CLayeredFrameDlg(kShellFrame),
      m_hIcon(static_cast<HICON>(LoadImageW(fx::CWinApp::ResourceHandle(), MAKEINTRESOURCEW(IDI_QUORLIN), IMAGE_ICON, 0,
                                            0, LR_DEFAULTSIZE | LR_SHARED)))
{
}

CTessaroQuorlinDlg::~CTessaroQuorlinDlg() = default;

RECT CTessaroQuorlinDlg::FrameAround(const RECT& main, float s)
{
    const Inset& in = kMainInset;
    return RECT{static_cast<LONG>(main.left - in.left * s), static_cast<LONG>(main.top - in.top * s),
                static_cast<LONG>(main.right + in.right * s), static_cast<LONG>(main.bottom + in.bottom * s)};
}

RECT CTessaroQuorlinDlg::MainWindowIn(const RECT& frame, float s)
{
    const Inset& in = kMainInset;
    const int left = frame.left + fx::Scaled(in.left, s);
    const int top = frame.top + fx::Scaled(in.top, s);
    const int width = fx::Width(frame) - fx::Scaled(in.left + in.right, s);
    const int height = fx::Height(frame) - fx::Scaled(in.top + in.bottom, s);
    return RECT{left, top, left + width, top + height};
}

std::unique_ptr<CLayeredChildDlg> CTessaroQuorlinDlg::CreateChildObject() { return std::make_unique<CQuorlinDlg>(); }

RECT CTessaroQuorlinDlg::ChildRectAtCreation(const RECT& frame) const { return MainWindowIn(frame, GetScaleFactor()); }

RECT CTessaroQuorlinDlg::FrameRectAround(const RECT& mainWindow) const
{
    return FrameAround(mainWindow, GetScaleFactor());
}

CQuorlinDlg* CTessaroQuorlinDlg::MainWindow() const { return static_cast<CQuorlinDlg*>(GetChild()); }

BOOL CTessaroQuorlinDlg::OnInitDialog()
{
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

    const float scale = fx::ScreenScaleFactor();
    SetScaleFactor(scale);
    const SIZE size = TargetSize(kFrameSize, scale);
    const int left = GetSystemMetrics(SM_CXSCREEN) / 2 - fx::Scaled(kFrameSize.cx / 2.0f, scale);
    const int top = GetSystemMetrics(SM_CYSCREEN) / 2 - fx::Scaled(kFrameSize.cy / 2.0f, scale);
    SetWindowPos(m_hWnd, nullptr, left, top, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    // The pair paints the frame and makes the main window inside it; the main window leads the frame
    // from its first placement on. Without its picture the frame stays invisible and the program
    // has no main window.
    CLayeredFrameDlg::OnInitDialog();
    CQuorlinDlg* main = MainWindow();
    if (!main || !main->IsWindow()) return TRUE;
    SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE);
    // The main window belongs above the frame that draws its shadow. Windows makes the owned
    // window of a topmost window topmost above it by itself, so this changes nothing there; Wine
    // can leave the frame, shown last, above it.
    SetWindowPos(main->GetSafeHwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return TRUE;
}

void CTessaroQuorlinDlg::OnCancel()
{
    // A chooser or an operation is up: the program closes after the operation's result has been
    // shown and dismissed, and never under a running worker.
    CQuorlinDlg* main = MainWindow();
    if (main && main->IsWindow() && !main->CloseNowOrLater()) return;
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
    return fx::Dispatch(*this, map, m) || CLayeredFrameDlg::ProcessMessage(m);
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
    std::unique_ptr<CLayeredChildDlg> main = TakeChild();
    if (main && !static_cast<CQuorlinDlg&>(*main).CanClose()) {
        // Destroyed from outside while a worker still runs: the worker goes on using the operator
        // inside the main window object until the process ends, so the object is left to the process's
        // end, and nothing may be removed under the running command.
        static_cast<void>(main.release());
        return true;
    }
    main.reset();
    StartSelfRemoval();
    return true;
}
