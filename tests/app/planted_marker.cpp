// Planted as cmd.exe and timeout.exe where a careless launch would find them (beside the program's
// folder, in the program's working folder). It must never run; if it does, it leaves
// "<its own path>.ran" behind for the test to find.
#include "framework/base/KernelHandle.h"
#include "framework/base/ModulePath.h"

int wmain()
{
    const std::wstring marker = fx::ModuleFileName(nullptr) + L".ran";
    fx::CKernelHandle file(CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    return 0;
}
