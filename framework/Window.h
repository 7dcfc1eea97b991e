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

// Where and how a window is created at run time.
struct CreateArgs
{
    DWORD exStyle = 0;
    DWORD style = WS_CHILD | WS_VISIBLE;
    RECT rect{};
    HWND parent = nullptr;  // the parent, or the owner of a popup
    int id = 0;             // control id of a child window
    const wchar_t* text = L"";
};

// A window whose messages this object handles. The object is bound to its window by
// SetWindowSubclass with the object as reference data, so HWND -> object needs no global table.
//
// Life of a binding:
// - A window has at most one object: binding a second one to it is refused.
// - The last message the object sees is WM_NCDESTROY (its default processing follows whatever the
//   handler does); the window is unbound right after it, and then OnFinalMessage runs. From then
//   on (inside OnFinalMessage too) the object may be deleted.
// - Deleting an object whose window still exists unbinds it first; the window goes on with the
//   processing it would have without the object.
// - An object is never deleted inside one of its own message handlers.
class CWnd : public CWindow
{
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // Creates a window of our own class, bound to this object from WM_NCCREATE on (its first
    // message but WM_GETMINMAXINFO for popups), so every handler sees the whole creation.
    bool Create(const CreateArgs& args);
    // Creates a window of a system class (SysListView32, ScrollBar, RichEdit20W, ...) bound to this
    // object before its first message: its WM_CREATE, and the WM_MEASUREITEM that an owner-drawn
    // control sends its parent while it is created, already reach this object.
    bool CreateControl(const wchar_t* className, const CreateArgs& args);

    // Binds this object to an existing window (a template's control, a window made elsewhere);
    // false when this object is bound already or the window has an object.
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
    static LRESULT CALLBACK StartWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK CreationHookProc(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR refData);
    friend class CDialog;
};

// Walks from the message's window up through parents and owners, giving each bound object a
// chance to consume it (the Escape and Enter filter, dialog keyboard navigation).
bool WalkPreTranslateTree(MSG& message);

}  // namespace fx
