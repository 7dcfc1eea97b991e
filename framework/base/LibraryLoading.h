#pragma once
// Where the program's libraries come from. The program runs with administrator rights, often from a
// Downloads folder that anyone may have put a library into: nothing is ever loaded by a bare name
// from the program's folder or the current folder.
#include <windows.h>

namespace fx {

// Makes the system folder the only place searched for libraries loaded by name (LoadLibrary, and
// the dependencies of every library loaded later), takes the current folder out of the search
// paths that remain (the legacy altered search order, SearchPath). Call it first thing in the
// program, before anything is loaded. Libraries imported by the program itself are bound before
// it runs: they must be known DLLs or bound side by side by the manifest. True on success.
bool RestrictLibrarySearch();

// Loads a system library ("riched20.dll") by its full path in the system folder, its own
// dependencies from the system folder too; null on failure.
HMODULE LoadSystemLibrary(const wchar_t* name);

}  // namespace fx
