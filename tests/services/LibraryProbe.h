#pragma once
// library_probe.exe: loads its libraries the way the program does (the program's manifest is
// embedded in it) and answers through its exit code with one bit per library that came from where
// it must:
//   (no argument)  restricts the search order first, then runs every check below
//   plain          loads "riched20.dll" by name without any restriction; 1 when the copy in its own
//                  folder was taken (the test bed's proof that a planted library would load)
constexpr int kProbeSearchRestricted = 1;    // RestrictLibrarySearch succeeded
constexpr int kProbeBesideNotFound = 2;      // a library only in its own folder is not found by name
constexpr int kProbeGdiplusFromSystem = 4;   // GDI+ started, and not from its own folder
constexpr int kProbeRichEditFromSystem = 8;  // riched20.dll from the system folder
constexpr int kProbeWininetFromSystem = 16;  // the feedback component's wininet.dll not from its folder
constexpr int kProbeAllFromSystem = 31;

// A name that only the planted copy beside the probe has.
constexpr wchar_t kProbeBesideOnly[] = L"quorlin_beside.dll";
