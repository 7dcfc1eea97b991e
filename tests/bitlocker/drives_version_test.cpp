#include "bitlocker/BitLockerOperator.h"
#include "tests/testbed/TempFolder.h"

#include <doctest.h>

#include <algorithm>

namespace {

bool Has(const std::vector<std::wstring>& drives, const wchar_t* root)
{
    return std::find(drives.begin(), drives.end(), root) != drives.end();
}

// Runs a copy of the version probe named `name`, with Wine's per-program Windows version set to
// `version` ("win10", "win81", "win7"); the probe's exit code.
DWORD ProbeAs(const testing::CTempFolder& folder, const std::wstring& name, const wchar_t* version)
{
    const std::wstring copy = folder / name;
    REQUIRE(CopyFileW((testing::OwnFolder() + L"version_probe.exe").c_str(), copy.c_str(), FALSE));
    const std::wstring key = L"Software\\Wine\\AppDefaults\\" + name;
    REQUIRE(RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), L"Version", REG_SZ, version,
                            static_cast<DWORD>((wcslen(version) + 1) * sizeof(wchar_t))) == ERROR_SUCCESS);
    STARTUPINFOW startup = {sizeof startup};
    PROCESS_INFORMATION process = {};
    std::wstring line = L"\"" + copy + L"\"";
    REQUIRE(
        CreateProcessW(copy.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
    WaitForSingleObject(process.hProcess, 30000);
    DWORD code = 0xDEAD;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
    return code;
}

}  // namespace

TEST_CASE("candidate drives: fixed and removable drives with a medium, no CD-ROM, network share or empty reader")
{
    // The test bed's drive configuration gives these types.
    CHECK(GetDriveTypeW(L"F:\\") == DRIVE_REMOVABLE);
    CHECK(GetDriveTypeW(L"G:\\") == DRIVE_CDROM);
    CHECK(GetDriveTypeW(L"N:\\") == DRIVE_REMOTE);
    CHECK(GetDriveTypeW(L"U:\\") == DRIVE_REMOVABLE);

    std::vector<std::wstring> drives{L"kept"};
    CHECK(CBitLockerOperator::GetCandidateDrives(&drives) == 1);
    CHECK(drives.front() == L"kept");  // appended to
    CHECK(Has(drives, L"C:\\"));
    CHECK(Has(drives, L"D:\\"));
    CHECK(Has(drives, L"F:\\"));
    CHECK_FALSE(Has(drives, L"G:\\"));
    CHECK_FALSE(Has(drives, L"N:\\"));
    CHECK_FALSE(Has(drives, L"U:\\"));
    // In the order the system lists them.
    CHECK(std::is_sorted(drives.begin() + 1, drives.end()));
}

TEST_CASE("the version check reads the numbers the system reports for the process")
{
    CBitLockerOperator op;
    CHECK(op.IsWindows10() == 1);  // the test bed is Windows 10

    testing::CTempFolder folder;
    CHECK(ProbeAs(folder, L"quorlin_probe_win10.exe", L"win10") == 1);
    CHECK(ProbeAs(folder, L"quorlin_probe_win81.exe", L"win81") == 0);
    CHECK(ProbeAs(folder, L"quorlin_probe_win7.exe", L"win7") == 0);
}
