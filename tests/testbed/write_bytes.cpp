// Copies a file's bytes unchanged to standard output. Wine's "type" re-encodes its output in
// 512-byte pieces and splits two-byte characters, so the runner tests use this instead.
#include <windows.h>

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2) return 2;
    HANDLE file = CreateFileW(argv[1], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    char buffer[65536];
    DWORD read = 0;
    DWORD written = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) {
        WriteFile(out, buffer, read, &written, nullptr);
    }
    CloseHandle(file);
    return 0;
}
