// Renders every skinned window that exists into PNG files, at the test bed's resolution:
// quorlin_ui_screens <folder>. Each dialog runs on its own UI thread over a plain grey desktop.
#include "controls/SkinScrollWnd.h"
#include "dialogs/CloseEncryptedDiskDlg.h"
#include "dialogs/ExecutePromptDlg.h"
#include "dialogs/InputDecryptionPassowrdDlg.h"
#include "dialogs/PromptDlg.h"
#include "dialogs/SelectDiskDlg.h"
#include "dialogs/SelectSaveDiskDlg.h"
#include "framework/Scale.h"
#include "res/PrivateMessages.h"
#include "res/resource.h"
#include "services/ProblemSolvingFeedbackDlg.h"
#include "services/TooltipDlg.h"
#include "tests/uidriver/ChooserProbe.h"
#include "tests/uidriver/MainStandIn.h"
#include "tools/ProgramScreens.h"
#include "tests/uidriver/UiTestSupport.h"

#include <cstdio>
#include <string>

namespace {

// The frame's rectangle with a margin, so that the soft edge shows against the desktop.
RECT AroundFrame(HWND frame)
{
    RECT rect = ui::WindowRect(frame);
    InflateRect(&rect, 16, 16);
    return rect;
}

bool SaveArea(const RECT& area, const std::wstring& path)
{
    ui::PumpFor(400);
    const bool saved = ui::CScreenCapture(area).SavePng(path);
    std::fwprintf(stdout, L"%ls %ls\n", saved ? L"wrote" : L"FAILED", path.c_str());
    return saved;
}

bool Save(HWND frame, const std::wstring& path) { return SaveArea(AroundFrame(frame), path); }

bool ShootPrompt(const std::wstring& folder, int kind, const std::wstring& text, float scale)
{
    uitest::CModalRun run([=] {
        CPromptDlg prompt;
        prompt.SetScaleFactor(scale);
        prompt.SetKind(kind);
        prompt.SetText(text);
        return prompt.DoModal();
    });
    HWND frame = run.Frame();
    if (!frame || !run.Child()) return false;
    const bool saved = Save(frame, folder + L"\\prompt-kind" + std::to_wstring(kind) + L".png");
    ui::Post(frame, WM_CLOSE);
    return run.Wait() && saved;
}

bool ShootProgress(const std::wstring& folder, const std::wstring& name, const std::wstring& text, float scale,
                   DWORD waitMs)
{
    uitest::CModalRun run([=] {
        CExecutePromptDlg progress;
        progress.SetScaleFactor(scale);
        progress.SetText(text);
        return progress.DoModal();
    });
    HWND frame = run.Frame();
    if (!frame || !run.Child()) return false;
    ui::PumpFor(waitMs);
    const bool saved = Save(frame, folder + L"\\" + name + L".png");
    ui::Send(frame, WM_EXECUTE_PROMPT_CLOSE);
    return run.Wait() && saved;
}

VolumeInfoMap SampleVolumes()
{
    VolumeInfoMap volumes;
    for (const wchar_t* name : {L"C:", L"D:", L"E:"}) volumes[name].strVolume = name;
    return volumes;
}

// What is done to a chooser before its picture: clicks on its rows, its buttons.
using ChooserAction = std::function<void(HWND child, HWND list)>;

// A volume chooser over the three sample volumes, driven by `act`, then pictured with whatever
// prompt it raised.
template <class TChooser>
bool ShootChooser(const std::wstring& folder, const std::wstring& name, float scale, int listId,
                  const ChooserAction& act)
{
    const VolumeInfoMap volumes = SampleVolumes();
    uitest::CModalRun run([&volumes, scale] {
        TChooser chooser;
        chooser.SetScaleFactor(scale);
        chooser.SetVolumeMap(&volumes);
        return chooser.DoModal();
    });
    HWND frame = run.Frame();
    HWND child = run.Child();
    if (!frame || !child) return false;
    if (act) act(child, ui::FindControl(child, listId));
    const bool saved = Save(frame, folder + L"\\" + name + L".png");
    // A prompt runs a modal loop of its own inside the chooser's: it goes first.
    HWND prompt = uitest::FindPromptOver(run.ThreadId(), frame, 0);
    if (prompt) {
        ui::Post(prompt, WM_CLOSE);
        ui::WaitForWindowGone(prompt);
    }
    ui::Post(frame, WM_CLOSE);
    return run.Wait() && saved;
}

void ClickRow(HWND list, int row) { uitest::ClickAt(uitest::CenterOfLabel(list, row)); }

void ClickConfirm(HWND child, int confirmId)
{
    uitest::ClickControl(ui::FindControl(child, confirmId));
    ui::PumpFor(500);
}

bool ShootChoosers(const std::wstring& folder, float scale)
{
    bool ok = true;
    ok &= ShootChooser<CSelectDiskDlg>(folder, L"select-disk", scale, IDC_SELECT_DISK_LIST, nullptr);
    ok &= ShootChooser<CSelectDiskDlg>(folder, L"select-disk-selected", scale, IDC_SELECT_DISK_LIST,
                                       [](HWND, HWND list) { ClickRow(list, 1); });
    ok &= ShootChooser<CSelectDiskDlg>(folder, L"select-disk-warning", scale, IDC_SELECT_DISK_LIST,
                                       [](HWND child, HWND) { ClickConfirm(child, IDC_SELECT_DISK_OK); });
    ok &= ShootChooser<CCloseEncryptedDiskDlg>(folder, L"turn-off", scale, IDC_TURN_OFF_LIST, nullptr);
    ok &= ShootChooser<CCloseEncryptedDiskDlg>(folder, L"turn-off-one-unticked", scale, IDC_TURN_OFF_LIST,
                                               [scale](HWND, HWND list) {
                                                   uitest::ClickAt(uitest::CenterOfCheckBox(list, 1, scale));
                                                   ClickRow(list, 2);
                                               });
    ok &= ShootChooser<CCloseEncryptedDiskDlg>(folder, L"turn-off-warning", scale, IDC_TURN_OFF_LIST,
                                               [scale](HWND child, HWND list) {
                                                   for (int row = 0; row < 3; ++row)
                                                       uitest::ClickAt(uitest::CenterOfCheckBox(list, row, scale));
                                                   ClickConfirm(child, IDC_TURN_OFF_OK);
                                               });
    return ok;
}

bool ShootKeyInput(const std::wstring& folder, float scale)
{
    uitest::CModalRun run([=] {
        CInputDecryptionPassowrdDlg input;
        input.SetScaleFactor(scale);
        return input.DoModal();
    });
    HWND frame = run.Frame();
    HWND child = run.Child();
    if (!frame || !child) return false;
    bool saved = Save(frame, folder + L"\\key-input.png");
    ui::Send(ui::FindControl(child, IDC_KEY_INPUT_EDIT), WM_SETTEXT, 0,
             reinterpret_cast<LPARAM>(L"160083-390742-605913-261228-093346-480293-564553-218031"));
    saved &= Save(frame, folder + L"\\key-input-typed.png");
    ui::Post(frame, WM_CLOSE);
    return run.Wait() && saved;
}

// The key file chooser empty, with a long path, and under the system's Save As dialog.
bool ShootSaveLocation(const std::wstring& folder, float scale)
{
    VolumeInfoMap map;
    map[L"C:"].strVolume = L"C:";
    map[L"D:"].strVolume = L"D:";
    uitest::CModalRun run([=, &map] {
        CSelectSaveDiskDlg chooser;
        chooser.SetScaleFactor(scale);
        chooser.SetVolumeMap(&map);
        return chooser.DoModal();
    });
    HWND frame = run.Frame();
    HWND child = run.Child();
    if (!frame || !child) return false;
    bool saved = Save(frame, folder + L"\\save-location.png");
    ui::Send(ui::FindControl(child, IDC_SAVE_LOCATION_PATH), WM_SETTEXT, 0,
             reinterpret_cast<LPARAM>(L"E:\\备份\\公司电脑\\财务部\\2026年12月\\BitLocker恢复密钥E盘.txt"));
    saved &= Save(frame, folder + L"\\save-location-path.png");
    uitest::ClickControl(ui::FindControl(child, IDC_SAVE_LOCATION_BROWSE));
    HWND saveAs = ui::WaitForWindow(ui::All({ui::OnThread(run.ThreadId()), ui::IsShown(),
                                             [](HWND w) { return (ui::Style(w) & WS_CAPTION) == WS_CAPTION; }}),
                                    20000);
    if (saveAs) {
        ui::PumpFor(1500);
        RECT both = ui::WindowRect(saveAs);
        const RECT chooser = AroundFrame(frame);
        UnionRect(&both, &both, &chooser);
        saved &= ui::CScreenCapture(both).SavePng(folder + L"\\save-as.png");
        ui::Post(saveAs, WM_CLOSE);
    }
    ui::WaitForWindowGone(saveAs, 20000);
    ui::Post(frame, WM_CLOSE);
    return run.Wait() && saved && saveAs;
}

// The agreement viewer over a stand-in for the main window: at the top, scrolled, and its scroll
// bar close up with the thumb hovered and the down arrow held.
bool ShootViewer(const std::wstring& folder, float scale)
{
    uitest::CMainStandIn main(scale);
    ui::Click(ui::CenterOf(main.LinkOnScreen()));
    if (!ui::PumpUntil([&] { return main.IsViewerShown(); })) return false;
    HWND child = main.Viewer()->GetTooltipChild()->GetSafeHwnd();
    HWND text = GetDlgItem(child, IDC_AGREEMENT_TEXT);
    HWND bar = GetDlgItem(text, CSkinScrollWnd::kVerticalBarId);
    const RECT barRect = ui::WindowRect(bar);
    const int tile = ui::SizeOf(barRect).cx;
    RECT closeUp = barRect;
    InflateRect(&closeUp, 6 * tile, 0);
    closeUp.bottom = closeUp.top + 12 * tile;
    const POINT thumb{(barRect.left + barRect.right) / 2, barRect.top + tile * 2};
    const POINT down{thumb.x, barRect.bottom - tile / 2 - 1};

    bool ok = Save(main.Window(), folder + L"\\agreement-top.png");
    ui::MoveCursor(thumb);
    ok &= SaveArea(closeUp, folder + L"\\scrollbar-hover.png");
    // Two pages down by the track, then the down arrow held (before it repeats).
    for (int page = 0; page < 2; ++page) ui::Click(POINT{thumb.x, barRect.bottom - 4 * tile});
    ui::MoveCursor(down);
    ui::PumpFor(200);
    ui::MouseDown(down);
    ui::PumpFor(150);
    RECT bottomCloseUp = closeUp;
    OffsetRect(&bottomCloseUp, 0, barRect.bottom - closeUp.bottom);
    ok &= SaveArea(bottomCloseUp, folder + L"\\scrollbar-pressed.png");
    ui::MouseUp(down);
    ui::MoveCursor(POINT{1, 1});
    ok &= Save(main.Window(), folder + L"\\agreement-scrolled.png");
    return ok;
}

bool ShootSurvey(const std::wstring& folder)
{
    uitest::CModalRun run([] {
        CProblemSolvingFeedbackDlg survey;
        return survey.DoModal();
    });
    HWND frame = run.Frame();
    if (!frame || !run.Child()) return false;
    const bool saved = Save(frame, folder + L"\\survey.png");
    ui::Post(frame, WM_CLOSE);
    return run.Wait() && saved;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) {
        std::fwprintf(stderr, L"usage: quorlin_ui_screens <folder>\n");
        return 2;
    }
    const std::wstring folder = argv[1];
    uitest::EnsureApplication();
    ui::CBackdrop desktop(RGB(96, 104, 112));
    const float scale = fx::ScreenScaleFactor();
    bool ok = true;
    ok &= ShootPrompt(folder, kPromptYes, L"确定要退出吗？", scale);
    ok &= ShootPrompt(folder, kPromptYesNo, L"检测到加密磁盘处于锁定状态，是否立即输入恢复密钥进行解密？", scale);
    ok &= ShootPrompt(folder, kPromptConfirm, L"检测到当前工具有新的版本更新，请下载最新版本使用。", scale);
    ok &= ShootPrompt(folder, kPromptConfirmCancel,
                      L"关闭加密需要较长时间，期间请勿关闭电脑。确定要关闭所选磁盘的加密吗？", scale);
    ok &= ShootProgress(folder, L"progress", L"正在检测加密磁盘，请稍等", scale, 2300);
    ok &= ShootProgress(folder, L"progress-default", L"", scale, 300);
    ok &= ShootChoosers(folder, scale);
    ok &= ShootKeyInput(folder, scale);
    ok &= ShootSaveLocation(folder, scale);
    ok &= ShootViewer(folder, scale);
    ok &= ShootSurvey(folder);
    ok &= ShootProgram(folder);
    return ok ? 0 : 1;
}
