#pragma once
// Declarative message dispatch: each class lists its handlers in one table inside its
// ProcessMessage, every handler has the signature bool OnX(fx::Message&), and returns whether it
// handled the message (the window's result goes into message.result):
//
//   bool CMyDlg::ProcessMessage(fx::Message& m)
//   {
//       static const fx::MessageEntry<CMyDlg> map[] = {
//           fx::OnMessage(WM_MOVE, &CMyDlg::OnMove),
//           fx::OnCommand(1005, BN_CLICKED, &CMyDlg::OnClose),
//       };
//       return fx::Dispatch(*this, map, m) || CBase::ProcessMessage(m);
//   }
#include <windows.h>
#include <commctrl.h>

#include <cstddef>

namespace fx {

struct Message
{
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result = 0;

    // The shapes the program reads from the parameters, so that no handler casts them itself.
    // The point of a mouse message: x in the low word, y in the high word, both signed.
    POINT Point() const { return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))}; }
    // The new client size of WM_SIZE.
    SIZE Size() const { return SIZE{LOWORD(lParam), HIWORD(lParam)}; }
    // The window that lParam names: the scroll bar of WM_HSCROLL and WM_VSCROLL, the window that
    // takes the capture in WM_CAPTURECHANGED.
    HWND Window() const { return reinterpret_cast<HWND>(lParam); }
    // The device context of WM_ERASEBKGND.
    HDC Dc() const { return reinterpret_cast<HDC>(wParam); }
    // WM_NOTIFY's header, or the control's larger structure that begins with it.
    template <class T = NMHDR>
    const T* Notify() const
    {
        return reinterpret_cast<const T*>(lParam);
    }
    // The structure that lParam points to (WM_DRAWITEM, WM_MEASUREITEM, SBM_SETSCROLLINFO, HDM_LAYOUT).
    template <class T>
    T* Data() const
    {
        return reinterpret_cast<T*>(lParam);
    }
};

// Messages reflected from a parent to the control that sent them carry this offset.
constexpr UINT kReflectBase = WM_USER + 0x1C00;
constexpr UINT WM_REFLECT_COMMAND = kReflectBase + WM_COMMAND;
constexpr UINT WM_REFLECT_NOTIFY = kReflectBase + WM_NOTIFY;
constexpr UINT WM_REFLECT_DRAWITEM = kReflectBase + WM_DRAWITEM;
constexpr UINT WM_REFLECT_MEASUREITEM = kReflectBase + WM_MEASUREITEM;
constexpr UINT WM_REFLECT_CTLCOLORSTATIC = kReflectBase + WM_CTLCOLORSTATIC;

template <class T>
struct MessageEntry
{
    enum class Match
    {
        Message,
        Command,
        Notify,
        Timer
    };
    UINT message;
    Match match;
    UINT_PTR id;
    UINT code;
    bool (T::*handler)(Message&);

    bool Matches(const Message& m) const
    {
        if (m.message != message) return false;
        switch (match) {
        case Match::Message: return true;
        case Match::Command: return LOWORD(m.wParam) == id && HIWORD(m.wParam) == code;
        case Match::Notify: {
            const auto* header = reinterpret_cast<const NMHDR*>(m.lParam);
            return header && header->idFrom == id && header->code == code;
        }
        case Match::Timer: return m.wParam == id;
        }
        return false;
    }
};

template <class T>
constexpr MessageEntry<T> OnMessage(UINT message, bool (T::*handler)(Message&))
{
    return {message, MessageEntry<T>::Match::Message, 0, 0, handler};
}
// WM_COMMAND (or its reflection) from control `id` with notification `code`.
template <class T>
constexpr MessageEntry<T> OnCommand(UINT_PTR id, UINT code, bool (T::*handler)(Message&), UINT message = WM_COMMAND)
{
    return {message, MessageEntry<T>::Match::Command, id, code, handler};
}
template <class T>
constexpr MessageEntry<T> OnNotify(UINT_PTR id, UINT code, bool (T::*handler)(Message&), UINT message = WM_NOTIFY)
{
    return {message, MessageEntry<T>::Match::Notify, id, code, handler};
}
template <class T>
constexpr MessageEntry<T> OnTimer(UINT_PTR id, bool (T::*handler)(Message&))
{
    return {WM_TIMER, MessageEntry<T>::Match::Timer, id, 0, handler};
}

template <class T, std::size_t N>
bool Dispatch(T& self, const MessageEntry<T> (&map)[N], Message& message)
{
    for (const auto& entry : map) {
        if (entry.Matches(message) && (self.*entry.handler)(message)) return true;
    }
    return false;
}

}  // namespace fx
