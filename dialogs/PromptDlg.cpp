#include "dialogs/PromptDlg.h"

#include "framework/MessageMap.h"
#include "framework/Scale.h"
#include "res/PrivateMessages.h"
#include "res/resource.h"

namespace {
const FrameDesign kPromptFrame{IDD_PROMPT_FRAME, IDB_PROMPT_FRAME, {336, 156}, {5, 3, 5, 7}};
// The prompt's strip stays 30 x (width - 26) at every scale.
const ChildDesign kPromptChild{IDD_PROMPT_CHILD, IDB_PROMPT_BACKGROUND, {30, 26, false}, false};

struct ButtonImages
{
    UINT normal, hover, pressed;
};
constexpr ButtonImages kYes{IDB_YES_NORMAL, IDB_YES_HOVER, IDB_YES_PRESSED};
constexpr ButtonImages kNo{IDB_NO_NORMAL, IDB_NO_HOVER, IDB_NO_PRESSED};
constexpr ButtonImages kConfirm{IDB_CONFIRM_NORMAL, IDB_CONFIRM_HOVER, IDB_CONFIRM_PRESSED};
constexpr ButtonImages kCancel{IDB_CANCEL_NORMAL, IDB_CANCEL_HOVER, IDB_CANCEL_PRESSED};

// Three-image sets: the pressed image serves as the disabled one.
void SetThreeStateImages(CPngButton& button, const ButtonImages& images)
{
    button.SetStateImages(images.normal, images.hover, images.pressed, images.pressed);
}

// Answer buttons at scale 1.0: 55 x 24, 107 from the top, 12 either side of the middle.
constexpr float kButtonWidth = 55;
constexpr float kButtonHeight = 24;
constexpr float kButtonTop = 107;
constexpr float kButtonGap = 12;
}  // namespace

CPromptChildDlg::CPromptChildDlg() : CLayeredChildDlg(kPromptChild) {}

void CPromptChildDlg::DoDataExchange(fx::CDataExchange& dx)
{
    fx::DDX_Control(dx, IDC_PROMPT_CLOSE, m_btnClose);
    fx::DDX_Control(dx, IDC_PROMPT_LEFT, m_btnLeft);
    fx::DDX_Control(dx, IDC_PROMPT_RIGHT, m_btnRight);
    fx::DDX_Control(dx, IDC_PROMPT_TEXT, m_stcMessage);
}

void CPromptChildDlg::Layout(bool first)
{
    const RECT client = GetClientRect();
    const float s = m_fScale;
    const float left = static_cast<float>(client.left);
    const float top = static_cast<float>(client.top);
    const float right = static_cast<float>(client.right);
    const float bottom = static_cast<float>(client.bottom);
    const int half = (client.right - client.left) / 2;
    const int buttonWidth = fx::Scaled(kButtonWidth, s);
    const int buttonHeight = fx::Scaled(kButtonHeight, s);
    const int buttonTop = static_cast<int>(top + kButtonTop * s);

    const int closeLeft = static_cast<int>(right - 26 * s);
    const int closeTop = static_cast<int>(top + 8 * s);
    m_btnClose.MoveWindow(closeLeft, closeTop, fx::Scaled(12, s), fx::Scaled(12, s));
    if (first) {
        m_btnClose.SetSkin(s, BackgroundImage(), {321, 8, 333, 20});
        m_btnClose.SetStateImages(IDB_CHILD_CLOSE_NORMAL, IDB_CHILD_CLOSE_HOVER, IDB_CHILD_CLOSE_PRESSED,
                                  IDB_CHILD_CLOSE_PRESSED);
        m_btnLeft.SetSkin(s, BackgroundImage(), {106, 107, 161, 131});
        m_btnRight.SetSkin(s, BackgroundImage(), {185, 107, 240, 131});
    }
    m_btnLeft.MoveWindow(static_cast<int>(half - kButtonWidth * s - kButtonGap * s), buttonTop, buttonWidth,
                         buttonHeight);
    m_btnRight.MoveWindow(static_cast<int>(half + kButtonGap * s), buttonTop, buttonWidth, buttonHeight);

    const bool confirmPair = m_nKind == kPromptConfirm || m_nKind == kPromptConfirmCancel;
    if (first) {
        SetThreeStateImages(m_btnLeft, confirmPair ? kConfirm : kYes);
        SetThreeStateImages(m_btnRight, confirmPair ? kCancel : kNo);
    }
    const bool twoButtons = m_nKind == kPromptYesNo || m_nKind == kPromptConfirmCancel;
    const bool centred = m_nKind == kPromptYes || m_nKind == kPromptConfirm;
    m_btnRight.ShowWindow(twoButtons ? SW_SHOW : SW_HIDE);
    m_btnLeft.ShowWindow(SW_SHOW);
    if (centred) {
        m_btnLeft.MoveWindow(static_cast<int>(half - kButtonWidth * s / 2), fx::Scaled(kButtonTop, s), buttonWidth,
                             buttonHeight);
    }

    if (first) m_stcMessage.SetFont(0, 0);
    const int labelLeft = static_cast<int>(left + 10 * s);
    const int labelTop = static_cast<int>(top + 50 * s);
    const int labelRight = static_cast<int>(right - 10 * s);
    const int labelBottom = static_cast<int>(bottom - 40 * s);
    m_stcMessage.MoveWindow(labelLeft, labelTop, labelRight - labelLeft, labelBottom - labelTop);
    m_stcMessage.SetWindowText(m_strText);
}

void CPromptChildDlg::FreeControlImages()
{
    m_btnClose.FreeStateImages();
    m_btnLeft.FreeStateImages();
    m_btnRight.FreeStateImages();
}

bool CPromptChildDlg::ProcessMessage(fx::Message& m)
{
    static const fx::MessageEntry<CPromptChildDlg> map[] = {
        fx::OnCommand(IDC_PROMPT_LEFT, BN_CLICKED, &CPromptChildDlg::OnLeftButton),
        fx::OnCommand(IDC_PROMPT_RIGHT, BN_CLICKED, &CPromptChildDlg::OnRightButton),
        fx::OnCommand(IDC_PROMPT_CLOSE, BN_CLICKED, &CPromptChildDlg::OnCloseButton),
    };
    return fx::Dispatch(*this, map, m) || CLayeredChildDlg::ProcessMessage(m);
}

bool CPromptChildDlg::OnLeftButton(fx::Message&)
{
    NotifyFrame(WM_PROMPT_RESULT, kPromptAnswerOk);
    return true;
}

bool CPromptChildDlg::OnRightButton(fx::Message&)
{
    NotifyFrame(WM_PROMPT_RESULT, kPromptAnswerCancel);
    return true;
}

bool CPromptChildDlg::OnCloseButton(fx::Message&)
{
    OnCancel();  // WM_CLOSE to the frame
    return true;
}

CPromptDlg::CPromptDlg(HWND parent) : CLayeredFrameDlg(kPromptFrame, parent) {}

std::unique_ptr<CLayeredChildDlg> CPromptDlg::CreateChildObject()
{
    auto child = std::make_unique<CPromptChildDlg>();
    child->SetText(m_strText);
    child->SetKind(m_nKind);
    return child;
}

bool CPromptDlg::ProcessMessage(fx::Message& m)
{
    static const fx::MessageEntry<CPromptDlg> map[] = {
        fx::OnMessage(WM_PROMPT_RESULT, &CPromptDlg::OnPromptResult),
    };
    return fx::Dispatch(*this, map, m) || CLayeredFrameDlg::ProcessMessage(m);
}

bool CPromptDlg::OnPromptResult(fx::Message& m)
{
    EndDialog(m.wParam == kPromptAnswerOk ? IDOK : IDCANCEL);
    m.result = 0;
    return true;
}

void ShowMessagePrompt(const std::wstring& text, float scale, HWND owner)
{
    CPromptDlg prompt(owner);
    prompt.SetScaleFactor(scale);
    prompt.SetText(text);
    prompt.SetKind(kPromptConfirm);
    prompt.DoModal();
}
