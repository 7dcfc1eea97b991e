// The removal of the program's folder, for real. For each case a probe that stands in for the program
// (removal_probe.exe, see RemovalProbe.h) is copied with the feedback component into a folder on one
// of the test bed's drives, among decoys: sibling folders named as a careless command line would
// split or unescape the folder's name, a file of the user's, and planted cmd.exe and timeout.exe
// beside the folder and in the probe's working folder. The probe runs and ends; once the removals
// have had their time, the decoys are checked first, then the folders.
#include "app/SelfRemoval.h"
#include "framework/base/KernelHandle.h"
#include "framework/base/TextCodec.h"
#include "services/FeedbackApi.h"
#include "tests/app/RemovalProbe.h"
#include "tests/testbed/TempFolder.h"
#include "tests/testbed/UnixLink.h"

#include <doctest.h>

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {

const std::wstring kTestBin = testing::OwnFolder();
const std::wstring kComponent = kTestBin + L"..\\dist\\" + feedback::kComponentFileName;
// Every folder and decoy of one run carries this tag, so runs never meet.
const std::wstring kTag = L"quorlin-removal-" + std::to_wstring(GetCurrentProcessId());
const std::string kKeep = "keep\r\n";
// A removal takes kRemovalDelaySeconds and a little; a generous bound for a busy machine.
constexpr DWORD kRemovalTimeoutMs = 60000;
// How long a folder that must stay is watched: a removal started by mistake would be over by then.
constexpr DWORD kMistakeWindowMs = kRemovalDelaySeconds * 1000 + 3000;

std::string Utf8(const std::wstring& text) { return fx::EncodeCodePage(text, CP_UTF8); }
bool Exists(const std::wstring& path) { return testing::FileExists(path); }
bool Kept(const std::wstring& file) { return testing::ReadFileBytes(file) == kKeep; }

std::wstring FolderOf(const std::wstring& path) { return path.substr(0, path.rfind(L'\\')); }

// R: shows a read-only mount of a folder of the build: what is to appear on R: is written there.
std::wstring Writable(const std::wstring& path)
{
    if (path.compare(0, 2, L"R:") != 0) return path;
    char build[MAX_PATH] = {};
    REQUIRE(GetEnvironmentVariableA("QUORLIN_BUILD_DIR", build, MAX_PATH) > 0);
    std::wstring source = L"Z:" + fx::DecodeCodePage(build, strlen(build), CP_UTF8) + L"\\drives\\readonly.src";
    for (wchar_t& c : source) {
        if (c == L'/') c = L'\\';
    }
    return source + path.substr(2);
}

// Everything a test makes, taken away again afterwards (the latest first), wherever it lies: in
// folders of the test's own, at a drive's root, in the user's Downloads folder.
class CMade
{
public:
    CMade() = default;
    ~CMade()
    {
        for (auto path = m_paths.rbegin(); path != m_paths.rend(); ++path) {
            SetFileAttributesW(path->c_str(), FILE_ATTRIBUTE_NORMAL);
            if (!DeleteFileW(path->c_str())) testing::CTempFolder::RemoveTree(*path + L"\\");
        }
    }
    CMade(const CMade&) = delete;
    CMade& operator=(const CMade&) = delete;

    // Folders may be asked for twice; the first time makes them.
    void Folder(const std::wstring& path)
    {
        const std::wstring target = Writable(path);
        if (Exists(target)) return;
        REQUIRE_MESSAGE(CreateDirectoryW(target.c_str(), nullptr), Utf8(target));
        m_paths.push_back(target);
    }
    void File(const std::wstring& path, DWORD attributes = FILE_ATTRIBUTE_NORMAL)
    {
        const std::wstring target = Add(path);
        REQUIRE_MESSAGE(testing::WriteFileBytes(target, kKeep), Utf8(target));
        REQUIRE(SetFileAttributesW(target.c_str(), attributes));
    }
    void Copy(const std::wstring& from, const std::wstring& to)
    {
        const std::wstring target = Add(to);
        REQUIRE_MESSAGE(CopyFileW(from.c_str(), target.c_str(), FALSE), Utf8(target));
    }
    // Programs that a launch must never pick up; each leaves "<its path>.ran" behind if it runs.
    void Plant(const std::wstring& folder)
    {
        for (const wchar_t* name : {L"\\cmd.exe", L"\\timeout.exe"}) {
            Copy(kTestBin + L"planted_marker.exe", folder + name);
            Add(folder + name + L".ran");
        }
    }

private:
    std::wstring Add(const std::wstring& path)
    {
        m_paths.push_back(Writable(path));
        return m_paths.back();
    }

    std::vector<std::wstring> m_paths;
};

bool PlantedRan(const std::wstring& folder)
{
    return Exists(folder + L"\\cmd.exe.ran") || Exists(folder + L"\\timeout.exe.ran");
}

bool WaitFor(const std::function<bool()>& done, DWORD timeoutMs)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!done()) {
        if (GetTickCount64() > deadline) return false;
        Sleep(100);
    }
    return true;
}

fx::CKernelHandle StartProbe(const std::wstring& program, const std::wstring& arguments,
                             const std::wstring& workingFolder)
{
    std::wstring line = L"\"" + program + L"\" " + arguments;
    STARTUPINFOW startup = {sizeof startup};
    PROCESS_INFORMATION info = {};
    REQUIRE_MESSAGE(CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   workingFolder.c_str(), &startup, &info),
                    Utf8(program));
    CloseHandle(info.hThread);
    return fx::CKernelHandle(info.hProcess);
}

int ExitCodeOf(const fx::CKernelHandle& process)
{
    if (WaitForSingleObject(process.Get(), kRemovalTimeoutMs) != WAIT_OBJECT_0) {
        TerminateProcess(process.Get(), 1);
        return -1;
    }
    DWORD code = 0;
    GetExitCodeProcess(process.Get(), &code);
    return static_cast<int>(code);
}

std::wstring DownloadsFolder()
{
    PWSTR path = nullptr;
    REQUIRE(SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Downloads, 0, nullptr, &path)));
    const std::wstring downloads = path;
    CoTaskMemFree(path);
    // The test bed's profile folders are folders of the prefix, never links into the Unix home.
    REQUIRE_MESSAGE((GetFileAttributesW(downloads.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT) == 0, Utf8(downloads));
    return downloads;
}

struct Case
{
    const char* label;
    std::wstring parent;                  // where the decoys lie
    std::wstring folderName;              // the program's folder in the parent; empty: the parent itself
    std::vector<std::wstring> siblings;   // decoy folders in the parent, each with a file
    std::optional<RemovalSkip> expected;  // None: the folder is removed; empty: not asked (see the case)
    std::wstring programName = L"Quorlin.exe";
    std::wstring userFile;  // a file of the user's in the program's folder; "name\\": a folder with a file
    DWORD userFileAttributes = FILE_ATTRIBUTE_NORMAL;
    int exitCode = -1;

    std::wstring Folder() const { return folderName.empty() ? parent : parent + L"\\" + folderName; }
    std::wstring Program() const { return Folder() + L"\\" + programName; }
    std::wstring Component() const { return Folder() + L"\\" + feedback::kComponentFileName; }
    std::wstring UserFile() const
    {
        return Folder() + L"\\" + userFile + (!userFile.empty() && userFile.back() == L'\\' ? L"keep.txt" : L"");
    }
    std::wstring Decoy() const { return parent + L"\\" + kTag + L" 用户的文件.txt"; }
};

// A parent folder of its own on `drive` for the next case.
std::wstring Own(wchar_t drive)
{
    static int s_count = 0;
    return std::wstring(1, drive) + L":\\" + kTag + L"\\" + std::to_wstring(++s_count);
}

// A folder name that makes the program's path in it exactly `length` characters long.
std::wstring Padded(const std::wstring& parent, size_t length)
{
    const std::wstring name = L"Quorlin ";
    const std::wstring shortest = parent + L"\\" + name + L"\\Quorlin.exe";
    return name + std::wstring(length - shortest.size(), L'x');
}

void Prepare(const Case& c, CMade& made)
{
    if (!c.folderName.empty()) {
        made.Folder(FolderOf(c.parent));
        made.Folder(c.parent);
        made.Folder(c.Folder());
    }
    made.Copy(kTestBin + L"removal_probe.exe", c.Program());
    made.Copy(kComponent, c.Component());
    if (!c.userFile.empty()) {
        if (c.userFile.back() == L'\\') made.Folder(FolderOf(c.UserFile()));
        made.File(c.UserFile(), c.userFileAttributes);
    }
    made.File(c.Decoy());
    for (const std::wstring& sibling : c.siblings) {
        made.Folder(c.parent + L"\\" + sibling);
        made.File(c.parent + L"\\" + sibling + L"\\keep.txt");
    }
    made.Plant(c.parent);
}

}  // namespace

TEST_CASE("the program's folder is removed when it is its own, and nothing else is touched")
{
    CMade made;
    wchar_t user[256] = {};
    REQUIRE(GetEnvironmentVariableW(L"USERNAME", user, 256) > 0);
    const std::wstring downloads = DownloadsFolder();
    const std::wstring longParent = Own(L'C');
    const DWORD hidden = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    // In a folder that is not the test's own the decoys carry the tag.
    const std::wstring photos = kTag + L" 照片";
    // One case a line.
    // clang-format off
    std::vector<Case> cases = {
        {"blank and dot", Own(L'C'), L"Quorlin 1.0", {L"Quorlin", L"1.0"}, RemovalSkip::None},
        {"ampersand", Own(L'D'), L"x & mkdir INJECTED", {L"x", L"mkdir"}, RemovalSkip::None},
        {"caret", Own(L'C'), L"a^b", {L"ab", L"a"}, RemovalSkip::None},
        {"parentheses, removable drive", Own(L'F'), L"Quorlin (1)", {L"Quorlin", L"(1)"}, RemovalSkip::None},
        {"Chinese and blank", Own(L'E'), L"比特锁 工具", {L"比特锁", L"工具"}, RemovalSkip::None},
        {"renamed program file", Own(L'C'), L"Quorlin", {L"工具"}, RemovalSkip::None, L"工具 (2).exe"},
        {"percent", Own(L'C'), L"x %USERNAME%", {L"x", L"x " + std::wstring(user)}, RemovalSkip::SpecialCharacter},
        {"exclamation marks", Own(L'D'), L"x !A!", {L"x", L"!A!"}, RemovalSkip::SpecialCharacter},
        {"drive root", L"E:", L"", {photos}, RemovalSkip::DriveRoot},
        {"the Downloads folder itself", downloads, L"", {photos}, RemovalSkip::ShellFolder},
        {"a user's file", Own(L'C'), L"Quorlin", {}, RemovalSkip::ForeignContent, L"Quorlin.exe", L"我的笔记.txt"},
        {"a subfolder", Own(L'C'), L"Quorlin", {}, RemovalSkip::ForeignContent, L"Quorlin.exe", L"资料\\"},
        {"a hidden system file", Own(L'F'), L"Quorlin", {}, RemovalSkip::ForeignContent, L"Quorlin.exe", L"Thumbs.db", hidden},
        {"desktop.ini", Own(L'C'), L"Quorlin", {}, RemovalSkip::DesktopIni, L"Quorlin.exe", L"desktop.ini", hidden},
        {"CD-ROM", Own(L'G'), L"Quorlin 1.0", {L"Quorlin", L"1.0"}, RemovalSkip::NotLocalDrive},
        // Wine reports no read-only flag for a read-only mount, so the probe's answer is not asked here:
        // on Windows the flag stops the removal; under Wine the file system refuses the deletions.
        {"read-only drive", Own(L'R'), L"r & mkdir INJECTED", {L"r", L"mkdir"}, std::nullopt},
        // 239 characters are the longest path taken; Wine starts no program from 260 on.
        {"239 characters", longParent, Padded(longParent, 239), {L"Quorlin"}, RemovalSkip::None},
        {"240 characters", longParent, Padded(longParent, 240), {L"Quorlin"}, RemovalSkip::TooLong},
    };
    // clang-format on

    // The probes' working folder, where the relative names of a careless command would land.
    const std::wstring working = L"C:\\" + kTag + L"-working";
    made.Folder(working);
    made.Plant(working);
    for (const Case& c : cases) {
        for (const std::wstring& sibling : c.siblings) {
            made.Folder(working + L"\\" + sibling);
            if (!Kept(working + L"\\" + sibling + L"\\keep.txt")) made.File(working + L"\\" + sibling + L"\\keep.txt");
        }
    }
    for (const Case& c : cases) Prepare(c, made);

    for (Case& c : cases) c.exitCode = ExitCodeOf(StartProbe(c.Program(), L"", working));
    const ULONGLONG lastExit = GetTickCount64();
    CHECK(WaitFor(
        [&] {
            for (const Case& c : cases) {
                if (c.expected == RemovalSkip::None && Exists(c.Folder())) return false;
            }
            return true;
        },
        kRemovalTimeoutMs));
    const ULONGLONG watched = GetTickCount64() - lastExit;
    if (watched < kMistakeWindowMs) Sleep(static_cast<DWORD>(kMistakeWindowMs - watched));

    // The decoys first: nothing beside a folder, in the working folder or in the system folders changed.
    wchar_t windows[MAX_PATH] = {};
    wchar_t system[MAX_PATH] = {};
    REQUIRE(GetSystemWindowsDirectoryW(windows, MAX_PATH) > 0);
    REQUIRE(GetSystemDirectoryW(system, MAX_PATH) > 0);
    // Where an injected "mkdir INJECTED" would land. From this 32-bit process System32 shows SysWOW64;
    // Sysnative shows the real System32.
    std::vector<std::wstring> injectionTargets = {windows, system, windows + std::wstring(L"\\Sysnative"), working};
    for (const Case& c : cases) {
        INFO(std::string(c.label));
        CHECK(Kept(c.Decoy()));
        for (const std::wstring& sibling : c.siblings) {
            CHECK(Kept(c.parent + L"\\" + sibling + L"\\keep.txt"));
            CHECK(Kept(working + L"\\" + sibling + L"\\keep.txt"));
        }
        CHECK_FALSE(PlantedRan(c.parent));
        injectionTargets.push_back(c.parent);
    }
    CHECK_FALSE(PlantedRan(working));
    for (const std::wstring& target : injectionTargets) {
        INFO(Utf8(target));
        CHECK_FALSE(Exists(target + L"\\INJECTED"));
    }

    // Then the folders: removed, or left with everything in them.
    for (const Case& c : cases) {
        INFO(std::string(c.label));
        if (c.expected) {
            CHECK(c.exitCode == (*c.expected == RemovalSkip::None ? kProbeStarted : ProbeExitCode(*c.expected)));
        }
        if (c.expected == RemovalSkip::None) {
            CHECK_FALSE(Exists(c.Folder()));
            continue;
        }
        CHECK(Exists(c.Program()));
        CHECK(Exists(c.Component()));
        if (!c.userFile.empty()) CHECK(Kept(c.UserFile()));
    }
}

TEST_CASE("a second copy's exit leaves the files that the first copy still runs from")
{
    CMade made;
    const Case c = {"twice", Own(L'C'), L"Quorlin 1.0", {L"Quorlin", L"1.0"}, RemovalSkip::None};
    Prepare(c, made);

    const std::wstring eventName = kTag + L"-first-copy-ends";
    fx::CKernelHandle firstEnds(CreateEventW(nullptr, TRUE, FALSE, eventName.c_str()));
    REQUIRE(firstEnds.IsValid());
    fx::CKernelHandle first = StartProbe(c.Program(), L"wait " + eventName, c.parent);
    // The first copy counts once the system can tell where it runs from.
    REQUIRE(WaitFor(
        [&] {
            wchar_t image[MAX_PATH] = {};
            DWORD size = MAX_PATH;
            return QueryFullProcessImageNameW(first.Get(), 0, image, &size) &&
                   lstrcmpiW(image, c.Program().c_str()) == 0;
        },
        kRemovalTimeoutMs));

    CHECK(ExitCodeOf(StartProbe(c.Program(), L"", c.parent)) == ProbeExitCode(RemovalSkip::OtherCopyRunning));
    Sleep(kMistakeWindowMs);
    CHECK(Exists(c.Program()));
    CHECK(Exists(c.Component()));

    // Once the first copy ends too, the folder goes, and only the folder.
    REQUIRE(SetEvent(firstEnds.Get()));
    CHECK(ExitCodeOf(first) == kProbeStarted);
    CHECK(WaitFor([&] { return !Exists(c.Folder()); }, kRemovalTimeoutMs));
    CHECK(Kept(c.Decoy()));
    for (const std::wstring& sibling : c.siblings) CHECK(Kept(c.parent + L"\\" + sibling + L"\\keep.txt"));
    CHECK_FALSE(PlantedRan(c.parent));
}

TEST_CASE("a link swapped in after the decision is never deleted through")
{
    // Each row swaps a file of the decided folder for a link to a folder of the user's, which holds
    // files of the same names. Windows keeps the sealed folder from being changed; Wine, which keeps
    // no ACLs, shows the link as a reparse point. The folder itself is held: it cannot be renamed.
    for (const bool component : {true, false}) {
        CAPTURE(component);
        CMade made;
        const Case c = {"swap", Own(L'C'), L"Quorlin", {}, RemovalSkip::None};
        Prepare(c, made);
        const std::wstring elsewhere = c.parent + L"\\elsewhere";
        made.Folder(elsewhere);
        const std::wstring names[] = {L"\\keep.txt", L"\\Quorlin.exe", L"\\KorvaneFeedbackInformation.dll"};
        for (const std::wstring& name : names) made.File(elsewhere + name);
        fx::CKernelHandle held;
        const RemovalFacts facts = GatherRemovalFacts(c.Program(), &held);
        REQUIRE(PlanRemoval(facts).skip == RemovalSkip::None);
        CHECK_FALSE(MoveFileW(c.Folder().c_str(), (c.parent + L"\\moved").c_str()));

        const std::wstring swapped = component ? c.Component() : c.Program();
        REQUIRE(DeleteFileW(swapped.c_str()));
        const testing::CUnixLink link(swapped, elsewhere);
        REQUIRE(link.IsLink());
        CHECK_FALSE(CarryOutRemoval(std::move(held), facts));
        for (const std::wstring& name : names) CHECK(Kept(elsewhere + name));
    }
}
