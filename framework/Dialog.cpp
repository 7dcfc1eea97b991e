#include "framework/Dialog.h"

#include "framework/Application.h"
#include "framework/MessageMap.h"

namespace fx {

bool DDX_Control(CDataExchange& exchange, int id, CWnd& control)
{
    if (control.GetSafeHwnd()) return true;
    return control.SubclassDlgItem(id, exchange.Dialog());
}

INT_PTR CALLBACK CDialog::StartDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_INITDIALOG) return FALSE;
    auto* self = reinterpret_cast<CDialog*>(lParam);
    if (!self->SubclassWindow(window)) return FALSE;
    RECT before{};
    ::GetWindowRect(window, &before);
    BOOL result = TRUE;
    try {
        result = self->OnInitDialog();
    } catch (...) {
        // Nothing may cross a window procedure: a failed initialisation leaves an empty dialog.
    }
    // A top-level dialog that stayed hidden where its template put it is centred over its owner.
    RECT after{};
    ::GetWindowRect(window, &after);
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    if (!(style & WS_CHILD) && !::IsWindowVisible(window) && before.left == after.left && before.top == after.top)
        CenterWindow(window);
    return result;
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(false);
    return TRUE;
}

bool CDialog::UpdateData(bool saveAndValidate)
{
    CDataExchange exchange(m_hWnd, saveAndValidate);
    DoDataExchange(exchange);
    return true;
}

bool CDialog::ProcessMessage(Message& message)
{
    // IDOK and IDCANCEL come from the dialog manager (lParam 0) or from buttons with those ids.
    if (message.message != WM_COMMAND) return false;
    if (message.lParam != 0 && HIWORD(message.wParam) != BN_CLICKED) return false;
    switch (LOWORD(message.wParam)) {
    case IDOK: OnOK(); return true;
    case IDCANCEL: OnCancel(); return true;
    default: return false;
    }
}

bool CDialog::PreTranslateMessage(MSG& message)
{
    const bool input = (message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST) ||
                       (message.message >= WM_MOUSEFIRST && message.message <= WM_MOUSELAST);
    return input && m_hWnd && IsDialogMessageW(m_hWnd, &message);
}

HWND CDialog::ResolveOwner() const
{
    HWND owner = m_parent ? m_parent : GetActiveWindow();
    if (!owner) owner = CWinApp::MainWindow();
    if (!owner) return nullptr;
    owner = GetAncestor(owner, GA_ROOT);
    HWND popup = GetLastActivePopup(owner);
    return popup ? popup : owner;
}

bool CDialog::Create(HWND owner)
{
    m_modal = false;
    return CreateDialogParamW(CWinApp::ResourceHandle(), MAKEINTRESOURCEW(m_templateId), owner,
                              &CDialog::StartDialogProc, reinterpret_cast<LPARAM>(this)) != nullptr;
}

INT_PTR CDialog::DoModal()
{
    HWND owner = ResolveOwner();
    const bool disableOwner = owner && ::IsWindowEnabled(owner);
    if (disableOwner) EnableWindow(owner, FALSE);

    m_modal = true;
    m_endModal = false;
    m_result = -1;
    HWND window = CreateDialogParamW(CWinApp::ResourceHandle(), MAKEINTRESOURCEW(m_templateId), owner,
                                     &CDialog::StartDialogProc, reinterpret_cast<LPARAM>(this));
    if (window && !m_endModal) {
        ::ShowWindow(window, SW_SHOWNORMAL);
        RunModalLoop();
    }
    // Enable the owner before the dialog goes, so that activation returns to it.
    if (disableOwner) EnableWindow(owner, TRUE);
    if (window && ::IsWindow(window)) {
        // The activation goes back to the owner: the dialog's own window is often not the active
        // one (a skinned dialog's controls live in a window it owns), and left alone Windows may
        // give the activation to another program. Never to a hidden owner.
        if (owner && ::IsWindowVisible(owner)) SetActiveWindow(owner);
        DestroyWindow(window);
    }
    m_modal = false;
    return window ? m_result : -1;
}

bool CDialog::RunModalLoop()
{
    MSG message{};
    while (!m_endModal && m_hWnd) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            // Someone asked the thread to quit: end the dialog and let the outer loop see WM_QUIT.
            PostQuitMessage(static_cast<int>(message.wParam));
            return false;
        }
        if (got < 0) return false;
        if (!WalkPreTranslateTree(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return true;
}

void CDialog::EndDialog(INT_PTR result)
{
    m_result = result;
    if (m_modal) {
        m_endModal = true;
        // Wake the loop if it is waiting in GetMessage.
        if (m_hWnd) PostMessageW(m_hWnd, WM_NULL, 0, 0);
    } else if (m_hWnd) {
        ::ShowWindow(m_hWnd, SW_HIDE);
    }
}

void CDialog::CenterWindow(HWND window)
{
    RECT rect{};
    ::GetWindowRect(window, &rect);
    HWND owner = GetWindow(window, GW_OWNER);
    const bool overOwner = owner && ::IsWindowVisible(owner) && !IsIconic(owner);

    HMONITOR monitor = MonitorFromWindow(overOwner ? owner : window, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info{sizeof(info)};
    GetMonitorInfoW(monitor, &info);
    const RECT work = info.rcWork;

    RECT centreOn = work;
    if (overOwner) ::GetWindowRect(owner, &centreOn);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    int left = (centreOn.left + centreOn.right) / 2 - width / 2;
    int top = (centreOn.top + centreOn.bottom) / 2 - height / 2;
    // Keep the whole dialog on the work area.
    if (left + width > work.right) left = work.right - width;
    if (left < work.left) left = work.left;
    if (top + height > work.bottom) top = work.bottom - height;
    if (top < work.top) top = work.top;
    SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace fx
