#pragma once
// Windows as objects. CWindow is a non-owning handle that only forwards calls and can be copied
// freely; CWnd owns a window procedure (by subclassing) and dispatches messages to member handlers
// through a table per class (see MessageMap.h).
#include <windows.h>

#include <string>

namespace fx {

struct Message;

class CWindow
{
public:
    CWindow() = default;
    explicit CWindow(HWND window) : m_hWnd(window) {}

    HWND GetSafeHwnd() const { return m_hWnd; }
    bool IsWindow() const { return m_hWnd != nullptr && ::IsWindow(m_hWnd) != FALSE; }

    RECT GetWindowRect() const;
    RECT GetClientRect() const;
    bool MoveWindow(int x, int y, int width, int height, bool repaint = true) const
    {
        return ::MoveWindow(m_hWnd, x, y, width, height, repaint) != FALSE;
    }
    bool ShowWindow(int command) const { return ::ShowWindow(m_hWnd, command) != FALSE; }
    bool IsWindowVisible() const { return ::IsWindowVisible(m_hWnd) != FALSE; }
    bool IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd) != FALSE; }
    void SetWindowText(const std::wstring& text) const { ::SetWindowTextW(m_hWnd, text.c_str()); }
    std::wstring GetWindowText() const;
    void Invalidate(bool erase = true) const { ::InvalidateRect(m_hWnd, nullptr, erase); }
    HWND GetParent() const { return ::GetParent(m_hWnd); }
    HFONT GetFont() const { return reinterpret_cast<HFONT>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0)); }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageW(m_hWnd, message, wParam, lParam);
    }
    UINT_PTR SetTimer(UINT_PTR id, UINT milliseconds) const { return ::SetTimer(m_hWnd, id, milliseconds, nullptr); }
    bool KillTimer(UINT_PTR id) const { return ::KillTimer(m_hWnd, id) != FALSE; }

protected:
    HWND m_hWnd = nullptr;  // not owned by CWindow itself
};

// A window whose messages this object handles. The object is bound to its window by
// SetWindowSubclass with the object as reference data, so HWND -> object needs no global table.
// The window is unbound at WM_NCDESTROY; OnFinalMessage runs after that, the one place where an
// object may free itself.
class CWnd : public CWindow
{
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // Binds this object to an existing window (a template's control, a window made elsewhere).
    bool SubclassWindow(HWND window);
    bool SubclassDlgItem(int id, HWND parent) { return SubclassWindow(::GetDlgItem(parent, id)); }
    void UnsubclassWindow();

    // The object bound to a window of this thread, or null.
    static CWnd* FromHandle(HWND window);

    // Called by the modal loop for each message aimed at this window or one of its descendants
    // (or owned windows), innermost first; true means the message is consumed.
    virtual bool PreTranslateMessage(MSG& message) { return false; }

protected:
    // One class's message handling; true when handled (result in message.result). A class chains
    // to its base by calling the base's ProcessMessage when its own table did not handle it.
    virtual bool ProcessMessage(Message& message) { return false; }
    // The processing the window would get without this object.
    LRESULT Default(const Message& message) const;
    virtual void OnFinalMessage(HWND window) {}

    // Messages that a parent reflects back to the control that sent them.
    static bool ReflectToChild(Message& message);

private:
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR refData);
    friend class CDialog;
};

// Walks from the message's window up through parents and owners, giving each bound object a
// chance to consume it (the Escape and Enter filter, dialog keyboard navigation).
bool WalkPreTranslateTree(MSG& message);

}  // namespace fx
