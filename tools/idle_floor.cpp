// The floor of the idle figure in scripts/bench.sh: a bare shown window whose only periodic work is
// the program's hover tracking, a 100 ms timer that reads the cursor position. Closed by WM_CLOSE.
#include <windows.h>

namespace {

constexpr UINT_PTR kHoverTimer = 33;
constexpr UINT kHoverPeriodMs = 100;

LRESULT CALLBACK FloorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_TIMER: {
        POINT cursor{};
        GetCursorPos(&cursor);
        return 0;
    }
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, wchar_t*, int)
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = FloorProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"QuorlinIdleFloor";
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    if (!RegisterClassW(&windowClass)) return 1;
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"idle floor", WS_POPUP | WS_VISIBLE, 0, 0, 400, 600,
                                  nullptr, nullptr, instance, nullptr);
    if (!window || !SetTimer(window, kHoverTimer, kHoverPeriodMs, nullptr)) return 1;
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    return 0;
}
