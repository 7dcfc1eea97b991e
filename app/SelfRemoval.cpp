#include "app/SelfRemoval.h"

#include "framework/base/KernelHandle.h"
#include "framework/base/ModulePath.h"
#include "services/FeedbackApi.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <map>
#include <memory>
#include <type_traits>

namespace {

// The path the system resolves a file or folder to, all links followed ("\\?\C:\..."); empty when it
// cannot be opened.
std::wstring FinalPathOf(const std::wstring& path)
{
    // FILE_FLAG_BACKUP_SEMANTICS opens folders; reading the name needs no access to the content.
    fx::CKernelHandle handle(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                         FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!handle.IsValid()) return {};
    std::wstring finalPath(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetFinalPathNameByHandleW(handle.Get(), finalPath.data(),
                                                       static_cast<DWORD>(finalPath.size()), VOLUME_NAME_DOS);
        if (length == 0 || length > fx::kLongestPath) return {};
        // Too small: the answer is the size needed, terminating zero included.
        if (length < finalPath.size()) {
            finalPath.resize(length);
            return finalPath;
        }
        finalPath.resize(length);
    }
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

bool ReadEntries(const std::wstring& folder, std::vector<FolderEntry>* entries)
{
    WIN32_FIND_DATAW data;
    const HANDLE first =
        FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0);
    if (first == INVALID_HANDLE_VALUE) return false;
    const std::unique_ptr<void, decltype(&FindClose)> find(first, &FindClose);
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        FolderEntry entry;
        entry.name = name;
        entry.isDirectory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        entry.isReparsePoint = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        entry.isHiddenOrSystem = (data.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0;
        entries->push_back(std::move(entry));
    } while (FindNextFileW(find.get(), &data));
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

bool Launch(const RemovalCommand& command)
{
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
        return false;
    }
    // Nobody waits for it: it outlives this process.
    fx::CKernelHandle thread(info.hThread);
    fx::CKernelHandle process(info.hProcess);
    return true;
}

}  // namespace

RemovalFacts GatherRemovalFacts()
{
    RemovalFacts facts;
    facts.modulePath = fx::ModuleFileName(nullptr);
    facts.componentFileName = feedback::kComponentFileName;
    if (CheckProgramPath(facts.modulePath) != RemovalSkip::None) return facts;

    const std::wstring folder = facts.modulePath.substr(0, facts.modulePath.rfind(L'\\'));
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return facts;
    facts.folderIsReparsePoint = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    facts.folderFinalPath = FinalPathOf(folder);
    facts.complete = !facts.folderFinalPath.empty() && ReadVolume(folder, &facts) &&
                     ReadShellFolders(&facts.shellFolders) && ReadEntries(folder, &facts.entries) &&
                     ReadOtherProcesses(&facts.otherProcesses);
    return facts;
}

bool StartSelfRemoval()
{
    const RemovalDecision decision = PlanRemoval(GatherRemovalFacts());
    if (decision.skip != RemovalSkip::None) return false;
    // A 32-bit process on a 64-bit Windows is given System32 here and file-system redirection turns
    // it into SysWOW64: the 32-bit cmd.exe and timeout.exe, which every Windows 10 has, without
    // switching the redirection off.
    wchar_t systemFolder[MAX_PATH] = {};
    wchar_t windowsFolder[MAX_PATH] = {};
    const UINT systemLength = GetSystemDirectoryW(systemFolder, MAX_PATH);
    const UINT windowsLength = GetSystemWindowsDirectoryW(windowsFolder, MAX_PATH);
    if (systemLength == 0 || systemLength >= MAX_PATH || windowsLength == 0 || windowsLength >= MAX_PATH) {
        return false;
    }
    return Launch(BuildRemovalCommand(decision.plan, systemFolder, windowsFolder));
}
