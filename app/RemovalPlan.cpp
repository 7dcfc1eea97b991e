#include "app/RemovalPlan.h"

#include <algorithm>

namespace {

bool IsAsciiLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

// Names are compared without regard to ASCII case. Every comparison whose miss would let the removal
// go ahead (a known folder, another process's folder) is made between final paths, which the file
// system spells the same way each time; a case difference outside ASCII can then only come from the
// spelling the program was started with, and a miss there makes the folder stay.
std::wstring Fold(std::wstring text)
{
    for (wchar_t& c : text) {
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    }
    return text;
}

bool SameName(const std::wstring& a, const std::wstring& b) { return Fold(a) == Fold(b); }

// The system answers final paths as "\\?\C:\..." (or "\\?\UNC\..." for a share, which then matches no
// local path).
std::wstring WithoutFinalPrefix(const std::wstring& path)
{
    const std::wstring prefix = L"\\\\?\\";
    if (path.size() >= prefix.size() + 2 && path.compare(0, prefix.size(), prefix) == 0 &&
        IsAsciiLetter(path[prefix.size()]) && path[prefix.size() + 1] == L':') {
        return path.substr(prefix.size());
    }
    return path;
}

std::wstring WithoutTrailingBackslashes(std::wstring path)
{
    while (!path.empty() && path.back() == L'\\') path.pop_back();
    return path;
}

// The folder that holds a file: the path cut before its last backslash.
std::wstring FolderOf(const std::wstring& path)
{
    const size_t slash = path.rfind(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

bool IsSameFolder(const std::wstring& path, const std::wstring& folder)
{
    return !path.empty() && SameName(WithoutTrailingBackslashes(WithoutFinalPrefix(path)), folder);
}

// True when `inner` lies somewhere below `outer`.
bool IsBelow(const std::wstring& inner, const std::wstring& outer)
{
    const std::wstring prefix = Fold(outer) + L'\\';
    return inner.size() > prefix.size() && Fold(inner).compare(0, prefix.size(), prefix) == 0;
}

bool IsPlainName(const std::wstring& name)
{
    if (name.empty() || name == L"." || name == L"..") return false;
    // Windows drops trailing blanks and dots when it opens a path, so such a name means another one.
    if (name.back() == L' ' || name.back() == L'.') return false;
    return std::none_of(name.begin(), name.end(),
                        [](wchar_t c) { return c < L' ' || std::wstring(L"<>:\"/|?*").find(c) != std::wstring::npos; });
}

bool IsPlainFile(const FolderEntry& entry)
{
    // "del" without "/a" leaves hidden and system files in place, and the folder with them.
    return !entry.isDirectory && !entry.isReparsePoint && !entry.isHiddenOrSystem;
}

// Nothing in the folder but one plain program file and at most one plain component file.
bool HoldsOnlyOwnFiles(const RemovalFacts& facts, const std::wstring& programName)
{
    bool program = false;
    bool component = false;
    for (const FolderEntry& entry : facts.entries) {
        // On a case-sensitive folder both names could also appear in another case: the second one is
        // foreign.
        bool* seen = SameName(entry.name, programName)               ? &program
                     : SameName(entry.name, facts.componentFileName) ? &component
                                                                     : nullptr;
        if (seen == nullptr || *seen || !IsPlainFile(entry)) return false;
        *seen = true;
    }
    return program;
}

bool RunsFromFolder(const OtherProcess& process, const std::wstring& folder, const std::wstring& programName)
{
    // A process the system will not describe may be another copy: the same file name is doubt enough.
    if (process.imagePath.empty() && process.folderFinalPath.empty()) return SameName(process.exeName, programName);
    return IsSameFolder(FolderOf(process.imagePath), folder) || IsSameFolder(process.folderFinalPath, folder);
}

}  // namespace

RemovalSkip CheckProgramPath(const std::wstring& modulePath)
{
    if (modulePath.size() < 4 || !IsAsciiLetter(modulePath[0]) || modulePath[1] != L':' || modulePath[2] != L'\\') {
        return RemovalSkip::NotPlainPath;
    }
    for (size_t start = 3, end;; start = end + 1) {
        end = std::min(modulePath.find(L'\\', start), modulePath.size());
        if (!IsPlainName(modulePath.substr(start, end - start))) return RemovalSkip::NotPlainPath;
        if (end == modulePath.size()) break;
    }
    if (modulePath.size() >= kMaxPathLength) return RemovalSkip::TooLong;
    if (modulePath.find_first_of(L"%!") != std::wstring::npos) return RemovalSkip::SpecialCharacter;
    if (modulePath.find(L'\\', 3) == std::wstring::npos) return RemovalSkip::DriveRoot;
    return RemovalSkip::None;
}

RemovalDecision PlanRemoval(const RemovalFacts& facts)
{
    RemovalDecision decision;
    decision.skip = CheckProgramPath(facts.modulePath);
    if (decision.skip != RemovalSkip::None) return decision;

    const std::wstring folder = FolderOf(facts.modulePath);
    const std::wstring programName = facts.modulePath.substr(folder.size() + 1);
    const auto skip = [&](RemovalSkip reason) {
        decision.skip = reason;
        return decision;
    };
    if (!facts.complete || !IsPlainName(facts.componentFileName)) return skip(RemovalSkip::Unverified);
    // A volume mounted on a folder is refused here too: its root is not the drive letter's.
    if (facts.drive == DriveKind::Other ||
        !SameName(WithoutTrailingBackslashes(facts.volumeRoot), folder.substr(0, 2))) {
        return skip(RemovalSkip::NotLocalDrive);
    }
    if (facts.volumeReadOnly) return skip(RemovalSkip::ReadOnlyVolume);
    if (facts.folderIsReparsePoint || !IsSameFolder(facts.folderFinalPath, folder)) {
        return skip(RemovalSkip::Redirected);
    }
    for (const std::wstring& shellFolder : facts.shellFolders) {
        const std::wstring known = WithoutTrailingBackslashes(WithoutFinalPrefix(shellFolder));
        if (!known.empty() && (SameName(known, folder) || IsBelow(known, folder)))
            return skip(RemovalSkip::ShellFolder);
    }
    for (const FolderEntry& entry : facts.entries) {
        if (SameName(entry.name, L"desktop.ini")) return skip(RemovalSkip::DesktopIni);
    }
    if (!HoldsOnlyOwnFiles(facts, programName)) return skip(RemovalSkip::ForeignContent);
    for (const OtherProcess& process : facts.otherProcesses) {
        if (RunsFromFolder(process, folder, programName)) return skip(RemovalSkip::OtherCopyRunning);
    }

    decision.plan.folder = folder;
    decision.plan.program = facts.modulePath;
    decision.plan.component = folder + L'\\' + facts.componentFileName;
    return decision;
}

RemovalCommand BuildRemovalCommand(const RemovalPlan& plan, const std::wstring& systemFolder,
                                   const std::wstring& windowsFolder, const std::wstring& startSignal)
{
    RemovalCommand command;
    command.application = systemFolder + L"\\cmd.exe";
    // The interpreter starts in the parent and enters the folder itself first: from then on its
    // current folder holds the folder (and the parent, above it). Wine keeps the folder a process
    // starts in open for good, which would keep it from being removed. Nothing is searched in
    // either: the waiting program goes by its full path, the rest are the interpreter's own commands.
    command.currentFolder = FolderOf(plan.folder);
    if (command.currentFolder.size() == 2) command.currentFolder += L'\\';  // "D:" alone is D:'s current folder
    // The paths reach the interpreter as variables, each referenced inside double quotes. The
    // interpreter substitutes variables once, before it splits the line, and does not expand the
    // substituted text again; inside quotes "&", "|", "<", ">", "^" and "(" ")" are plain characters,
    // and no Windows name can hold the quote that would end them. "!" would still expand with delayed
    // expansion, which /V:OFF keeps off (and the plan refuses paths with "%" or "!" anyway). /D keeps
    // the AutoRun commands of the registry from running first.
    command.environment = {
        L"QUORLIN_COMPONENT=" + plan.component,
        L"QUORLIN_FOLDER=" + plan.folder,
        L"QUORLIN_PROGRAM=" + plan.program,
        L"QUORLIN_SIGNAL=" + startSignal,
        L"QUORLIN_WAIT=" + systemFolder + L"\\timeout.exe",
        L"SystemRoot=" + windowsFolder,
    };
    // /S: the interpreter removes the outer quotes and runs the rest as it is. Nothing is deleted
    // unless it entered the folder, gave the signal and waited. "cd .." lets go of the folder (a
    // current folder cannot be removed); "rmdir" without /s removes it only if the two deletions
    // left it empty.
    const std::wstring script =
        L"cd \"%QUORLIN_FOLDER%\" && echo ready>\"%QUORLIN_SIGNAL%\" && \"%QUORLIN_WAIT%\" /t " +
        std::to_wstring(kRemovalDelaySeconds) +
        L" /nobreak >nul && (del /f /q \"%QUORLIN_PROGRAM%\" & del /f /q \"%QUORLIN_COMPONENT%\"" +
        L" & cd .. & rmdir \"%QUORLIN_FOLDER%\")";
    command.commandLine = L"\"" + command.application + L"\" /D /V:OFF /S /C \"" + script + L"\"";
    return command;
}
