// The feedback bridge and the stand-in component, for real: each case copies feedback_probe.exe
// (which uses CFeedbackDll) and a build of the component into a fresh program folder under %TEMP%,
// runs the copy as a child process and looks at its exit code, the call journal and the survey record.
#include <doctest.h>

#include "framework/base/KernelHandle.h"
#include "framework/base/ModulePath.h"
#include "framework/base/TextCodec.h"
#include "services/FeedbackApi.h"
#include "standins/feedback/FeedbackComponent.h"
#include "tests/testbed/Planting.h"
#include "tests/services/FeedbackProbe.h"
#include "tests/services/LibraryProbe.h"

#include <shlobj.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace feedback;

// Readable failure messages for wide strings.
template <>
struct doctest::StringMaker<std::wstring>
{
    static String convert(const std::wstring& text) { return fx::EncodeCodePage(text, CP_UTF8).c_str(); }
};

namespace {

namespace fs = std::filesystem;

const fs::path kTestFolder = fx::ModuleFolder(nullptr);
const fs::path kShippedComponent = kTestFolder / L".." / L"dist" / kComponentFileName;
const fs::path kIncompleteComponent = kTestFolder / L"feedback-incomplete" / kComponentFileName;

std::string ReadBytes(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

std::vector<std::wstring> Lines(const std::string& utf8)
{
    const std::wstring text = fx::DecodeCodePage(utf8, CP_UTF8);
    std::vector<std::wstring> lines;
    for (size_t start = 0, end; (end = text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2) {
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

// A program folder of its own, as a user would unpack the tool: the probe and optionally a component,
// whose calls go to a journal here (which also keeps it from opening a browser). Its name has a blank
// and Chinese characters, as user folders do.
class CProgramFolder
{
public:
    explicit CProgramFolder(const fs::path& component)
    {
        static int s_count = 0;
        m_path = fs::temp_directory_path() /
                 (L"quorlin 反馈-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++s_count));
        REQUIRE(fs::create_directory(m_path));
        for (const wchar_t* probe : {L"feedback_probe.exe", L"library_probe.exe"}) {
            fs::copy_file(kTestFolder / probe, m_path / probe);
        }
        if (!component.empty()) fs::copy_file(component, m_path / kComponentFileName);
        REQUIRE(SetEnvironmentVariableW(standin::kJournalVariable, (m_path / L"journal.txt").c_str()));
    }
    ~CProgramFolder()
    {
        SetEnvironmentVariableW(standin::kJournalVariable, nullptr);
        std::error_code ignored;
        fs::remove_all(m_path, ignored);
    }
    CProgramFolder(const CProgramFolder&) = delete;
    CProgramFolder& operator=(const CProgramFolder&) = delete;

    const fs::path& Path() const { return m_path; }
    std::vector<std::wstring> Journal() const { return Lines(ReadBytes(m_path / L"journal.txt")); }
    void WriteConfig(const std::string& text) const { std::ofstream(m_path / standin::kConfigFileName) << text; }

    // Runs the probe copy, by default in this folder; its exit code, or -1 if it did not end in time.
    int Run(const std::wstring& arguments, const fs::path& workingFolder = {},
            const wchar_t* probeName = L"feedback_probe.exe") const
    {
        const fs::path probe = m_path / probeName;
        std::wstring commandLine = L"\"" + probe.native() + L"\" " + arguments;
        STARTUPINFOW startup = {sizeof startup};
        PROCESS_INFORMATION info = {};
        REQUIRE(CreateProcessW(probe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               (workingFolder.empty() ? m_path : workingFolder).c_str(), &startup, &info));
        fx::CKernelHandle process(info.hProcess);
        fx::CKernelHandle thread(info.hThread);
        DWORD code = 0;
        if (WaitForSingleObject(process.Get(), 60000) != WAIT_OBJECT_0) {
            TerminateProcess(process.Get(), 1);
            return -1;
        }
        GetExitCodeProcess(process.Get(), &code);
        return static_cast<int>(code);
    }

private:
    fs::path m_path;
};

fs::path RecordFile()
{
    wchar_t commonData[MAX_PATH] = {};
    REQUIRE(SHGetSpecialFolderPathW(nullptr, commonData, CSIDL_COMMON_APPDATA, FALSE));
    return fs::path(commonData) / standin::kRecordFolder / standin::kRecordFileName;
}

// A time text the way the survey makes it, unique within the test run.
std::wstring TimeText()
{
    static __time64_t s_last = 0;
    s_last = std::max(s_last + 1, _time64(nullptr));
    return std::to_wstring(s_last);
}

// Wine prefers its own builtin copy of a system library to a file that it finds; for the library
// probe it takes the file found first, as Windows does (Wine's per-program DLL overrides; Windows
// ignores the key).
class CPreferFoundLibraries
{
public:
    template <size_t N>
    explicit CPreferFoundLibraries(const std::wstring (&libraries)[N])
    {
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, (kProgramKey + std::wstring(L"\\DllOverrides")).c_str(), 0, nullptr, 0,
                            KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
            return;
        }
        const std::wstring order = L"native,builtin";
        for (const std::wstring& library : libraries) {
            const std::wstring name = library.substr(0, library.rfind(L'.'));
            RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(order.c_str()),
                           static_cast<DWORD>((order.size() + 1) * sizeof(wchar_t)));
        }
        RegCloseKey(key);
    }
    ~CPreferFoundLibraries() { RegDeleteTreeW(HKEY_CURRENT_USER, kProgramKey); }
    CPreferFoundLibraries(const CPreferFoundLibraries&) = delete;
    CPreferFoundLibraries& operator=(const CPreferFoundLibraries&) = delete;

private:
    static constexpr const wchar_t* kProgramKey = L"Software\\Wine\\AppDefaults\\library_probe.exe";
};

}  // namespace

TEST_CASE("the bridge loads the component from the program's own folder")
{
    SUBCASE("complete component: loaded, all nine functions found, stays loaded")
    {
        CProgramFolder folder(kShippedComponent);
        CHECK(folder.Run(L"load") == (kProbeLoaded | kProbeResident));
    }
    SUBCASE("no component beside the program")
    {
        CProgramFolder folder({});
        CHECK(folder.Run(L"load") == 0);
    }
    SUBCASE("component without OpenToolDownUrl: refused, freed again, forwarders answer 0")
    {
        CProgramFolder folder(kIncompleteComponent);
        CHECK(folder.Run(L"load") == 0);
        CHECK(folder.Run(L"init") == kProbeLoadFailed);
        CHECK(folder.Journal().empty());
    }
    SUBCASE("a component in the working folder is not taken: only the program's folder counts")
    {
        CProgramFolder program({});
        CProgramFolder elsewhere(kShippedComponent);
        CHECK(program.Run(L"load", elsewhere.Path()) == 0);
    }
}

TEST_CASE("calls reach the component with the tool's id and version")
{
    CProgramFolder folder(kShippedComponent);
    const std::wstring time = TimeText();
    REQUIRE(folder.Run(L"all " + time) == 0);

    const std::vector<std::wstring> journal = folder.Journal();
    REQUIRE(journal.size() == 9);
    CHECK(journal[0] == L"InitFreedbackDll");
    CHECK(journal[1] == L"FeedbackQuestion\t10080\t1.0.0");
    CHECK(journal[2] == std::wstring(L"OpenUrl\t") + kKnowledgeBaseUrl);
    CHECK(journal[3] == L"GetInterNetState");
    // Without a time from the caller the component stamps the answer itself.
    CHECK(journal[4].rfind(L"CustomerFeedback\t10080\t1.0.0\t3\t", 0) == 0);
    CHECK(journal[4].size() > std::wstring(L"CustomerFeedback\t10080\t1.0.0\t3\t").size());
    CHECK(journal[5] == L"CustomerFeedbackEx\t10080\t1.0.0\t1\t" + time);
    CHECK(journal[6] == L"WriteCustomerFeedbackInfoFile\t10080\t1.0.0\t2\t" + time);
    CHECK(journal[7] == L"GetToolIsNewVersion\t10080\t1.0.0");
    CHECK(journal[8] == L"OpenToolDownUrl");
}

TEST_CASE("the configuration beside the component")
{
    CProgramFolder folder(kShippedComponent);

    SUBCASE("absent: initialisation succeeds and no newer version is known")
    {
        CHECK(folder.Run(L"init") == 1);
        CHECK(folder.Run(L"version") == standin::kVersionCurrent);
    }
    SUBCASE("Init=0 makes the initialisation fail")
    {
        folder.WriteConfig("[Feedback]\r\nInit=0\r\n");
        CHECK(folder.Run(L"init") == 0);
    }
    SUBCASE("a newer version of this tool is announced with 3")
    {
        struct Case
        {
            const char* latest;
            int answer;
        };
        const Case cases[] = {
            {"1.0.1", kNewerVersionExists},      {"1.0.10", kNewerVersionExists},
            {"2", kNewerVersionExists},          {"1.0.0.1", kNewerVersionExists},
            {"1.0.0", standin::kVersionCurrent}, {"1.0", standin::kVersionCurrent},
            {"0.9.9", standin::kVersionCurrent}, {"1.x", standin::kVersionCurrent},
            {"", standin::kVersionCurrent},      {"\r\n10081=9.0.0", standin::kVersionCurrent},
        };
        for (const Case& c : cases) {
            CAPTURE(c.latest);
            folder.WriteConfig(std::string("[LatestVersions]\r\n10080=") + c.latest + "\r\n");
            CHECK(folder.Run(L"version") == c.answer);
        }
    }
}

TEST_CASE("survey answers are recorded in the common application data")
{
    CProgramFolder folder(kShippedComponent);
    const fs::path record = RecordFile();
    const size_t before = ReadBytes(record).size();

    const std::wstring time = TimeText();
    REQUIRE(folder.Run(L"survey 2 " + time) == 1);
    // A tab in a field must not shift the fields of the record.
    REQUIRE(folder.Run(L"survey 3 \"12\t34\"") == 1);

    const std::string bytes = ReadBytes(record);
    REQUIRE(bytes.size() > before);
    const std::vector<std::wstring> added = Lines(bytes.substr(before));
    REQUIRE(added.size() == 2);
    CHECK(added[0] == L"10080\t1.0.0\t2\t" + time);
    CHECK(added[1] == L"10080\t1.0.0\t3\t12 34");
}

TEST_CASE("OpenUrl opens web pages only")
{
    CProgramFolder folder(kShippedComponent);
    CHECK(folder.Run(std::wstring(L"url ") + kMoreToolsUrl) == 1);
    CHECK(folder.Run(L"url HTTP://www.korvane.example/") == 1);
    CHECK(folder.Run(L"url C:\\windows\\system32\\calc.exe") == 0);
    CHECK(folder.Run(L"url file:///C:/windows/win.ini") == 0);
    CHECK(folder.Run(L"url https://") == 0);
    CHECK(folder.Journal().size() == 5);
}

TEST_CASE("libraries planted beside the program are not the ones it loads")
{
    CProgramFolder folder(kShippedComponent);
    testing::CPlantMarkers markers;
    const std::wstring planted[] = {L"riched20.dll", L"gdiplus.dll", L"wininet.dll", kProbeBesideOnly};
    for (const std::wstring& name : planted) REQUIRE(testing::PlantLibrary(folder.Path().native() + L"\\", name));
    const CPreferFoundLibraries preferFound(planted);

    SUBCASE("loaded by name without restriction, the planted rich edit library is taken")
    {
        CHECK(folder.Run(L"plain", {}, L"library_probe.exe") == 1);
        const std::vector<std::wstring> ran = markers.Names();
        REQUIRE(ran.size() == 1);
        CHECK(ran[0] == L"riched20.dll.ran");
    }
    SUBCASE("with the search order restricted, each library comes from the system")
    {
        CHECK(folder.Run(L"", {}, L"library_probe.exe") == kProbeAllFromSystem);
        CHECK(markers.Names().empty());
    }
}
