#include "app/SelfRemoval.h"

#include "framework/base/FinalPath.h"
#include "framework/base/KernelHandle.h"
#include "framework/base/ModulePath.h"
#include "framework/base/SystemFolder.h"
#include "framework/security/ProtectedAcl.h"
#include "services/FeedbackApi.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <map>
#include <memory>
#include <type_traits>

namespace {

constexpr DWORD kEntryBufferBytes = 64 * 1024;
// The interpreter's first command runs within moments of its start; a bound for a busy machine.
constexpr DWORD kStartSignalTimeoutMs = 10000;

// The path the system resolves a file or folder to, all links followed; empty when it cannot be
// opened.
std::wstring FinalPathOf(const std::wstring& path)
{
    // FILE_FLAG_BACKUP_SEMANTICS opens folders; reading the name needs no access to the content.
    fx::CKernelHandle handle(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                         FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return handle.IsValid() ? fx::FinalPathOf(handle.Get()) : std::wstring();
}

bool ReadVolume(const std::wstring& folder, RemovalFacts* facts)
{
    wchar_t root[MAX_PATH + 1] = {};
    if (!GetVolumePathNameW(folder.c_str(), root, MAX_PATH + 1)) return false;
    facts->volumeRoot = root;
    switch (GetDriveTypeW(root)) {
    case DRIVE_FIXED: facts->drive = DriveKind::Fixed; break;
    case DRIVE_REMOVABLE: facts->drive = DriveKind::Removable; break;
    default: facts->drive = DriveKind::Other; break;
    }
    DWORD flags = 0;
    if (!GetVolumeInformationW(root, nullptr, 0, nullptr, nullptr, &flags, nullptr, 0)) return false;
    facts->volumeReadOnly = (flags & FILE_READ_ONLY_VOLUME) != 0;
    return true;
}

// The known folders that a program folder must never be or hold, each as it is named and as it
// resolves (when it exists).
bool ReadShellFolders(std::vector<std::wstring>* folders)
{
    // FOLDERID_ProgramFiles names "Program Files (x86)" in a 32-bit process on a 64-bit Windows; the
    // other one is read from the registry's 64-bit view below.
    const KNOWNFOLDERID* const known[] = {
        &FOLDERID_Desktop,      &FOLDERID_Downloads,       &FOLDERID_Documents,   &FOLDERID_Profile,
        &FOLDERID_ProgramFiles, &FOLDERID_ProgramFilesX86, &FOLDERID_ProgramData, &FOLDERID_Windows,
    };
    for (const KNOWNFOLDERID* id : known) {
        PWSTR path = nullptr;
        // KF_FLAG_DONT_VERIFY: a folder that does not exist (yet) still has its name.
        const HRESULT result = SHGetKnownFolderPath(*id, KF_FLAG_DONT_VERIFY, nullptr, &path);
        if (SUCCEEDED(result)) folders->push_back(path);
        CoTaskMemFree(path);
        if (FAILED(result)) return false;
    }
    wchar_t temp[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
    if (length == 0 || length > MAX_PATH) return false;
    folders->push_back(temp);
    // The registry's 64-bit view names the 64-bit Program Files (on a 32-bit Windows, the only one).
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion", 0,
                      KEY_QUERY_VALUE | KEY_WOW64_64KEY, &opened) != ERROR_SUCCESS) {
        return false;
    }
    const std::unique_ptr<std::remove_pointer_t<HKEY>, decltype(&RegCloseKey)> key(opened, &RegCloseKey);
    wchar_t programFiles[MAX_PATH] = {};
    DWORD size = sizeof programFiles;
    if (RegGetValueW(key.get(), nullptr, L"ProgramFilesDir", RRF_RT_REG_SZ, nullptr, programFiles, &size) !=
        ERROR_SUCCESS) {
        return false;
    }
    folders->push_back(programFiles);
    const size_t named = folders->size();
    for (size_t i = 0; i < named; ++i) {
        std::wstring finalPath = FinalPathOf((*folders)[i]);
        if (!finalPath.empty()) folders->push_back(std::move(finalPath));
    }
    return true;
}

// Everything in the open folder, read through the handle, so that it is the folder held.
bool ReadEntries(HANDLE folder, std::vector<FolderEntry>* entries)
{
    // Room for many entries with the longest names, aligned as the entries need.
    std::vector<LONGLONG> buffer(kEntryBufferBytes / sizeof(LONGLONG));
    FILE_INFO_BY_HANDLE_CLASS kind = FileIdBothDirectoryRestartInfo;
    while (GetFileInformationByHandleEx(folder, kind, buffer.data(), kEntryBufferBytes)) {
        kind = FileIdBothDirectoryInfo;
        const BYTE* next = reinterpret_cast<const BYTE*>(buffer.data());
        for (;;) {
            const auto* info = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(next);
            const std::wstring name(info->FileName, info->FileNameLength / sizeof(wchar_t));
            if (name != L"." && name != L"..") {
                FolderEntry entry;
                entry.name = name;
                entry.isDirectory = (info->FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
                entry.isReparsePoint = (info->FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
                entry.isHiddenOrSystem = (info->FileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0;
                entries->push_back(std::move(entry));
            }
            if (info->NextEntryOffset == 0) break;
            next += info->NextEntryOffset;
        }
    }
    return GetLastError() == ERROR_NO_MORE_FILES;
}

std::wstring ImagePathOf(DWORD processId)
{
    fx::CKernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process.IsValid()) return {};
    // QueryFullProcessImageNameW fails when the path does not fit: then the buffer counts as filled.
    return fx::ReadPathInto([&process](wchar_t* buffer, DWORD size) -> DWORD {
        DWORD length = size;
        if (QueryFullProcessImageNameW(process.Get(), 0, buffer, &length)) return length;
        return GetLastError() == ERROR_INSUFFICIENT_BUFFER ? size : 0;
    });
}

// Every process but this one. A second copy started from the same folder still runs from these
// files; a running program file cannot be deleted on Windows, but the folder's other files and the
// folder itself must stay for it all the same.
bool ReadOtherProcesses(std::vector<OtherProcess>* processes)
{
    fx::CKernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot.IsValid()) return false;
    PROCESSENTRY32W entry = {sizeof entry};
    if (!Process32FirstW(snapshot.Get(), &entry)) return false;
    // Most processes share a few folders: each is resolved once.
    std::map<std::wstring, std::wstring> finalPaths;
    const DWORD self = GetCurrentProcessId();
    do {
        if (entry.th32ProcessID == self) continue;
        OtherProcess process;
        process.exeName = entry.szExeFile;
        process.imagePath = ImagePathOf(entry.th32ProcessID);
        const size_t slash = process.imagePath.rfind(L'\\');
        if (slash != std::wstring::npos) {
            const auto [known, added] = finalPaths.try_emplace(process.imagePath.substr(0, slash));
            if (added) known->second = FinalPathOf(known->first);
            process.folderFinalPath = known->second;
        }
        processes->push_back(std::move(process));
    } while (Process32NextW(snapshot.Get(), &entry));
    return GetLastError() == ERROR_NO_MORE_FILES;
}

// Takes the held folder and its files out of every standard user's hands and reads its entries
// again, for the plan to judge them once more: what was planted before is seen now, and nothing can
// be planted after. Owner the Administrators, so that nobody else may change the DACL back; a
// protected DACL for SYSTEM and the Administrators alone, so that nobody else may add, rename or
// delete an entry in the folder, or write, link or delete one of its files. A file is sealed only
// when it is a plain file of its own in this folder (a hard link's other name would share the new
// ACL). On a volume that keeps no ACLs (FAT) there is nothing to seal, and nothing to fear: such a
// volume has no links either, and every user may change every file on it anyway.
bool SealFolder(HANDLE folder, const std::wstring& path, RemovalFacts* facts)
{
    DWORD flags = 0;
    if (!GetVolumeInformationByHandleW(folder, nullptr, 0, nullptr, nullptr, &flags, nullptr, 0)) return false;
    const bool keepsAcls = (flags & FILE_PERSISTENT_ACLS) != 0;
    if (!keepsAcls && (flags & FILE_SUPPORTS_REPARSE_POINTS) != 0) return false;
    const fx::CProtectedAcl acl(fx::AclGrantees::SystemAndAdministrators, fx::AclInheritance::ToChildren);
    if (keepsAcls && !acl.ApplyTo(folder)) return false;

    facts->entries.clear();
    if (!ReadEntries(folder, &facts->entries)) return false;
    for (const FolderEntry& entry : facts->entries) {
        if (entry.isDirectory || entry.isReparsePoint) continue;  // the plan refuses the folder
        fx::CKernelHandle file(CreateFileW((path + L"\\" + entry.name).c_str(),
                                           READ_CONTROL | WRITE_DAC | WRITE_OWNER | FILE_READ_ATTRIBUTES,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                           OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        BY_HANDLE_FILE_INFORMATION info = {};
        if (!file.IsValid() || !GetFileInformationByHandle(file.Get(), &info) ||
            (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0 ||
            info.nNumberOfLinks != 1 || fx::FinalPathOf(file.Get()) != facts->folderFinalPath + L"\\" + entry.name) {
            return false;
        }
        if (keepsAcls && !acl.ApplyTo(file.Get())) return false;
    }
    return true;
}

// Starts the interpreter and returns once it runs, its current folder (the program's folder) open,
// or once it has ended; true in the first case. Until then the caller holds the folder.
bool Launch(const RemovalCommand& command, const std::wstring& startSignal)
{
    // Only SYSTEM and the Administrators may connect: nobody else can give the signal early. A name
    // that somebody made first fails FILE_FLAG_FIRST_PIPE_INSTANCE, and then nothing is removed.
    fx::CProtectedAcl acl(fx::AclGrantees::SystemAndAdministrators, fx::AclInheritance::None);
    fx::CKernelHandle signal(CreateNamedPipeW(
        startSignal.c_str(), PIPE_ACCESS_INBOUND | FILE_FLAG_FIRST_PIPE_INSTANCE | FILE_FLAG_OVERLAPPED,
        PIPE_TYPE_BYTE | PIPE_REJECT_REMOTE_CLIENTS, 1, 0, 0, 0, acl.Attributes()));
    fx::CKernelHandle connected(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!signal.IsValid() || !connected.IsValid()) return false;
    OVERLAPPED overlapped = {};
    overlapped.hEvent = connected.Get();
    if (!ConnectNamedPipe(signal.Get(), &overlapped) && GetLastError() != ERROR_IO_PENDING) return false;

    std::wstring environment;
    for (const std::wstring& variable : command.environment) {
        environment += variable;
        environment.push_back(L'\0');
    }
    environment.push_back(L'\0');
    std::wstring commandLine = command.commandLine;  // CreateProcessW may write into it
    STARTUPINFOW startup = {sizeof startup};
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION info = {};
    // No handle of this process is inherited; CREATE_NO_WINDOW gives the interpreter a console of its
    // own that is never shown, which timeout.exe needs for its input.
    if (!CreateProcessW(command.application.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                        CREATE_NO_WINDOW | CREATE_UNICODE_ENVIRONMENT, environment.data(),
                        command.currentFolder.c_str(), &startup, &info)) {
        CancelIo(signal.Get());
        return false;
    }
    fx::CKernelHandle thread(info.hThread);
    fx::CKernelHandle process(info.hProcess);
    const HANDLE events[] = {connected.Get(), process.Get()};
    if (WaitForMultipleObjects(2, events, FALSE, kStartSignalTimeoutMs) == WAIT_OBJECT_0) return true;
    // It ended, or hangs before its first command: it must not delete anything later.
    CancelIo(signal.Get());
    TerminateProcess(process.Get(), 1);
    return false;
}

}  // namespace

RemovalFacts GatherRemovalFacts(const std::wstring& modulePath, fx::CKernelHandle* held)
{
    RemovalFacts facts;
    facts.modulePath = modulePath;
    facts.componentFileName = feedback::kComponentFileName;
    if (CheckProgramPath(facts.modulePath) != RemovalSkip::None) return facts;

    // The folder itself, never what a link there points to. No FILE_SHARE_DELETE: while the handle
    // is open, nobody can rename or replace the folder (sharing counts for a handle with access to
    // the content, here FILE_LIST_DIRECTORY), and every fact below is of this folder.
    const std::wstring folder = facts.modulePath.substr(0, facts.modulePath.rfind(L'\\'));
    fx::CKernelHandle handle(
        CreateFileW(folder.c_str(),
                    READ_CONTROL | WRITE_DAC | WRITE_OWNER | FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    BY_HANDLE_FILE_INFORMATION info = {};
    if (!handle.IsValid() || !GetFileInformationByHandle(handle.Get(), &info)) return facts;
    facts.folderIsReparsePoint = (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    facts.folderFinalPath = fx::FinalPathOf(handle.Get());
    facts.complete = !facts.folderFinalPath.empty() && ReadVolume(folder, &facts) &&
                     ReadShellFolders(&facts.shellFolders) && ReadEntries(handle.Get(), &facts.entries) &&
                     ReadOtherProcesses(&facts.otherProcesses);
    if (held) *held = std::move(handle);
    return facts;
}

RemovalFacts GatherRemovalFacts() { return GatherRemovalFacts(fx::ModuleFileName(nullptr), nullptr); }

bool CarryOutRemoval(fx::CKernelHandle folder, RemovalFacts facts)
{
    const RemovalDecision decision = PlanRemoval(facts);
    if (decision.skip != RemovalSkip::None || !SealFolder(folder.Get(), decision.plan.folder, &facts) ||
        PlanRemoval(facts).skip != RemovalSkip::None) {
        return false;
    }
    // The name must still lead to the folder held: the interpreter enters it by name. Nobody can
    // rename the held folder, and on Windows no folder above it either while it is open; Wine lets
    // an ancestor be renamed, which this shows too.
    const DWORD attributes = GetFileAttributesW(decision.plan.folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 ||
        FinalPathOf(decision.plan.folder) != facts.folderFinalPath) {
        return false;
    }
    // A 32-bit process on a 64-bit Windows is given System32 here and file-system redirection turns
    // it into SysWOW64: the 32-bit cmd.exe and timeout.exe, which every Windows 10 has, without
    // switching the redirection off.
    const std::wstring systemFolder = fx::SystemFolder();
    wchar_t windowsFolder[MAX_PATH] = {};
    const UINT windowsLength = GetSystemWindowsDirectoryW(windowsFolder, MAX_PATH);
    if (systemFolder.empty() || windowsLength == 0 || windowsLength >= MAX_PATH) return false;
    const std::wstring startSignal = L"\\\\.\\pipe\\quorlin-removal-" + std::to_wstring(GetCurrentProcessId());
    return Launch(BuildRemovalCommand(decision.plan, systemFolder, windowsFolder, startSignal), startSignal);
}

bool StartSelfRemoval()
{
    fx::CKernelHandle folder;
    RemovalFacts facts = GatherRemovalFacts(fx::ModuleFileName(nullptr), &folder);
    return CarryOutRemoval(std::move(folder), std::move(facts));
}
