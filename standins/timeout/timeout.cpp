// Wine's cmd has no "timeout" command; this program waits as Windows' timeout.exe does for
// "timeout /t N [/nobreak]": N seconds, or until a key is pressed unless /nobreak is given.
#include <windows.h>

#include <cwchar>
#include <cwctype>

namespace {

bool IsSwitch(const wchar_t* arg, const wchar_t* name)
{
    return (arg[0] == L'/' || arg[0] == L'-') && _wcsicmp(arg + 1, name) == 0;
}

bool ParseSeconds(const wchar_t* text, long* seconds)
{
    wchar_t* end = nullptr;
    long value = std::wcstol(text, &end, 10);
    if (end == text || *end != L'\0' || value < -1 || value > 99999) return false;
    *seconds = value;
    return true;
}

bool KeyPressed(HANDLE input)
{
    DWORD count = 0;
    if (!GetNumberOfConsoleInputEvents(input, &count) || count == 0) return false;
    INPUT_RECORD record;
    DWORD read = 0;
    return ReadConsoleInputW(input, &record, 1, &read) && read == 1 && record.EventType == KEY_EVENT &&
           record.Event.KeyEvent.bKeyDown;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    long seconds = -2;
    bool noBreak = false;
    for (int i = 1; i < argc; ++i) {
        if (IsSwitch(argv[i], L"nobreak")) {
            noBreak = true;
        } else if (IsSwitch(argv[i], L"t") && i + 1 < argc) {
            if (!ParseSeconds(argv[++i], &seconds)) seconds = -2;
        } else if (!ParseSeconds(argv[i], &seconds)) {
            seconds = -2;
        }
    }
    if (seconds < -1) {
        std::fwprintf(stderr, L"ERROR: Invalid syntax. Use \"timeout /t N [/nobreak]\".\n");
        return 1;
    }
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(seconds) * 1000;
    while (seconds == -1 || GetTickCount64() < deadline) {
        if (!noBreak && KeyPressed(input)) break;
        Sleep(50);
    }
    return 0;
}
