// Loads libraries the way the program does; see LibraryProbe.h.
#include "framework/base/LibraryLoading.h"
#include "framework/base/ModulePath.h"
#include "framework/base/SystemFolder.h"
#include "services/FeedbackDll.h"
#include "tests/services/LibraryProbe.h"

#include <objidl.h>

#include <gdiplus.h>

#include <string>

namespace {

bool SamePath(const std::wstring& a, const std::wstring& b)
{
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

bool FromOwnFolder(HMODULE module)
{
    const std::wstring folder = fx::ModuleFolder(nullptr) + L"\\";
    const std::wstring path = fx::ModuleFileName(module);
    return SamePath(path.substr(0, folder.size()), folder);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc == 2 && std::wstring(argv[1]) == L"plain") {
        HMODULE richEdit = LoadLibraryW(L"riched20.dll");
        return richEdit && FromOwnFolder(richEdit) ? 1 : 0;
    }
    int result = fx::RestrictLibrarySearch() ? kProbeSearchRestricted : 0;
    if (!LoadLibraryW(kProbeBesideOnly)) result |= kProbeBesideNotFound;

    // Imported: bound when the process started, through the manifest.
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok) {
        if (!FromOwnFolder(GetModuleHandleW(L"gdiplus.dll"))) result |= kProbeGdiplusFromSystem;
        Gdiplus::GdiplusShutdown(token);
    }

    HMODULE richEdit = fx::LoadSystemLibrary(L"riched20.dll");
    if (richEdit && SamePath(fx::ModuleFileName(richEdit), fx::SystemFilePath(L"riched20.dll")))
        result |= kProbeRichEditFromSystem;

    CFeedbackDll feedback;
    if (feedback.Load()) {
        feedback.GetInterNetState();  // the component loads wininet.dll for it
        HMODULE wininet = GetModuleHandleW(L"wininet.dll");
        if (wininet && !FromOwnFolder(wininet)) result |= kProbeWininetFromSystem;
    }
    return result;
}
