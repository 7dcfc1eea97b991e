#include "tests/testbed/TempFolder.h"
#include "tests/bitlocker/OperationHelpers.h"
#include "tests/testbed/ProcessCapture.h"
#include "tests/testbed/AclCheck.h"
#include "framework/base/TextCodec.h"
#include "framework/security/ProtectedAcl.h"

using bde::Machine;
using testing::CheckReport;
using testing::CTempFolder;
using testing::ReadFileBytes;
using testing::RunWorker;

namespace {

testing::WorkerRun SaveKey(CBitLockerOperator& op, const std::wstring& volume, const std::wstring& path,
                           const std::wstring& record = L"")
{
    testing::WorkerRun run = RunWorker(
        [&](HWND window) {
            op.SetNotifyWindow(window);
            return op.StartSaveKeyThread(volume, path);
        },
        record);
    CheckReport(run, WM_SAVE_KEY_RESULT);
    return run;
}

// Files in a folder whose names start as the key file's temporary copies do.
int LeftoverTemporaries(const std::wstring& folder)
{
    int count = 0;
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((folder + L"qkf*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return 0;
    do ++count;
    while (FindNextFileW(find, &entry));
    FindClose(find);
    return count;
}

// The protector listing of C: holds no recovery password: outcome 3, its record, and no file at all.
void CheckNoPassword(const Machine& machine)
{
    bde::CMachineScope scope(machine);
    CTempFolder folder;
    CBitLockerOperator op;
    const testing::WorkerRun run = SaveKey(op, L"C:", folder / L"key.txt", L"执行安装命令失败");
    CHECK(run.outcome == kSaveKeyNoPassword);
    CHECK_FALSE(testing::FileExists(folder / L"key.txt"));
    CHECK(LeftoverTemporaries(folder.Path()) == 0);
    CHECK(testing::ContainsGbk(run.logGained, L"执行安装命令失败"));
}

}  // namespace

TEST_CASE("the key file holds exactly the GBK protector listing the tool printed, with CR LF and no BOM")
{
    for (const bde::Edition& edition : bde::kEditions) {
        CAPTURE(edition.english);
        bde::CMachineScope scope(bde::InEdition(edition.english));
        CTempFolder folder;
        const std::wstring path = folder / L"BitLocker恢复密钥F盘.txt";
        CBitLockerOperator op;
        const testing::WorkerRun run = SaveKey(op, L"C:", path);
        CHECK(run.outcome == kSaveKeySaved);

        const bde::CapturedRun printed = bde::RunCaptured(L"\"" + bde::StandInPath() + L"\" -protectors -get C:");
        REQUIRE(printed.started);
        const std::string bytes = ReadFileBytes(path);
        CHECK(bytes == printed.output);
        CHECK(testing::ContainsGbk(bytes, edition.passwordHeading));
        CHECK(testing::ContainsGbk(bytes, L"TPM:"));
        CHECK(testing::ContainsGbk(bytes, L"571406-613470-463529-412599-375045-353639-703813-007909"));
        CHECK(bytes.compare(0, 3, "\xEF\xBB\xBF") != 0);
        CHECK(bytes.compare(0, 2, "\xFF\xFE") != 0);
        for (size_t i = bytes.find('\n'); i != std::string::npos; i = bytes.find('\n', i + 1)) {
            REQUIRE(i > 0);
            CHECK(bytes[i - 1] == '\r');
        }
        CHECK(LeftoverTemporaries(folder.Path()) == 0);
    }
}

TEST_CASE("an existing key file is replaced, not appended to")
{
    bde::CMachineScope scope(Machine::Default());
    CTempFolder folder;
    const std::wstring path = folder / L"key.txt";
    const std::string earlier(20000, 'x');
    REQUIRE(testing::WriteFileBytes(path, earlier));
    CBitLockerOperator op;
    CHECK(SaveKey(op, L"C:", path).outcome == kSaveKeySaved);
    const std::string bytes = ReadFileBytes(path);
    CHECK(bytes.size() < 2000);
    CHECK(bytes.find('x') == std::string::npos);
}

TEST_CASE("a volume protected only by a TPM gives outcome 3 and no file")
{
    Machine machine = Machine::Default();
    machine.volumes[0].protectors.resize(1);  // TPM only
    CheckNoPassword(machine);
}

TEST_CASE("a manage-bde that ends right after the numerical password heading gives outcome 3 and no file")
{
    for (const bde::Edition& edition : bde::kEditions) {
        Machine machine = bde::InEdition(edition.english);
        machine.crashAfter = edition.passwordHeading;
        CheckNoPassword(machine);
    }
    // A locked volume lists its numerical password's heading, but not the password.
    Machine locked = bde::InEdition(true);
    locked.volumes[0].locked = true;
    CheckNoPassword(locked);
}

TEST_CASE("the key file lets in only SYSTEM, the Administrators and the user, whatever its folder passes on")
{
    bde::CMachineScope scope(Machine::Default());
    CTempFolder folder;
    const std::wstring path = folder / L"key.txt";
    CBitLockerOperator op;
    REQUIRE(SaveKey(op, L"C:", path).outcome == kSaveKeySaved);

    const std::wstring dacl = testing::DaclText(path);
    const std::string shown = fx::EncodeCodePage(dacl, CP_UTF8);
    CAPTURE(shown);
    CHECK(testing::IsClosedToOthers(dacl));
    CHECK(dacl.find(fx::CurrentUserSid()) != std::wstring::npos);
}

TEST_CASE("a read-only folder gives outcome 2 and the earlier key file stays intact")
{
    bde::CMachineScope scope(Machine::Default());
    const std::wstring path = L"R:\\BitLocker恢复密钥R盘.txt";
    REQUIRE(ReadFileBytes(path) == "earlier key file\r\n");
    CBitLockerOperator op;
    const testing::WorkerRun run = SaveKey(op, L"C:", path, L"执行安装命令失败");
    CHECK(run.outcome == kSaveKeyFailed);
    CHECK(ReadFileBytes(path) == "earlier key file\r\n");
    CHECK(testing::ContainsGbk(run.logGained, L"执行安装命令失败"));
}

TEST_CASE("a full disk gives outcome 2 and leaves no partial file behind")
{
    bde::CMachineScope scope(Machine::Default());
    const std::wstring path = L"S:\\key.txt";
    CBitLockerOperator op;
    CHECK(SaveKey(op, L"C:", path, L"执行安装命令失败").outcome == kSaveKeyFailed);
    CHECK_FALSE(testing::FileExists(path));
    CHECK(LeftoverTemporaries(L"S:\\") == 0);
}

TEST_CASE("a volume name with command-interpreter syntax runs no command")
{
    bde::CMachineScope scope(Machine::Default());
    CTempFolder folder;
    CBitLockerOperator op;
    const testing::WorkerRun run =
        SaveKey(op, L"C: & echo x > " + folder.Path() + L"pwned.txt", folder / L"key.txt", L"执行安装命令失败");
    CHECK(run.outcome == kSaveKeyFailed);
    CHECK(scope.Journal().empty());
    CHECK_FALSE(testing::FileExists(folder / L"pwned.txt"));
}
