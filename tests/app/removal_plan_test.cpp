// The decision on removing the program's folder, rule by rule, and the command that carries it out.
// Portable: runs under Wine and natively under the sanitizers.
#include "app/RemovalPlan.h"

#include <doctest.h>

#include <algorithm>
#include <functional>
#include <string>

namespace {

const std::wstring kProfile = L"C:\\Users\\小王";
const std::wstring kOwnFolder = kProfile + L"\\Downloads\\Quorlin 1.0";

// What the system says about a program that runs from a folder of its own in Downloads.
RemovalFacts OwnFolder(const std::wstring& folder = kOwnFolder, const std::wstring& programName = L"Quorlin.exe")
{
    RemovalFacts facts;
    facts.complete = true;
    facts.modulePath = folder + L"\\" + programName;
    facts.componentFileName = L"KorvaneFeedbackInformation.dll";
    facts.folderFinalPath = L"\\\\?\\" + folder;
    facts.volumeRoot = folder.substr(0, 2) + L"\\";
    facts.drive = DriveKind::Fixed;
    facts.volumeReadOnly = false;
    facts.shellFolders = {kProfile + L"\\Desktop",
                          kProfile + L"\\Downloads",
                          kProfile + L"\\Documents",
                          kProfile,
                          L"C:\\Program Files (x86)",
                          L"C:\\Program Files (x86)",
                          L"C:\\ProgramData",
                          L"C:\\Windows",
                          kProfile + L"\\AppData\\Local\\Temp\\",
                          L"C:\\Program Files",
                          L"\\\\?\\" + kProfile + L"\\Downloads"};
    facts.entries = {{programName}, {facts.componentFileName}};
    facts.otherProcesses = {{L"explorer.exe", L"C:\\Windows\\explorer.exe", L"\\\\?\\C:\\Windows"},
                            {L"System", L"", L""}};
    return facts;
}

// A program path of exactly `length` characters.
std::wstring PathOfLength(size_t length)
{
    const std::wstring start = L"D:\\";
    const std::wstring end = L"\\Quorlin.exe";
    return start + std::wstring(length - start.size() - end.size(), L'q') + end;
}

struct Case
{
    const char* name;
    std::function<void(RemovalFacts&)> change;
    RemovalSkip expected;
};

template <size_t N>
void CheckCases(const Case (&cases)[N])
{
    for (const Case& c : cases) {
        RemovalFacts facts = OwnFolder();
        c.change(facts);
        CHECK_MESSAGE(PlanRemoval(facts).skip == c.expected, std::string(c.name));
    }
}

// The program file at `path`, the rest of the facts made to match it.
std::function<void(RemovalFacts&)> At(const std::wstring& path)
{
    return [path](RemovalFacts& facts) {
        const size_t slash = path.rfind(L'\\');
        facts = OwnFolder(path.substr(0, slash), path.substr(slash + 1));
    };
}

}  // namespace

TEST_CASE("a folder of its own is removed: the program file, the component and the folder by name")
{
    const RemovalDecision decision = PlanRemoval(OwnFolder());
    REQUIRE(decision.skip == RemovalSkip::None);
    CHECK(decision.plan.folder == kOwnFolder);
    CHECK(decision.plan.program == kOwnFolder + L"\\Quorlin.exe");
    CHECK(decision.plan.component == kOwnFolder + L"\\KorvaneFeedbackInformation.dll");
}

TEST_CASE("the program's path must be a plain local path of moderate length")
{
    const Case cases[] = {
        // Names that a command line would split or interpret are fine: they never reach one.
        {"blank and dot", At(L"C:\\x\\Quorlin 1.0\\Quorlin.exe"), RemovalSkip::None},
        {"ampersand", At(L"D:\\x & mkdir INJECTED\\Quorlin.exe"), RemovalSkip::None},
        {"caret", At(L"C:\\a^b\\Quorlin.exe"), RemovalSkip::None},
        {"parentheses", At(L"F:\\Quorlin (1)\\Quorlin.exe"), RemovalSkip::None},
        {"Chinese", At(L"E:\\比特锁 工具\\Quorlin.exe"), RemovalSkip::None},
        {"renamed program", At(L"C:\\x\\工具 (2).exe"), RemovalSkip::None},
        {"UNC", At(L"\\\\server\\share\\Quorlin\\Quorlin.exe"), RemovalSkip::NotPlainPath},
        {"long-path prefix", At(L"\\\\?\\C:\\Quorlin\\Quorlin.exe"), RemovalSkip::NotPlainPath},
        {"volume GUID path", At(L"\\\\?\\Volume{0a1b2c3d-0000-1111-2222-333344445555}\\Q\\Q.exe"),
         RemovalSkip::NotPlainPath},
        {"relative", At(L"Quorlin\\Quorlin.exe"), RemovalSkip::NotPlainPath},
        {"drive-relative", At(L"C:Quorlin\\Quorlin.exe"), RemovalSkip::NotPlainPath},
        {"forward slashes", At(L"C:/x/Quorlin/Quorlin.exe"), RemovalSkip::NotPlainPath},
        {"doubled backslash", At(L"C:\\x\\\\Quorlin\\Quorlin.exe"), RemovalSkip::NotPlainPath},
        {"dot-dot", At(L"C:\\x\\..\\Quorlin\\Quorlin.exe"), RemovalSkip::NotPlainPath},
        {"dot", At(L"C:\\x\\.\\Quorlin.exe"), RemovalSkip::NotPlainPath},
        {"trailing dot", At(L"C:\\x\\Quorlin.\\Quorlin.exe"), RemovalSkip::NotPlainPath},
        {"trailing blank", At(L"C:\\x\\Quorlin \\Quorlin.exe"), RemovalSkip::NotPlainPath},
        {"stream", At(L"C:\\x\\Quorlin\\Quorlin.exe:hidden"), RemovalSkip::NotPlainPath},
        {"quote", At(L"C:\\x\\a\"b\\Quorlin.exe"), RemovalSkip::NotPlainPath},
        {"line break", At(L"C:\\x\\a\r\nb\\Quorlin.exe"), RemovalSkip::NotPlainPath},
        {"239 characters", At(PathOfLength(239)), RemovalSkip::None},
        {"240 characters", At(PathOfLength(240)), RemovalSkip::TooLong},
        {"300 characters", At(PathOfLength(300)), RemovalSkip::TooLong},
        {"percent", At(L"C:\\x %USERNAME%\\Quorlin.exe"), RemovalSkip::SpecialCharacter},
        {"exclamation marks", At(L"C:\\x !A!\\Quorlin.exe"), RemovalSkip::SpecialCharacter},
        {"percent in the file name", At(L"C:\\x\\Quorlin%1.exe"), RemovalSkip::SpecialCharacter},
        {"drive root", At(L"F:\\Quorlin.exe"), RemovalSkip::DriveRoot},
        {"empty", [](RemovalFacts& f) { f.modulePath.clear(); }, RemovalSkip::NotPlainPath},
    };
    CheckCases(cases);
}

TEST_CASE("the drive: fixed or removable, writable, the folder on the drive letter's own volume")
{
    const Case cases[] = {
        {"facts incomplete", [](RemovalFacts& f) { f.complete = false; }, RemovalSkip::Unverified},
        {"no component name", [](RemovalFacts& f) { f.componentFileName.clear(); }, RemovalSkip::Unverified},
        {"removable drive", [](RemovalFacts& f) { f.drive = DriveKind::Removable; }, RemovalSkip::None},
        {"CD-ROM, network or RAM disk", [](RemovalFacts& f) { f.drive = DriveKind::Other; },
         RemovalSkip::NotLocalDrive},
        {"volume root in other case, no backslash", [](RemovalFacts& f) { f.volumeRoot = L"c:"; }, RemovalSkip::None},
        {"volume mounted on a folder", [](RemovalFacts& f) { f.volumeRoot = kProfile + L"\\Downloads\\"; },
         RemovalSkip::NotLocalDrive},
        {"volume of another letter", [](RemovalFacts& f) { f.volumeRoot = L"D:\\"; }, RemovalSkip::NotLocalDrive},
        {"no volume", [](RemovalFacts& f) { f.volumeRoot.clear(); }, RemovalSkip::NotLocalDrive},
        {"read-only", [](RemovalFacts& f) { f.volumeReadOnly = true; }, RemovalSkip::ReadOnlyVolume},
    };
    CheckCases(cases);
}

TEST_CASE("the folder must resolve to itself")
{
    const Case cases[] = {
        {"final path in other ASCII case",
         [](RemovalFacts& f) { f.folderFinalPath = L"\\\\?\\c:\\users\\小王\\DOWNLOADS\\quorlin 1.0"; },
         RemovalSkip::None},
        {"final path without prefix, trailing backslash",
         [](RemovalFacts& f) { f.folderFinalPath = kOwnFolder + L"\\"; }, RemovalSkip::None},
        {"the folder is a reparse point", [](RemovalFacts& f) { f.folderIsReparsePoint = true; },
         RemovalSkip::Redirected},
        {"a link on the way", [](RemovalFacts& f) { f.folderFinalPath = L"\\\\?\\D:\\Elsewhere\\Quorlin 1.0"; },
         RemovalSkip::Redirected},
        {"a share on the way", [](RemovalFacts& f) { f.folderFinalPath = L"\\\\?\\UNC\\server\\share\\Quorlin 1.0"; },
         RemovalSkip::Redirected},
        {"a substituted drive",
         [](RemovalFacts& f) {
             f = OwnFolder(L"S:\\Quorlin 1.0");
             f.folderFinalPath = L"\\\\?\\" + kOwnFolder;
         },
         RemovalSkip::Redirected},
        {"the parent folder of the real one", [](RemovalFacts& f) { f.folderFinalPath = L"\\\\?\\" + kProfile; },
         RemovalSkip::Redirected},
        {"a case difference outside ASCII",
         [](RemovalFacts& f) {
             f = OwnFolder(L"C:\\Ärger\\Quorlin");
             f.folderFinalPath = L"\\\\?\\C:\\ärger\\Quorlin";
         },
         RemovalSkip::Redirected},
        {"no final path", [](RemovalFacts& f) { f.folderFinalPath.clear(); }, RemovalSkip::Redirected},
    };
    CheckCases(cases);
}

TEST_CASE("known folders: the folder must neither be one nor hold one")
{
    const Case cases[] = {
        {"Downloads itself", At(kProfile + L"\\Downloads\\Quorlin.exe"), RemovalSkip::ShellFolder},
        {"Downloads, other ASCII case", At(L"C:\\USERS\\小王\\downloads\\Quorlin.exe"), RemovalSkip::ShellFolder},
        {"Desktop", At(kProfile + L"\\Desktop\\Quorlin.exe"), RemovalSkip::ShellFolder},
        {"the temp folder (named with a trailing backslash)", At(kProfile + L"\\AppData\\Local\\Temp\\Quorlin.exe"),
         RemovalSkip::ShellFolder},
        {"Program Files", At(L"C:\\Program Files\\Quorlin.exe"), RemovalSkip::ShellFolder},
        {"the Windows folder", At(L"C:\\Windows\\Quorlin.exe"), RemovalSkip::ShellFolder},
        {"holds the profile", At(L"C:\\Users\\Quorlin.exe"), RemovalSkip::ShellFolder},
        {"holds the Downloads folder", At(kProfile + L"\\Quorlin.exe"), RemovalSkip::ShellFolder},
        {"holds a known folder known by its final path only",
         [](RemovalFacts& f) {
             f = OwnFolder(L"D:\\Data");
             f.shellFolders = {L"\\\\?\\D:\\Data\\Downloads"};
         },
         RemovalSkip::ShellFolder},
        {"a folder in Downloads", At(kProfile + L"\\Downloads\\工具\\Quorlin.exe"), RemovalSkip::None},
        {"a name that starts like Downloads", At(kProfile + L"\\Downloads (2)\\Quorlin.exe"), RemovalSkip::None},
        {"a name that Downloads starts with", At(kProfile + L"\\Down\\Quorlin.exe"), RemovalSkip::None},
        {"a name that starts like the profile", At(L"C:\\Users\\小王2\\Quorlin.exe"), RemovalSkip::None},
        {"a folder in the temp folder", At(kProfile + L"\\AppData\\Local\\Temp\\q1\\Quorlin.exe"), RemovalSkip::None},
        {"an empty name is no folder",
         [](RemovalFacts& f) {
             f.shellFolders = {L"", L"\\", L"\\\\?\\"};
         },
         RemovalSkip::None},
    };
    CheckCases(cases);
}

TEST_CASE("the folder must hold the program file and the component and nothing else")
{
    const auto with = [](std::vector<FolderEntry> entries) {
        return [entries](RemovalFacts& f) { f.entries = entries; };
    };
    FolderEntry hiddenProgram{L"Quorlin.exe"};
    hiddenProgram.isHiddenOrSystem = true;
    FolderEntry hiddenSystem{L"Thumbs.db"};
    hiddenSystem.isHiddenOrSystem = true;
    FolderEntry subfolder{L"sub"};
    subfolder.isDirectory = true;
    FolderEntry componentFolder{L"KorvaneFeedbackInformation.dll"};
    componentFolder.isDirectory = true;
    FolderEntry componentLink{L"KorvaneFeedbackInformation.dll"};
    componentLink.isReparsePoint = true;
    const FolderEntry program{L"Quorlin.exe"};
    const FolderEntry component{L"KorvaneFeedbackInformation.dll"};

    const Case cases[] = {
        {"no component", with({program}), RemovalSkip::None},
        {"names in other ASCII case", with({{L"QUORLIN.EXE"}, {L"korvanefeedbackinformation.DLL"}}), RemovalSkip::None},
        {"desktop.ini", with({program, component, {L"desktop.ini"}}), RemovalSkip::DesktopIni},
        {"Desktop.INI", with({program, {L"Desktop.INI"}}), RemovalSkip::DesktopIni},
        {"a user's file", with({program, component, {L"我的笔记.txt"}}), RemovalSkip::ForeignContent},
        {"a subfolder", with({program, component, subfolder}), RemovalSkip::ForeignContent},
        {"a hidden system file", with({program, component, hiddenSystem}), RemovalSkip::ForeignContent},
        {"the program file hidden", with({hiddenProgram, component}), RemovalSkip::ForeignContent},
        {"the component a folder", with({program, componentFolder}), RemovalSkip::ForeignContent},
        {"the component a link", with({program, componentLink}), RemovalSkip::ForeignContent},
        {"no program file", with({component}), RemovalSkip::ForeignContent},
        {"the program twice (case-sensitive folder)", with({program, {L"quorlin.exe"}}), RemovalSkip::ForeignContent},
        {"the component twice", with({program, component, {L"KORVANEFEEDBACKINFORMATION.DLL"}}),
         RemovalSkip::ForeignContent},
        {"another program beside the renamed one",
         [](RemovalFacts& f) {
             f = OwnFolder(kOwnFolder, L"工具 (2).exe");
             f.entries.push_back({L"Quorlin.exe"});
         },
         RemovalSkip::ForeignContent},
        {"a name that starts like the program", with({program, {L"Quorlin.exe.config"}}), RemovalSkip::ForeignContent},
    };
    CheckCases(cases);
}

TEST_CASE("no other process may run from the folder")
{
    const auto running = [](OtherProcess process) {
        return [process](RemovalFacts& f) { f.otherProcesses.push_back(process); };
    };
    const Case cases[] = {
        {"a second copy", running({L"Quorlin.exe", kOwnFolder + L"\\Quorlin.exe", L"\\\\?\\" + kOwnFolder}),
         RemovalSkip::OtherCopyRunning},
        {"a second copy seen through a short name",
         running({L"QUORLI~1.EXE", L"C:\\Users\\小王\\DOWNLO~1\\QUORLI~1.0\\QUORLI~1.EXE", L"\\\\?\\" + kOwnFolder}),
         RemovalSkip::OtherCopyRunning},
        {"a second copy whose folder did not resolve", running({L"Quorlin.exe", kOwnFolder + L"\\Quorlin.exe", L""}),
         RemovalSkip::OtherCopyRunning},
        {"any program from the folder, by another name", running({L"x.exe", kOwnFolder + L"\\x.exe", L""}),
         RemovalSkip::OtherCopyRunning},
        {"a process that will not say where it runs from, with the program's name", running({L"quorlin.exe", L"", L""}),
         RemovalSkip::OtherCopyRunning},
        {"a process that will not say, by another name", running({L"csrss.exe", L"", L""}), RemovalSkip::None},
        {"a copy in a sibling folder",
         running({L"Quorlin.exe", kOwnFolder + L" (2)\\Quorlin.exe", L"\\\\?\\" + kOwnFolder + L" (2)"}),
         RemovalSkip::None},
        {"a program in the parent folder",
         running({L"Quorlin.exe", kProfile + L"\\Downloads\\Quorlin.exe", L"\\\\?\\" + kProfile + L"\\Downloads"}),
         RemovalSkip::None},
    };
    CheckCases(cases);
}

TEST_CASE("the removal command: the interpreter by full path, the paths only in its environment")
{
    RemovalPlan plan;
    plan.folder = L"D:\\x & mkdir INJECTED";
    plan.program = plan.folder + L"\\a^b (1).exe";
    plan.component = plan.folder + L"\\KorvaneFeedbackInformation.dll";
    const RemovalCommand command =
        BuildRemovalCommand(plan, L"C:\\Windows\\system32", L"C:\\Windows", L"\\\\.\\pipe\\quorlin-removal-1");

    CHECK(command.application == L"C:\\Windows\\system32\\cmd.exe");
    CHECK(command.currentFolder == L"D:\\");
    CHECK(command.commandLine.find(L"INJECTED") == std::wstring::npos);

    // Switches before the script: no AutoRun, no delayed expansion, the script taken as it is.
    const std::wstring head = L"\"C:\\Windows\\system32\\cmd.exe\" /D /V:OFF /S /C \"";
    REQUIRE(command.commandLine.compare(0, head.size(), head) == 0);
    const std::wstring script = command.commandLine.substr(head.size());
    REQUIRE(script.back() == L'"');

    // Every variable the script names is in the environment and stands inside quotes.
    const auto value = [&](const std::wstring& name) {
        const std::wstring prefix = name + L"=";
        for (const std::wstring& variable : command.environment) {
            if (variable.compare(0, prefix.size(), prefix) == 0) return variable.substr(prefix.size());
        }
        FAIL_CHECK("not in the environment");
        return std::wstring();
    };
    std::wstring expanded;
    bool quoted = false;
    for (size_t i = 0; i + 1 < script.size(); ++i) {
        if (script[i] == L'"') quoted = !quoted;
        if (script[i] != L'%') {
            expanded += script[i];
            continue;
        }
        const size_t end = script.find(L'%', i + 1);
        REQUIRE(end != std::wstring::npos);
        CHECK(quoted);
        expanded += value(script.substr(i + 1, end - i - 1));
        i = end;
    }
    CHECK_FALSE(quoted);
    // What runs once the interpreter has substituted them: into the folder, the start signal, wait,
    // two deletions by name, and, from the parent, a removal of the folder that fails unless it is
    // empty; nothing after a step that failed.
    CHECK(expanded == L"cd \"D:\\x & mkdir INJECTED\" && echo ready>\"\\\\.\\pipe\\quorlin-removal-1\""
                      L" && \"C:\\Windows\\system32\\timeout.exe\" /t 3 /nobreak >nul"
                      L" && (del /f /q \"D:\\x & mkdir INJECTED\\a^b (1).exe\""
                      L" & del /f /q \"D:\\x & mkdir INJECTED\\KorvaneFeedbackInformation.dll\""
                      L" & cd .. & rmdir \"D:\\x & mkdir INJECTED\")");
    CHECK(value(L"SystemRoot") == L"C:\\Windows");
    CHECK(std::is_sorted(command.environment.begin(), command.environment.end()));
}
