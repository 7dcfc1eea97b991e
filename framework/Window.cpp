#include "framework/Window.h"

#include "framework/MessageMap.h"

#include <commctrl.h>

#include <utility>

namespace fx {

namespace {
// One subclass id for every object: the procedure and this id identify our binding.
constexpr UINT_PTR kSubclassId = 0x51C0;
// The window class of CWnd::Create; its procedure binds the object at WM_NCCREATE.
constexpr wchar_t kWindowClass[] = L"QuorlinWindow";

// A control that CWnd::CreateControl is creating on this thread: the object to bind, and the
// window once the creation hook has seen it.
struct PendingCreation
{
    CWnd* object = nullptr;
    HWND window = nullptr;
};
thread_local PendingCreation* t_creating = nullptr;

// The control with this id under `parent`, also while it is still being created: an owner-drawn
// list asks its parent for its row height (WM_MEASUREITEM) before the parent can find it by id.
HWND ControlById(HWND parent, UINT id)
{
    if (HWND control = GetDlgItem(parent, static_cast<int>(id))) return control;
    HWND creating = t_creating ? t_creating->window : nullptr;
    if (creating && ::GetParent(creating) == parent && static_cast<UINT>(GetDlgCtrlID(creating)) == id) return creating;
    return nullptr;
}

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
        return item && item->CtlType != ODT_MENU ? ControlById(parent, item->CtlID) : nullptr;
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

bool CWnd::Create(const CreateArgs& args)
{
    if (m_hWnd) return false;
    const HINSTANCE module = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{sizeof(windowClass)};
    if (!GetClassInfoExW(module, kWindowClass, &windowClass)) {
        windowClass.lpfnWndProc = &CWnd::StartWindowProc;
        windowClass.hInstance = module;
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.lpszClassName = kWindowClass;
        if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
    }
    const HMENU id = (args.style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(args.id)) : nullptr;
    HWND window = CreateWindowExW(args.exStyle, kWindowClass, args.text, args.style, args.rect.left, args.rect.top,
                                  args.rect.right - args.rect.left, args.rect.bottom - args.rect.top, args.parent, id,
                                  module, this);
    return window && window == m_hWnd;
}

bool CWnd::CreateControl(const wchar_t* className, const CreateArgs& args)
{
    if (m_hWnd) return false;
    // A thread-local creation hook binds the object when the system announces the new window,
    // before the window's first message. Creations nested in it (a list view's header) are left
    // alone: only the first window is ours.
    PendingCreation pending{this};
    PendingCreation* outer = std::exchange(t_creating, &pending);
    HHOOK hook = SetWindowsHookExW(WH_CBT, &CWnd::CreationHookProc, nullptr, GetCurrentThreadId());
    HWND window = nullptr;
    if (hook) {
        const HMENU id = (args.style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(args.id)) : nullptr;
        window = CreateWindowExW(args.exStyle, className, args.text, args.style, args.rect.left, args.rect.top,
                                 args.rect.right - args.rect.left, args.rect.bottom - args.rect.top, args.parent, id,
                                 GetModuleHandleW(nullptr), nullptr);
        UnhookWindowsHookEx(hook);
    }
    t_creating = outer;
    return window && window == m_hWnd;
}

LRESULT CALLBACK CWnd::CreationHookProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND && t_creating && !t_creating->window) {
        t_creating->window = reinterpret_cast<HWND>(wParam);
        t_creating->object->SubclassWindow(t_creating->window);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK CWnd::StartWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE && !FromHandle(window)) {
        auto* self = static_cast<CWnd*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        // Once bound, the message goes through the object like every later one.
        if (self && self->SubclassWindow(window))
            return CallWindowProcW(reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC)), window, message,
                                   wParam, lParam);
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool CWnd::SubclassWindow(HWND window)
{
    // One object per window: a second binding would silently take the first one's messages.
    if (!window || m_hWnd || FromHandle(window)) return false;
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
        // The object's last message: it may look, but the default processing always follows.
        Message last{window, message, wParam, lParam};
        try {
            self->ProcessMessage(last);
        } catch (...) {
        }
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
