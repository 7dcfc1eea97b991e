#pragma once
// The program's private window messages, one table for every sender and receiver.
// Every value is WM_USER plus a fixed offset.
#include <windows.h>

// Worker -> main window, then main window -> progress prompt: end the progress prompt.
constexpr UINT WM_EXECUTE_PROMPT_CLOSE = WM_USER + 501;  // 0x5F5, wParam 0, lParam 0
// Detection worker -> main window; wParam = detection outcome code.
constexpr UINT WM_DETECT_RESULT = WM_USER + 502;  // 0x5F6
// Volume chooser child -> its frame; wParam 1 confirm, 2 cancel.
constexpr UINT WM_SELECT_DISK_RESULT = WM_USER + 503;  // 0x5F7
// Key file location chooser child -> its frame; wParam 1 confirm.
constexpr UINT WM_SELECT_SAVE_DISK_RESULT = WM_USER + 504;  // 0x5F8
// Save-key worker -> main window; wParam = outcome code.
constexpr UINT WM_SAVE_KEY_RESULT = WM_USER + 505;  // 0x5F9
// Recovery key input child -> its frame; wParam 1 confirm.
constexpr UINT WM_INPUT_PASSWORD_RESULT = WM_USER + 506;  // 0x5FA
// Unlock worker -> main window; wParam = outcome code.
constexpr UINT WM_UNLOCK_RESULT = WM_USER + 507;  // 0x5FB
// Turn-off chooser child -> its frame; wParam 1 confirm, 2 cancel.
constexpr UINT WM_CLOSE_ENCRYPTED_DISK_RESULT = WM_USER + 508;  // 0x5FC
// Turn-off worker -> main window; wParam = outcome code.
constexpr UINT WM_TURN_OFF_RESULT = WM_USER + 509;  // 0x5FD
// List header -> its list; wParam 1 checked, 0 unchecked.
constexpr UINT WM_HEADER_CHECK_CHANGED = WM_USER + 510;  // 0x5FE
// Message prompt child -> its frame; wParam 1 confirm, 2 cancel.
constexpr UINT WM_PROMPT_RESULT = WM_USER + 533;  // 0x615
// Click hook -> main window (posted); wParam WM_LBUTTONDOWN, lParam never used.
constexpr UINT WM_HOOK_LBUTTONDOWN = WM_USER + 1000;  // 0x7E8
// Subclassed control -> its skinned scroll bar wrapper (posted); wParam has WS_VSCROLL,
// lParam has WS_EX_LEFTSCROLLBAR.
constexpr UINT WM_SKIN_SCROLL_UPDATE = WM_USER + 100;  // 0x464

static_assert(WM_EXECUTE_PROMPT_CLOSE == 0x5F5 && WM_DETECT_RESULT == 0x5F6 && WM_PROMPT_RESULT == 0x615 &&
                  WM_HOOK_LBUTTONDOWN == 0x7E8 && WM_SKIN_SCROLL_UPDATE == 0x464,
              "private message values are fixed");
