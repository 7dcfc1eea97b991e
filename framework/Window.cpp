#include "framework/Window.h"

#include "framework/MessageMap.h"

#include <commctrl.h>

namespace fx {

namespace {
// One subclass id for every object: the procedure and this id identify our binding.
constexpr UINT_PTR kSubclassId = 0x51C0;

// The control that a parent notification came from, or null when it is not a control message.
HWND SenderOf(HWND parent, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND: return reinterpret_cast<HWND>(lParam);
    case WM_NOTIFY: return lParam ? reinterpret_cast<const NMHDR*>(lParam)->hwndFrom : nullptr;
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        return item && item->CtlType != ODT_MENU ? item->hwndItem : nullptr;
    }
    case WM_MEASUREITEM: {
        const auto* item = reinterpret_cast<const MEASUREITEMSTRUCT*>(lParam);
        return item && item->CtlType != ODT_MENU ? GetDlgItem(parent, static_cast<int>(item->CtlID)) : nullptr;
    }
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: return reinterpret_cast<HWND>(lParam);
    default: return nullptr;
    }
}
}  // namespace

RECT CWindow::GetWindowRect() const
{
    RECT rect{};
    ::GetWindowRect(m_hWnd, &rect);
    return rect;
}

RECT CWindow::GetClientRect() const
{
    RECT rect{};
    ::GetClientRect(m_hWnd, &rect);
    return rect;
}

std::wstring CWindow::GetWindowText() const
{
    const int length = ::GetWindowTextLengthW(m_hWnd);
    if (length <= 0) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(m_hWnd, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

CWnd::~CWnd() { UnsubclassWindow(); }

bool CWnd::SubclassWindow(HWND window)
{
    if (!window || m_hWnd) return false;
    if (!SetWindowSubclass(window, &CWnd::SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) return false;
    m_hWnd = window;
    return true;
}

void CWnd::UnsubclassWindow()
{
    if (m_hWnd) RemoveWindowSubclass(m_hWnd, &CWnd::SubclassProc, kSubclassId);
    m_hWnd = nullptr;
}

CWnd* CWnd::FromHandle(HWND window)
{
    DWORD_PTR refData = 0;
    if (!window || !GetWindowSubclass(window, &CWnd::SubclassProc, kSubclassId, &refData)) return nullptr;
    return reinterpret_cast<CWnd*>(refData);
}

LRESULT CWnd::Default(const Message& message) const
{
    return DefSubclassProc(message.hwnd, message.message, message.wParam, message.lParam);
}

bool CWnd::ReflectToChild(Message& message)
{
    HWND sender = SenderOf(message.hwnd, message.message, message.wParam, message.lParam);
    CWnd* control = sender && sender != message.hwnd ? FromHandle(sender) : nullptr;
    if (!control) return false;
    Message reflected{sender, kReflectBase + message.message, message.wParam, message.lParam};
    if (!control->ProcessMessage(reflected)) return false;
    message.result = reflected.result;
    return true;
}

LRESULT CALLBACK CWnd::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                    DWORD_PTR refData)
{
    auto* self = reinterpret_cast<CWnd*>(refData);
    if (message == WM_NCDESTROY) {
        const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
        self->UnsubclassWindow();
        self->OnFinalMessage(window);
        return result;
    }
    Message m{window, message, wParam, lParam};
    try {
        if (ReflectToChild(m) || self->ProcessMessage(m)) return m.result;
    } catch (...) {
        // Nothing may cross a window procedure; the message gets the default processing.
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

bool WalkPreTranslateTree(MSG& message)
{
    for (HWND window = message.hwnd; window; window = ::GetParent(window)) {
        if (CWnd* object = CWnd::FromHandle(window)) {
            if (object->PreTranslateMessage(message)) return true;
        }
    }
    return false;
}

}  // namespace fx
