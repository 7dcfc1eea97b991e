#pragma once
// The decision whether the program may remove the folder it runs from, and the command that does it.
// The program runs elevated, often from a folder a standard user controls (Downloads), so it removes
// only a folder it can prove is its own: a plain local folder that holds nothing but the program file
// and the feedback component and that no other process runs from. Portable (no Windows API): the
// facts come from the system (SelfRemoval.cpp), the decision and the command are plain strings.
#include <string>
#include <vector>

enum class DriveKind
{
    Fixed,
    Removable,
    Other,  // CD-ROM, network, RAM disk, unknown or no medium
};

// One entry of the program's folder, hidden and system entries included ("." and ".." left out).
struct FolderEntry
{
    std::wstring name;
    bool isDirectory = false;
    bool isReparsePoint = false;
    bool isHiddenOrSystem = false;
};

// Another process on the machine. Either path may be empty when the system would not say.
struct OtherProcess
{
    std::wstring exeName;          // the file name of its image, as the process list gives it
    std::wstring imagePath;        // the full path of its image
    std::wstring folderFinalPath;  // the final path of the folder that holds its image
};

struct RemovalFacts
{
    bool complete = false;                   // every fact below was read from the system
    std::wstring modulePath;                 // the running program file, full length
    std::wstring componentFileName;          // the feedback component, beside the program file
    std::wstring folderFinalPath;            // the folder's final path as the system resolves it
    bool folderIsReparsePoint = false;       // the folder itself is a junction, link or mount point
    std::wstring volumeRoot;                 // the root of the volume that holds the folder
    DriveKind drive = DriveKind::Other;      // the type of that volume's drive
    bool volumeReadOnly = true;              // the volume accepts no changes
    std::vector<std::wstring> shellFolders;  // the user's and the system's known folders, the temp folder
    std::vector<FolderEntry> entries;        // everything in the folder
    std::vector<OtherProcess> otherProcesses;
};

// Why the folder stays. The order is the order of the checks.
enum class RemovalSkip
{
    None = 0,          // the folder is the program's own: remove it
    NotPlainPath,      // not "X:\..." with plain names (UNC, "\\?\", a stream, odd characters)
    TooLong,           // the program's path has kMaxPathLength characters or more
    SpecialCharacter,  // "%" or "!", which the command interpreter expands
    DriveRoot,         // the program sits at the root of a drive
    Unverified,        // a fact could not be read from the system
    NotLocalDrive,     // not a fixed or removable drive, or the folder lies on another volume
    ReadOnlyVolume,
    Redirected,        // a junction, symbolic link or substituted drive on the way, or the folder is one
    ShellFolder,       // the folder is, or holds, a known folder of the user or the system
    DesktopIni,        // the folder holds a "desktop.ini": the shell treats it as a special folder
    ForeignContent,    // anything besides the program file and the component, or those not plain files
    OtherCopyRunning,  // another process runs from the folder
};

// The program's path is refused from this length on: the commands stay well inside MAX_PATH.
constexpr size_t kMaxPathLength = 240;

// The checks that need nothing but the program's path (the first four reasons above), so that the
// system is not asked about a path that is refused anyway.
RemovalSkip CheckProgramPath(const std::wstring& modulePath);

struct RemovalPlan
{
    std::wstring folder;     // the program's folder, without a trailing backslash
    std::wstring program;    // the running program file
    std::wstring component;  // the feedback component beside it (may be absent)
};

struct RemovalDecision
{
    RemovalSkip skip = RemovalSkip::Unverified;
    RemovalPlan plan;  // filled when skip is None
};

RemovalDecision PlanRemoval(const RemovalFacts& facts);

// The process that carries a plan out: the system's command interpreter says that it runs, waits
// until the program has ended, deletes the two files by name and removes the folder only if it is
// then empty.
//
// Nothing a standard user does between the decision and the deletion can redirect it. At the
// decision the program holds the folder open and takes it and its two files out of every standard
// user's hands (SelfRemoval.cpp): nothing can be planted in the folder or made of its files any more.
// What is left is the folder's own name in a parent the user controls; the folder is held open,
// without sharing delete, first by the program and then, as its current folder, by the interpreter,
// which says so before the program lets go: an open folder cannot be renamed or replaced, and
// neither can a folder above an open one. The interpreter leaves it for the parent (still held)
// only to remove it, and removing a name never follows a link there.
struct RemovalCommand
{
    std::wstring application;               // the interpreter, by full path
    std::wstring commandLine;               // holds no path of the plan: those travel in the environment
    std::wstring currentFolder;             // the program's folder
    std::vector<std::wstring> environment;  // "NAME=value", sorted by name: the whole environment
};

// systemFolder: where cmd.exe and timeout.exe lie; windowsFolder: the value of SystemRoot;
// startSignal: a pipe that the interpreter writes a line into once it runs.
RemovalCommand BuildRemovalCommand(const RemovalPlan& plan, const std::wstring& systemFolder,
                                   const std::wstring& windowsFolder, const std::wstring& startSignal);

// Seconds the interpreter waits before it deletes anything: the program's process has ended by then.
constexpr int kRemovalDelaySeconds = 3;
