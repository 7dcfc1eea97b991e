#include "app/QuorlinDlg.h"

#include "controls/Fonts.h"
#include "controls/PngPainting.h"
#include "dialogs/CloseEncryptedDiskDlg.h"
#include "dialogs/InputDecryptionPassowrdDlg.h"
#include "dialogs/PromptDlg.h"
#include "dialogs/SelectDiskDlg.h"
#include "dialogs/SelectSaveDiskDlg.h"
#include "framework/Gdi.h"
#include "framework/MessageMap.h"
#include "framework/Scale.h"
#include "res/MainWindowDesign.h"
#include "res/PrivateMessages.h"
#include "res/Version.h"
#include "res/resource.h"
#include "services/FeedbackApi.h"
#include "services/ProblemSolvingFeedbackDlg.h"

#include <vector>

namespace {

// The main window at scale 1.0; wider than this means a scale factor above 1.0.
constexpr float kDesignWidth = main_design::kWidth;
constexpr float kDesignHeight = main_design::kHeight;
// The large buttons: 96 x 86, their hot area 4 inside the edges, 35 above the middle.
constexpr float kActionWidth = 96;
constexpr float kActionHeight = 86;
constexpr float kActionInset = 4;
constexpr float kActionAboveMiddle = 35;
constexpr float kActionGap = 10;
constexpr float kRowFromBottom = main_design::kRowFromBottom;
constexpr float kRowHeight = main_design::kRowHeight;
// The drag band along the top edge, and the part of it on the right (minimise and close) that does
// not drag; neither grows with the scale factor.
constexpr DragStrip kDragBand{30, 86, false};
constexpr ChildDesign kMainWindowDesign{IDD_MAIN, IDB_MAIN_BACKGROUND, kDragBand, true, true};
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kLinkNormal = RGB(92, 92, 255);
constexpr COLORREF kLinkHover = RGB(0, 0, 255);
constexpr const wchar_t kAgreementRowText[] = L"同意《Korvane服务工具使用许可协议》";
constexpr const wchar_t kFeedbackText[] = L"反馈问题";

constexpr const wchar_t kUnsupportedText[] = L"此工具不支持当前系统";
constexpr const wchar_t kNewVersionText[] = L"检测到当前工具有新的版本更新，请下载最新版本使用。";

struct ResultText
{
    int code;
    const wchar_t* text;
};
constexpr ResultText kDetectTexts[] = {
    {kDetectFailed, L"检测加密磁盘失败！"},
    {kDetectNoVolume, L"没有检测到该电脑中加密磁盘！"},
    {kDetectEncrypting, L"磁盘正在加密，请稍后在试！"},
    {kDetectPreEncrypted, L"磁盘为预加密，请登录微软账户，完成加密！"},
};
constexpr ResultText kSaveKeyTexts[] = {
    {kSaveKeySaved, L"保存加密磁盘密钥成功！"},
    {kSaveKeyFailed, L"保存加密磁盘密钥失败！"},
    {kSaveKeyNoPassword, L"获取磁盘密钥失败！"},
};
constexpr ResultText kUnlockTexts[] = {
    {kUnlockDone, L"解密成功！"},
    {kUnlockFailed, L"解密失败！"},
};
constexpr ResultText kTurnOffTexts[] = {
    {kTurnOffAll, L"关闭加密成功！"},
    {kTurnOffNone, L"关闭加密失败！"},
    {kTurnOffSome, L"部分加密磁盘关闭成功，关闭失败磁盘分区为"},
};
constexpr const wchar_t kFailedNameSeparator[] = L"，";

template <std::size_t N>
const wchar_t* TextFor(const ResultText (&table)[N], WPARAM code)
{
    for (const ResultText& entry : table)
        if (static_cast<WPARAM>(entry.code) == code) return entry.text;
    return nullptr;
}

// The state images of a button, normal to disabled.
struct StateImages
{
    UINT normal, hover, pressed, disabled;
};
constexpr StateImages kCloseImages{IDB_MAIN_CLOSE_NORMAL, IDB_MAIN_CLOSE_HOVER, IDB_MAIN_CLOSE_PRESSED,
                                   IDB_MAIN_CLOSE_DISABLED};
constexpr StateImages kMinimiseImages{IDB_MAIN_MINIMISE_NORMAL, IDB_MAIN_MINIMISE_HOVER, IDB_MAIN_MINIMISE_PRESSED,
                                      IDB_MAIN_MINIMISE_DISABLED};
constexpr StateImages kSaveKeyImages{IDB_SAVE_KEY_NORMAL, IDB_SAVE_KEY_HOVER, IDB_SAVE_KEY_PRESSED,
                                     IDB_SAVE_KEY_DISABLED};
constexpr StateImages kUnlockImages{IDB_UNLOCK_NORMAL, IDB_UNLOCK_HOVER, IDB_UNLOCK_PRESSED, IDB_UNLOCK_DISABLED};
constexpr StateImages kTurnOffImages{IDB_TURN_OFF_NORMAL, IDB_TURN_OFF_HOVER, IDB_TURN_OFF_PRESSED,
                                     IDB_TURN_OFF_DISABLED};
constexpr StateImages kMoreToolsImages{IDB_MORE_TOOLS_NORMAL, IDB_MORE_TOOLS_HOVER, IDB_MORE_TOOLS_PRESSED,
                                       IDB_MORE_TOOLS_DISABLED};

void SetImages(CSkinButtonBase& button, const StateImages& images)
{
    button.SetStateImages(images.normal, images.hover, images.pressed, images.disabled);
}

void SetUpLink(CDrawTextStatic& link)
{
    link.SetFont(0, 0);
    link.SetAlignment(1);
    link.SetBackColor(kWhite);
    link.SetTextColors(kLinkNormal, kLinkHover);
}

// The action buttons the agreement check box enables, in the order the enabling thread visits them.
constexpr int kActionButtons[] = {IDC_MAIN_SAVE_KEY, IDC_MAIN_UNLOCK, IDC_MAIN_TURN_OFF};

}  // namespace

CQuorlinDlg::CQuorlinDlg() : CLayeredChildDlg(kMainWindowDesign) {}

CQuorlinDlg::~CQuorlinDlg() = default;

void CQuorlinDlg::DoDataExchange(fx::CDataExchange& dx)
{
    fx::DDX_Control(dx, IDC_MAIN_VERSION, m_stcVersion);
    fx::DDX_Control(dx, IDC_MAIN_CLOSE, m_btnClose);
    fx::DDX_Control(dx, IDC_MAIN_MINIMISE, m_btnMinimise);
    fx::DDX_Control(dx, IDC_MAIN_SAVE_KEY, m_btnSaveKey);
    fx::DDX_Control(dx, IDC_MAIN_UNLOCK, m_btnUnlock);
    fx::DDX_Control(dx, IDC_MAIN_TURN_OFF, m_btnTurnOff);
    fx::DDX_Control(dx, IDC_MAIN_MORE_TOOLS, m_btnMoreTools);
    fx::DDX_Control(dx, IDC_MAIN_AGREE, m_chkAgree);
    fx::DDX_Control(dx, IDC_MAIN_AGREEMENT_LINK, m_stcAgreementLink);
    fx::DDX_Control(dx, IDC_MAIN_FEEDBACK_LINK, m_stcFeedbackLink);
}

BOOL CQuorlinDlg::OnInitDialog()
{
    CLayeredChildDlg::OnInitDialog();
    // Without its picture the window stays empty: no layout, no checks, no timers.
    if (!BackgroundImage()) return TRUE;
    RunStartupChecks();
    SetTimer(kHoverTimer, kTimerPeriodMs);
    SetTimer(kVersionCheckTimer, kTimerPeriodMs);
    return TRUE;
}

void CQuorlinDlg::RunStartupChecks()
{
    if (!m_operator.SetNotifyWindow(m_hWnd)) FailStartup(kInitFailedText);
    if (!m_operator.IsWindows10()) FailStartup(kUnsupportedText);
    if (!m_clickHook.SetTargetWindow(m_hWnd)) FailStartup(kInitFailedText);
    if (!m_clickHook.Install()) FailStartup(kInitFailedText);
    if (!m_feedback.Load()) FailStartup(kInitFailedText);
    if (!m_feedback.InitFreedbackDll()) FailStartup(kInitFailedText);
}

void CQuorlinDlg::FailStartup(const wchar_t* message) const
{
    ShowMessagePrompt(message, m_fScale);
    // Nothing has been changed yet: the program ends here and keeps its folder.
    ExitProcess(0);
}

void CQuorlinDlg::Layout(bool first)
{
    m_rcClient = GetClientRect();
    const RECT& c = m_rcClient;
    const float s = m_fScale;
    const int width = c.right - c.left;
    const int height = c.bottom - c.top;
    const bool wide = width > kDesignWidth;

    m_btnClose.MoveWindow(static_cast<int>(c.right - 31.2f * s), c.top, fx::Scaled(26, s), fx::Scaled(34, s));
    m_btnMinimise.MoveWindow(static_cast<int>(c.right - 59.8f * s), c.top, fx::Scaled(26, s), fx::Scaled(34, s));
    m_stcVersion.MoveWindow(c.left + fx::Scaled(188, s), c.top + fx::Scaled(16, s), fx::Scaled(40, s),
                            fx::Scaled(15, s));

    const int actionWidth = wide ? fx::Scaled(kActionWidth, s) : static_cast<int>(kActionWidth);
    const int actionHeight = wide ? fx::Scaled(kActionHeight, s) : static_cast<int>(kActionHeight);
    const int actionTop = wide ? c.top + static_cast<int>(s * kDesignHeight / 2 - s * kActionAboveMiddle)
                               : c.top + height / 2 - static_cast<int>(kActionAboveMiddle);
    const int saveLeft = wide ? c.left + static_cast<int>(s * kDesignWidth / 3 - (s * kActionWidth + s * kActionGap))
                              : c.left + width / 3 - 106;
    const int unlockLeft =
        wide ? c.left + static_cast<int>(s * kDesignWidth / 2 - s * kActionWidth / 2) : c.left + width / 2 - 48;
    const int turnOffLeft =
        wide ? c.left + static_cast<int>(s * kDesignWidth / 3 * 2 + s * kActionGap) : c.left + (width / 3) * 2 + 10;
    m_btnSaveKey.MoveWindow(saveLeft, actionTop, actionWidth, actionHeight);
    m_btnUnlock.MoveWindow(unlockLeft, actionTop, actionWidth, actionHeight);
    m_btnTurnOff.MoveWindow(turnOffLeft, actionTop, actionWidth, actionHeight);
    if (wide)
        m_btnMoreTools.MoveWindow(c.left + fx::Scaled(50, s), c.bottom - fx::Scaled(55, s), fx::Scaled(58, s),
                                  fx::Scaled(18, s));
    else
        m_btnMoreTools.MoveWindow(c.left + 50, c.bottom - 55, 58, 18);

    if (first) {
        Gdiplus::Image* bk = BackgroundImage();
        m_btnClose.SetScaleFactor(s);
        SetImages(m_btnClose, kCloseImages);
        m_btnMinimise.SetScaleFactor(s);
        SetImages(m_btnMinimise, kMinimiseImages);

        m_stcVersion.SetWindowText(kQuorlinVersion);
        m_stcVersion.SetBackgroundImage(bk);
        m_stcVersion.SetBackgroundRect(188, 16, 228, 31);
        m_stcVersion.SetFont(0, 0);
        m_stcVersion.SetAlignment(1);
        m_stcVersion.SetBackColor(kWhite);
        m_stcVersion.SetTextColors(kWhite, kWhite);

        const int inset = wide ? fx::Scaled(kActionInset, s) : static_cast<int>(kActionInset);
        const struct
        {
            CImageButton& button;
            RECT source;
            const StateImages& images;
        } actions[] = {
            {m_btnSaveKey, {27, 265, 123, 351}, kSaveKeyImages},
            {m_btnUnlock, {152, 265, 248, 351}, kUnlockImages},
            {m_btnTurnOff, {276, 265, 372, 351}, kTurnOffImages},
        };
        for (const auto& action : actions) {
            action.button.SetSkin(s, bk, action.source);
            action.button.SetHotInsets(inset, inset, inset, inset);
            SetImages(action.button, action.images);
        }
        m_btnMoreTools.SetSkin(s, bk, {50, 545, 108, 563});
        m_btnMoreTools.SetHotInsets(0, 0, 0, 0);
        SetImages(m_btnMoreTools, kMoreToolsImages);

        m_chkAgree.UseParentFont();
        m_chkAgree.SetScaleFactor(s);
        m_chkAgree.SendMessage(BM_SETCHECK, BST_CHECKED);
        SetUpLink(m_stcAgreementLink);
        SetUpLink(m_stcFeedbackLink);
    }
    LayoutBottomRow(c);
}

void CQuorlinDlg::LayoutBottomRow(const RECT& c)
{
    const float s = m_fScale;
    const HWND fontWindow = FrameWindow() ? FrameWindow() : m_hWnd;
    fx::CClientDC dc(m_hWnd);
    const int rowWidth = MeasureTextWidth(fontWindow, dc.Get(), kAgreementRowText, 0, 0);
    const int feedbackWidth = MeasureTextWidth(fontWindow, dc.Get(), kFeedbackText, 0, 0);
    const int cell = rowWidth / 14;  // about one character of the row
    const int rowTop = static_cast<int>(c.bottom - kRowFromBottom * s);
    const int rowBottom = static_cast<int>(rowTop + kRowHeight * s);

    const int boxLeft = fx::Scaled(8, s);
    const int boxRight = static_cast<int>(boxLeft + 16 * s + 2 * cell + 2);
    m_chkAgree.MoveWindow(boxLeft, rowTop, boxRight - boxLeft, rowBottom - rowTop);

    const int linkLeft = boxRight + 6;
    m_stcAgreementLink.MoveWindow(linkLeft, rowTop, 14 * cell, rowBottom - rowTop);

    const int w = static_cast<int>(feedbackWidth + 4 * s + 8);
    m_stcFeedbackLink.MoveWindow(c.right - w - 6, rowTop, w, rowBottom - rowTop);
}

bool CQuorlinDlg::ProcessMessage(fx::Message& m)
{
    static const fx::MessageEntry<CQuorlinDlg> map[] = {
        fx::OnMessage(WM_DESTROY, &CQuorlinDlg::OnDestroy),
        fx::OnMessage(WM_NCHITTEST, &CQuorlinDlg::OnNcHitTest),
        fx::OnMessage(WM_LBUTTONDOWN, &CQuorlinDlg::OnLButtonDown),
        fx::OnMessage(WM_LBUTTONDBLCLK, &CQuorlinDlg::OnLButtonDoubleClick),
        fx::OnTimer(kHoverTimer, &CQuorlinDlg::OnHoverTimer),
        fx::OnTimer(kVersionCheckTimer, &CQuorlinDlg::OnVersionCheckTimer),
        fx::OnTimer(kDetectTimer, &CQuorlinDlg::OnDetectTimer),
        fx::OnCommand(IDC_MAIN_CLOSE, BN_CLICKED, &CQuorlinDlg::OnCloseButton),
        fx::OnCommand(IDC_MAIN_MINIMISE, BN_CLICKED, &CQuorlinDlg::OnMinimise),
        fx::OnCommand(IDC_MAIN_SAVE_KEY, BN_CLICKED, &CQuorlinDlg::OnSaveKey),
        fx::OnCommand(IDC_MAIN_UNLOCK, BN_CLICKED, &CQuorlinDlg::OnUnlock),
        fx::OnCommand(IDC_MAIN_TURN_OFF, BN_CLICKED, &CQuorlinDlg::OnTurnOff),
        fx::OnCommand(IDC_MAIN_MORE_TOOLS, BN_CLICKED, &CQuorlinDlg::OnMoreTools),
        fx::OnCommand(IDC_MAIN_AGREE, BN_CLICKED, &CQuorlinDlg::OnAgree),
        fx::OnMessage(WM_EXECUTE_PROMPT_CLOSE, &CQuorlinDlg::OnExecutePromptClose),
        fx::OnMessage(WM_DETECT_RESULT, &CQuorlinDlg::OnOperationResult),
        fx::OnMessage(WM_SAVE_KEY_RESULT, &CQuorlinDlg::OnOperationResult),
        fx::OnMessage(WM_UNLOCK_RESULT, &CQuorlinDlg::OnOperationResult),
        fx::OnMessage(WM_TURN_OFF_RESULT, &CQuorlinDlg::OnTurnOffResult),
        fx::OnMessage(WM_HOOK_LBUTTONDOWN, &CQuorlinDlg::OnHookLButtonDown),
    };
    return fx::Dispatch(*this, map, m) || CLayeredChildDlg::ProcessMessage(m);
}

bool CQuorlinDlg::OnDestroy(fx::Message&)
{
    KillTimer(kHoverTimer);
    m_pExecutePrompt.reset();
    // The viewer's windows, owned by this one, are gone already; its object goes with this one.
    m_clickHook.Uninstall();
    return false;  // the pair's own clean-up follows
}

void CQuorlinDlg::FreeControlImages()
{
    CSkinButtonBase* const buttons[] = {&m_btnClose,  &m_btnMinimise, &m_btnSaveKey,
                                        &m_btnUnlock, &m_btnTurnOff,  &m_btnMoreTools};
    for (CSkinButtonBase* button : buttons) button->FreeStateImages();
}

bool CQuorlinDlg::OnNcHitTest(fx::Message& m)
{
    const auto [x, y] = m.Point();
    m_stcFeedbackLink.UpdateHover(x, y);
    m_stcAgreementLink.UpdateHover(x, y);
    return false;  // the pair's drag band follows
}

bool CQuorlinDlg::OnLButtonDown(fx::Message& m)
{
    POINT point = m.Point();
    ClientToScreen(m_hWnd, &point);
    if (m_stcFeedbackLink.ContainsScreenPoint(point.x, point.y))
        m_feedback.FeedbackQuestion(CFeedbackDll::kToolId, kQuorlinVersion);
    if (m_stcAgreementLink.ContainsScreenPoint(point.x, point.y))
        m_agreementViewer.ToggleOver(m_hWnd, GetWindowRect(), m_fScale);
    else
        m_agreementViewer.Hide();
    return false;  // the default handling goes on
}

bool CQuorlinDlg::OnLButtonDoubleClick(fx::Message&)
{
    // The second press of a double click. A double click counts as one click, as people expect of
    // links: the first press has opened (or closed) the viewer, and this one neither toggles it
    // again nor calls the feedback link a second time. It has activated this window, though, which
    // must not cover the viewer the first press opened.
    m_agreementViewer.Raise();
    return false;  // the default handling goes on
}

bool CQuorlinDlg::OnHookLButtonDown(fx::Message& m)
{
    POINT cursor{};
    GetCursorPos(&cursor);
    m_agreementViewer.HideUnlessInside(cursor, m_stcAgreementLink.ContainsScreenPoint(cursor.x, cursor.y));
    m.result = 0;
    return true;
}

bool CQuorlinDlg::OnHoverTimer(fx::Message&)
{
    POINT cursor{};
    GetCursorPos(&cursor);
    m_stcAgreementLink.UpdateHover(cursor.x, cursor.y);
    return false;
}

bool CQuorlinDlg::OnVersionCheckTimer(fx::Message&)
{
    KillTimer(kVersionCheckTimer);
    if (m_feedback.GetToolIsNewVersion(CFeedbackDll::kToolId, kQuorlinVersion) == feedback::kNewerVersionExists) {
        {
            CPromptDlg prompt(m_hWnd);
            prompt.SetScaleFactor(m_fScale);
            prompt.SetText(kNewVersionText);
            prompt.SetKind(kPromptConfirm);
            prompt.DoModal();
        }
        m_feedback.OpenToolDownUrl();
        ExitProcess(0);
    }
    SetTimer(kDetectTimer, kTimerPeriodMs);
    return true;
}

bool CQuorlinDlg::OnDetectTimer(fx::Message&)
{
    KillTimer(kDetectTimer);
    CBusyScope busy(*this);
    RunWorker([this] { return m_operator.StartDetectThread(); }, L"正在检测加密磁盘，请稍等");
    return true;
}

template <class TLaunch>
void CQuorlinDlg::RunWorker(TLaunch launch, const wchar_t* progressText)
{
    m_bWorkerReported = false;
    // The worker may ask to close its prompt while the prompt is still being made (then no modal
    // loop runs) or just before its loop ends: its result waits until the prompt has gone, so
    // that a result prompt never shows over it.
    m_operator.HoldResults();
    // A worker that cannot be started has logged why; the user sees nothing.
    if (launch()) {
        m_bResultPending = true;
        ShowExecutePrompt(progressText);
    }
    m_operator.ReleaseResults();
}

void CQuorlinDlg::ShowExecutePrompt(const wchar_t* text)
{
    m_pExecutePrompt.reset();
    m_pExecutePrompt = std::make_unique<CExecutePromptDlg>(m_hWnd);
    m_pExecutePrompt->SetText(text);
    m_pExecutePrompt->SetScaleFactor(m_fScale);
    // A worker that ended while nothing waited for messages has closed no window yet; its close
    // request is remembered, so the prompt never waits for a message that has come already.
    if (!m_bWorkerReported) m_pExecutePrompt->DoModal();
}

bool CQuorlinDlg::OnExecutePromptClose(fx::Message& m)
{
    m_bWorkerReported = true;
    m.result = 0;
    if (!m_pExecutePrompt) return true;
    if (m_pExecutePrompt->IsWindow())
        m_pExecutePrompt->SendMessage(WM_EXECUTE_PROMPT_CLOSE);
    else
        m_pExecutePrompt->EndDialog(IDOK);  // the request came while its window was being made
    return true;
}

void CQuorlinDlg::ShowResultPrompt(const std::wstring& text)
{
    if (!text.empty()) ShowMessagePrompt(text, m_fScale, m_hWnd);
    m_bResultPending = false;
    CloseIfAsked();
}

CQuorlinDlg::CBusyScope::~CBusyScope()
{
    --m_window.m_nBusy;
    m_window.CloseIfAsked();
}

bool CQuorlinDlg::CloseNowOrLater()
{
    if (IsBusy()) {
        m_bCloseAsked = true;
        return false;
    }
    // Past its result a worker only writes its log record; the log must outlive it.
    m_operator.WaitForWorker();
    return true;
}

void CQuorlinDlg::CloseIfAsked()
{
    if (!m_bCloseAsked || IsBusy()) return;
    m_bCloseAsked = false;
    // Posted: the handler that ends the operation (and a worker waiting for it) finishes first.
    if (FrameWindow()) PostMessageW(FrameWindow(), WM_CLOSE, 0, 0);
}

bool CQuorlinDlg::OnOperationResult(fx::Message& m)
{
    const wchar_t* text = nullptr;
    switch (m.message) {
    case WM_DETECT_RESULT: text = TextFor(kDetectTexts, m.wParam); break;
    case WM_SAVE_KEY_RESULT: text = TextFor(kSaveKeyTexts, m.wParam); break;
    case WM_UNLOCK_RESULT: text = TextFor(kUnlockTexts, m.wParam); break;
    default: break;
    }
    ShowResultPrompt(text ? text : L"");
    m.result = 0;
    return true;
}

bool CQuorlinDlg::OnTurnOffResult(fx::Message& m)
{
    m.result = 0;
    const wchar_t* text = TextFor(kTurnOffTexts, m.wParam);
    std::wstring message = text ? text : L"";
    if (text && m.wParam == static_cast<WPARAM>(kTurnOffSome)) {
        // The worker is blocked in its SendMessageW meanwhile: the list is safe to read.
        for (std::size_t i = 0; i < m_operator.m_vecFailedVolumes.size(); ++i) {
            if (i > 0) message += kFailedNameSeparator;
            message += m_operator.m_vecFailedVolumes[i];
        }
    }
    ShowResultPrompt(message);
    return true;
}

bool CQuorlinDlg::ChooseTargetVolume()
{
    CSelectDiskDlg chooser;
    chooser.SetScaleFactor(m_fScale);
    chooser.SetVolumeMap(&m_operator.m_mapVolumes);
    if (chooser.DoModal() != IDOK) return false;
    m_strTargetVolume = chooser.GetSelectedVolume();
    return true;
}

bool CQuorlinDlg::OnSaveKey(fx::Message&)
{
    CBusyScope busy(*this);
    if (!ChooseTargetVolume()) return true;
    {
        CSelectSaveDiskDlg chooser;
        chooser.SetScaleFactor(m_fScale);
        chooser.SetVolumeMap(&m_operator.m_mapVolumes);
        if (chooser.DoModal() != IDOK) return true;
        m_strKeyFile = chooser.GetKeyFilePath();
    }
    RunWorker([this] { return m_operator.StartSaveKeyThread(m_strTargetVolume, m_strKeyFile); },
              L"正在保存密钥，请稍等");
    return true;
}

bool CQuorlinDlg::OnUnlock(fx::Message&)
{
    CBusyScope busy(*this);
    if (!ChooseTargetVolume()) return true;
    CInputDecryptionPassowrdDlg input;
    input.SetScaleFactor(m_fScale);
    if (input.DoModal() != IDOK) return true;
    const std::wstring recoveryKey = input.GetRecoveryKey();
    RunWorker([&] { return m_operator.StartUnlockThread(m_strTargetVolume, recoveryKey); }, L"正在解密，请稍等");
    return true;
}

bool CQuorlinDlg::OnTurnOff(fx::Message&)
{
    CBusyScope busy(*this);
    std::vector<std::wstring> volumes;
    {
        CCloseEncryptedDiskDlg chooser;
        chooser.SetScaleFactor(m_fScale);
        chooser.SetVolumeMap(&m_operator.m_mapVolumes);
        if (chooser.DoModal() != IDOK) return true;
        chooser.GetSelectedVolumes(volumes);
    }
    RunWorker([&] { return m_operator.StartTurnOffThread(volumes); }, L"正在关闭，请稍等");
    return true;
}

bool CQuorlinDlg::OnCloseButton(fx::Message&)
{
    {
        CProblemSolvingFeedbackDlg survey;
        survey.SetFeedbackDll(&m_feedback);
        survey.DoModal();
    }
    OnCancel();
    return true;
}

bool CQuorlinDlg::OnMinimise(fx::Message&)
{
    if (FrameWindow()) PostMessageW(FrameWindow(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    return true;
}

bool CQuorlinDlg::OnMoreTools(fx::Message&)
{
    m_feedback.OpenUrl(feedback::kMoreToolsUrl);
    return true;
}

bool CQuorlinDlg::OnAgree(fx::Message&)
{
    HANDLE thread = CreateThread(nullptr, 0, &CQuorlinDlg::EnableButtonsThread, m_hWnd, 0, nullptr);
    if (thread) CloseHandle(thread);
    return true;
}

DWORD WINAPI CQuorlinDlg::EnableButtonsThread(LPVOID window)
{
    // Only the window handle crosses to this thread: it touches no object of the window, which may
    // be gone by the time it runs (every call then fails harmlessly).
    const HWND dialog = static_cast<HWND>(window);
    const bool enabled = ::SendMessageW(GetDlgItem(dialog, IDC_MAIN_AGREE), BM_GETCHECK, 0, 0) == BST_CHECKED;
    bool first = true;
    for (int id : kActionButtons) {
        if (!first) Sleep(1);
        first = false;
        const HWND button = GetDlgItem(dialog, id);
        EnableWindow(button, enabled ? TRUE : FALSE);
        InvalidateRect(button, nullptr, TRUE);
    }
    return 1;
}
