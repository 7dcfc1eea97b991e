#include "tests/uidriver/MainStandIn.h"

#include "controls/PngPainting.h"
#include "framework/MessageMap.h"
#include "framework/Scale.h"
#include "res/MainWindowDesign.h"
#include "res/PrivateMessages.h"
#include "res/resource.h"
#include "services/TooltipDlg.h"
#include "tests/uidriver/UiTestSupport.h"

namespace uitest {

namespace {

constexpr UINT WM_TEST_INVOKE = WM_APP + 7;
constexpr POINT kPlace{100, 40};
// The link in the main window's bottom row, about where the main window measures it beside its check
// box with the test bed's font.
constexpr float kLinkLeft = 30;
constexpr float kLinkWidth = 230;
constexpr COLORREF kLinkColour = RGB(92, 92, 255);

// The window the hook reports to; one stand-in at a time.
std::atomic<HWND> s_hookTarget{nullptr};

LRESULT CALLBACK ClickHookProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && wParam == WM_LBUTTONDOWN) {
        if (HWND target = s_hookTarget.load()) PostMessageW(target, WM_HOOK_LBUTTONDOWN, wParam, lParam);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

bool EnsureRichEdit()
{
    static const bool loaded = LoadLibraryExW(L"riched20.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32) != nullptr;
    return loaded;
}

class CMainStandIn::CWindow : public fx::CWnd
{
public:
    explicit CWindow(float scale) : m_fScale(scale) {}

    bool Create()
    {
        const RECT place{kPlace.x, kPlace.y, kPlace.x + fx::Scaled(main_design::kWidth, m_fScale),
                         kPlace.y + fx::Scaled(main_design::kHeight, m_fScale)};
        return fx::CWnd::Create(fx::CreateArgs{0, WS_POPUP | WS_VISIBLE, place, nullptr, 0, L"Quorlin"});
    }

    RECT LinkInClient() const
    {
        const RECT client = GetClientRect();
        const int left = fx::Scaled(kLinkLeft, m_fScale);
        const int top = client.bottom - fx::Scaled(main_design::kRowFromBottom, m_fScale);
        return RECT{left, top, left + fx::Scaled(kLinkWidth, m_fScale),
                    top + fx::Scaled(main_design::kRowHeight, m_fScale)};
    }

    RECT LinkOnScreen() const
    {
        RECT link = LinkInClient();
        MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<POINT*>(&link), 2);
        return link;
    }

    CAgreementViewer m_viewer;

protected:
    bool ProcessMessage(fx::Message& m) override
    {
        switch (m.message) {
        case WM_TEST_INVOKE: (*reinterpret_cast<const std::function<void()>*>(m.lParam))(); return true;
        case WM_ERASEBKGND:
            Paint(m.Dc());
            m.result = TRUE;
            return true;
        case WM_LBUTTONDOWN: {
            // As the main window: the link toggles the viewer, any other click on the window hides it.
            const POINT point = m.Point();
            const RECT link = LinkInClient();
            if (PtInRect(&link, point))
                m_viewer.ToggleOver(m_hWnd, GetWindowRect(), m_fScale);
            else
                m_viewer.Hide();
            return false;
        }
        case WM_HOOK_LBUTTONDOWN: {
            POINT cursor{};
            GetCursorPos(&cursor);
            const RECT link = LinkOnScreen();
            m_viewer.HideUnlessInside(cursor, PtInRect(&link, cursor) != FALSE);
            m.result = 0;
            return true;
        }
        case WM_DESTROY: PostQuitMessage(0); return false;
        default: return false;
        }
    }

private:
    void Paint(HDC dc)
    {
        const RECT client = GetClientRect();
        if (EnsurePngLoaded(m_pBkImage, IDB_MAIN_BACKGROUND))
            PaintBackgroundBuffered(dc, client, *m_pBkImage);
        else
            FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        RECT link = LinkInClient();
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, kLinkColour);
        const HGDIOBJ previous = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
        DrawTextW(dc, L"同意《Korvane服务工具使用许可协议》", -1, &link, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
        SelectObject(dc, previous);
    }

    float m_fScale;
    fx::ImagePtr m_pBkImage;  // owned
};

CMainStandIn::CMainStandIn(float scale)
    : m_window(std::make_unique<CWindow>(scale)), m_thread([this] {
          EnsureApplication();
          EnsureRichEdit();
          HHOOK hook = nullptr;
          if (m_window->Create()) {
              s_hookTarget = m_window->GetSafeHwnd();
              hook = SetWindowsHookExW(WH_MOUSE_LL, ClickHookProc, GetModuleHandleW(nullptr), 0);
          }
          m_ready = true;
          if (m_window->IsWindow()) ui::RunMessageLoop();
          if (hook) UnhookWindowsHookEx(hook);
          s_hookTarget = nullptr;
      })
{
    ui::PumpUntil([this] { return m_ready.load(); });
    ui::PumpFor(300);
}

CMainStandIn::~CMainStandIn()
{
    if (m_window->IsWindow()) ui::Post(m_window->GetSafeHwnd(), WM_CLOSE);
    m_thread.Join();
}

HWND CMainStandIn::Window() const { return m_window->GetSafeHwnd(); }

RECT CMainStandIn::LinkOnScreen() const { return m_window->LinkOnScreen(); }

CTooltipDlg* CMainStandIn::Viewer() const { return m_window->m_viewer.GetDialog(); }

bool CMainStandIn::IsViewerShown() const
{
    bool shown = false;
    Invoke([&] { shown = m_window->m_viewer.IsShown(); });
    return shown;
}

void CMainStandIn::Invoke(const std::function<void()>& work) const
{
    ui::Send(m_window->GetSafeHwnd(), WM_TEST_INVOKE, 0, reinterpret_cast<LPARAM>(&work));
}

}  // namespace uitest
