// The real program's start: the checks that end it before the user sees anything, the new-version
// check, and the detection's outcomes, each from a machine of its own.
#include "res/resource.h"
#include "tests/app/AppBed.h"
#include "tests/uidriver/UiDriver.h"

#include <doctest.h>

#include <functional>
#include <optional>
#include <string>

namespace {

using apptest::CAppBed;
using bde::Conversion;
using bde::Machine;

constexpr wchar_t kComponent[] = L"KorvaneFeedbackInformation.dll";

// Wine's per-program Windows version, as a user's compatibility setting would give it.
class CVersionSetting
{
public:
    explicit CVersionSetting(const wchar_t* version)
    {
        RegSetKeyValueW(HKEY_CURRENT_USER, kKey, L"Version", REG_SZ, version,
                        static_cast<DWORD>((wcslen(version) + 1) * sizeof(wchar_t)));
    }
    ~CVersionSetting() { RegDeleteTreeW(HKEY_CURRENT_USER, kKey); }
    CVersionSetting(const CVersionSetting&) = delete;
    CVersionSetting& operator=(const CVersionSetting&) = delete;

private:
    static constexpr wchar_t kKey[] = L"Software\\Wine\\AppDefaults\\Quorlin.exe";
};

void WriteIni(const std::wstring& folder, const char* text)
{
    REQUIRE(testing::WriteFileBytes(folder + L"\\KorvaneFeedbackInformation.ini", text));
}

// Dismisses the prompt and checks that the program ended with exit code 0 and kept its folder.
void CheckEndedKeepingFolder(CAppBed& bed, HWND prompt)
{
    REQUIRE(uitest::CProgramRun::Dismiss(prompt));
    CHECK(bed.Run().WaitForExit() == 0);
    ui::PumpFor(4000);  // longer than a removal would wait
    CHECK(testing::FileExists(bed.ProgramFile()));
}

}  // namespace

TEST_CASE("a failed start-up check shows its message and ends the program, which keeps its folder")
{
    struct Case
    {
        const char* name;
        std::function<void(const std::wstring& folder)> prepare;
        const wchar_t* version;  // Wine's Windows version for the program, or none
        const wchar_t* message;
    };
    const Case cases[] = {
        {"no feedback component beside the program",
         [](const std::wstring& folder) { REQUIRE(DeleteFileW((folder + L"\\" + kComponent).c_str())); }, nullptr,
         L"工具初始化失败"},
        {"the component's initialisation fails",
         [](const std::wstring& folder) { WriteIni(folder, "[Feedback]\r\nInit=0\r\n"); }, nullptr, L"工具初始化失败"},
        {"a component without one of its exports",
         [](const std::wstring& folder) {
             REQUIRE(CopyFileW((testing::OwnFolder() + L"feedback-incomplete\\" + kComponent).c_str(),
                               (folder + L"\\" + kComponent).c_str(), FALSE));
         },
         nullptr, L"工具初始化失败"},
        {"Windows 8.1", nullptr, L"win81", L"此工具不支持当前系统"},
        {"Windows 7", nullptr, L"win7", L"此工具不支持当前系统"},
    };
    for (const Case& c : cases) {
        CAPTURE(std::string(c.name));
        CAppBed bed;
        REQUIRE(bed.Run().Copied());
        if (c.prepare) c.prepare(bed.Folder());
        std::optional<CVersionSetting> version;
        if (c.version) version.emplace(c.version);
        REQUIRE(bed.Run().Start());
        HWND prompt = bed.Run().WaitForPrompt();
        REQUIRE(prompt);
        CHECK(uitest::CProgramRun::PromptText(prompt) == c.message);
        CHECK_FALSE(bed.Run().MainWindow(0));  // the user sees nothing else
        CheckEndedKeepingFolder(bed, prompt);
        CHECK(bed.Commands().empty());
    }
}

TEST_CASE("a newer version is announced over the main window, the download opens and the program ends")
{
    CAppBed bed;
    REQUIRE(bed.Run().Copied());
    WriteIni(bed.Folder(), "[LatestVersions]\r\n10080=1.0.1\r\n");
    REQUIRE(bed.Run().Start());
    HWND main = bed.Run().MainWindow();
    REQUIRE(main);
    HWND prompt = bed.Run().WaitForPrompt();
    REQUIRE(prompt);
    CHECK(uitest::CProgramRun::PromptText(prompt) == L"检测到当前工具有新的版本更新，请下载最新版本使用。");
    CHECK_FALSE(ui::IsEnabled(main));  // the prompt is the main window's
    CheckEndedKeepingFolder(bed, prompt);
    const auto calls = bed.FeedbackCalls();
    REQUIRE_FALSE(calls.empty());
    CHECK(calls.back() == L"OpenToolDownUrl");
    CHECK(bed.Commands().empty());  // no detection started
}

TEST_CASE("the detection's outcomes: the progress prompt comes and goes, then the result or nothing")
{
    Machine decrypting = Machine::Default();
    decrypting.volumes = {decrypting.volumes[2]};  // E:, fully decrypted
    Machine preEncrypted = Machine::Default();
    preEncrypted.volumes[0].protectors.clear();  // C:, fully encrypted without a key protector
    Machine denied = Machine::Default();
    denied.denyAccess = true;
    struct Case
    {
        const char* name;
        Machine machine;
        const wchar_t* message;  // null: none
    };
    const Case cases[] = {
        {"volumes found", Machine::Default(), nullptr},
        {"the status command fails", denied, L"检测加密磁盘失败！"},
        {"no BitLocker volume", decrypting, L"没有检测到该电脑中加密磁盘！"},
        {"a pre-encrypted volume", preEncrypted, L"磁盘为预加密，请登录微软账户，完成加密！"},
    };
    for (const Case& c : cases) {
        CAPTURE(std::string(c.name));
        CAppBed bed(c.machine);
        REQUIRE(bed.Run().Copied());
        REQUIRE(bed.Run().Start());
        REQUIRE(bed.Run().MainWindow());
        bool progressCame = false;
        REQUIRE(bed.Run().WaitForDetection(60000, &progressCame));
        CHECK(progressCame);
        HWND prompt = bed.Run().WaitForPrompt(c.message ? 30000 : 1500);
        if (!c.message) {
            CHECK_FALSE(prompt);
        } else {
            REQUIRE(prompt);
            CHECK(uitest::CProgramRun::PromptText(prompt) == c.message);
            CHECK(uitest::CProgramRun::Dismiss(prompt));
        }
        REQUIRE_FALSE(bed.Commands().empty());
        CHECK(bed.Commands().front() == L"-status");
    }
}
