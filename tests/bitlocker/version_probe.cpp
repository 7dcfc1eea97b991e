// Exits with what the version check answers in this process: 1 for Windows 10.0, 0 otherwise.
#include "bitlocker/BitLockerOperator.h"

int wmain()
{
    CBitLockerOperator op;
    return op.IsWindows10();
}
