// Renders every skinned window that exists into PNG files, at the test bed's resolution:
// quorlin_ui_screens <folder>. Each dialog runs on its own UI thread over a plain grey desktop.
#include "res/PrivateMessages.h"
#include "controls/SkinScrollWnd.h"
#include "dialogs/ExecutePromptDlg.h"
#include "dialogs/PromptDlg.h"
#include "framework/Scale.h"
#include "res/resource.h"
#include "services/ProblemSolvingFeedbackDlg.h"
#include "services/TooltipDlg.h"
#include "tests/harness/MainStandIn.h"
#include "tests/harness/UiTestSupport.h"

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
    ok &= ShootViewer(folder, scale);
    ok &= ShootSurvey(folder);
    return ok ? 0 : 1;
}
