// A library planted where the tool must not look for the libraries it loads: it leaves its marker
// when it is loaded.
#include "tests/testbed/PlantMarker.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) testing::LeavePlantMarker(instance);
    return TRUE;
}
