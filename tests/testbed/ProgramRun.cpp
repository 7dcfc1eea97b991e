#include "tests/testbed/ProgramRun.h"

#include "framework/base/ModulePath.h"
#include "res/resource.h"
#include "tests/uidriver/UiDriver.h"
#include "tests/uidriver/UiTestSupport.h"

namespace uitest {

namespace {

constexpr DWORD kPlacementSettleMs = 400;
constexpr const wchar_t* kShippedFiles[] = {L"Quorlin.exe", L"KorvaneFeedbackInformation.dll"};

// A shown top-level window of the process whose dialog holds control `id`.
HWND FindShownWithControl(DWORD processId, int id)
{
    for (HWND window : ui::TopLevelWindows(ui::All({ui::InProcess(processId), ui::IsShown()})))
        if (ui::FindControl(window, id)) return window;
    return nullptr;
}

}  // namespace

std::wstring CProgramRun::DistFolder() { return fx::ModuleFolder(nullptr) + L"\\..\\dist\\"; }

bool CProgramRun::CopyProgram(const std::wstring& folder)
{
    CreateDirectoryW(folder.c_str(), nullptr);
    for (const wchar_t* name : kShippedFiles)
        if (!CopyFileW((DistFolder() + name).c_str(), (folder + L"\\" + name).c_str(), FALSE)) return false;
    return true;
}

CProgramRun::CProgramRun(const std::wstring& folder) : m_folder(folder), m_copied(CopyProgram(folder)) {}

bool CProgramRun::Start()
{
    std::wstring commandLine = L"\"" + m_folder + L"\\Quorlin.exe\"";
    STARTUPINFOW startup{sizeof(startup)};
    PROCESS_INFORMATION info{};
    // Its own folder is the current folder, as after a double click in Explorer.
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, m_folder.c_str(), &startup,
                        &info))
        return false;
    CloseHandle(info.hThread);
    m_process.Reset(info.hProcess);
    m_processId = info.dwProcessId;
    return true;
}

CProgramRun::~CProgramRun()
{
    if (m_process.IsValid() && WaitForSingleObject(m_process.Get(), 0) == WAIT_TIMEOUT) {
        TerminateProcess(m_process.Get(), 1);
        WaitForSingleObject(m_process.Get(), 10000);
    }
}

HWND CProgramRun::MainWindow(DWORD timeoutMs)
{
    if (m_main && IsWindow(m_main)) return m_main;
    if (!Started()) return nullptr;
    ui::PumpUntil([&] { return (m_main = FindShownWithControl(m_processId, IDC_MAIN_SAVE_KEY)) != nullptr; },
                  timeoutMs);
    return m_main;
}

HWND CProgramRun::Frame() { return ui::Owner(MainWindow()); }

HWND CProgramRun::WaitForPair(int id, DWORD timeoutMs)
{
    HWND found = nullptr;
    ui::PumpUntil([&] { return (found = FindShownWithControl(m_processId, id)) != nullptr; }, timeoutMs);
    // A pair's child shows before its frame has taken its final place (centred over its owner),
    // and the frame carries the child there.
    if (found) ui::PumpFor(kPlacementSettleMs);
    return found;
}

HWND CProgramRun::WaitForPrompt(DWORD timeoutMs) { return WaitForPair(IDC_PROMPT_TEXT, timeoutMs); }

HWND CProgramRun::WaitForProgress(DWORD timeoutMs)
{
    // Nothing is clicked in it, so it is returned at once: a short command may end it soon.
    HWND found = nullptr;
    ui::PumpUntil([&] { return (found = FindShownWithControl(m_processId, IDC_PROGRESS_TEXT)) != nullptr; }, timeoutMs);
    return found;
}

std::wstring CProgramRun::PromptText(HWND promptChild)
{
    return ui::WindowText(ui::FindControl(promptChild, IDC_PROMPT_TEXT));
}

bool CProgramRun::Dismiss(HWND promptChild)
{
    ClickControl(ui::FindControl(promptChild, IDC_PROMPT_LEFT));
    return ui::WaitForWindowGone(promptChild);
}

bool CProgramRun::WaitForDetection(DWORD timeoutMs, bool* progressCame)
{
    // Over when the progress prompt has come and gone, or when a message prompt shows: a result
    // that the worker sends while the progress prompt is still being made comes up before the
    // progress prompt has gone.
    bool seen = false;
    const bool over = ui::PumpUntil(
        [&] {
            const bool shown = FindShownWithControl(m_processId, IDC_PROGRESS_TEXT) != nullptr;
            seen = seen || shown;
            return FindShownWithControl(m_processId, IDC_PROMPT_TEXT) != nullptr || (seen && !shown);
        },
        timeoutMs);
    if (progressCame) *progressCame = seen;
    return over;
}

DWORD CProgramRun::WaitForExit(DWORD timeoutMs)
{
    if (!m_process.IsValid()) return STILL_ACTIVE;
    ui::PumpUntil([&] { return WaitForSingleObject(m_process.Get(), 0) == WAIT_OBJECT_0; }, timeoutMs);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(m_process.Get(), &code);
    return code;
}

}  // namespace uitest
