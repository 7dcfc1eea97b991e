// Signals the event whose handle value it is given (decimal), if this process holds that handle:
// tells a test whether a handle of the test reached a child by inheritance.
#include <windows.h>

#include <cwchar>

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2) return 2;
    const auto event = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(std::wcstoul(argv[1], nullptr, 10)));
    return SetEvent(event) ? 0 : 1;
}
