#include "dialogs/InputDecryptionPassowrdDlg.h"

#include "dialogs/ChooserLayout.h"
#include "dialogs/PromptDlg.h"
#include "framework/MessageMap.h"
#include "framework/Scale.h"
#include "res/PrivateMessages.h"
#include "res/resource.h"

namespace {
const FrameDesign kKeyInputFrame{IDD_KEY_INPUT_FRAME, IDB_PROMPT_FRAME, {336, 156}, {5, 3, 5, 7}};
const ChildDesign kKeyInputChild{IDD_KEY_INPUT_CHILD, IDB_PROMPT_BACKGROUND, kChooserDragStrip, false};
}  // namespace

CInputDecryptionPassowrdChildDlg::CInputDecryptionPassowrdChildDlg() : CLayeredChildDlg(kKeyInputChild) {}

void CInputDecryptionPassowrdChildDlg::DoDataExchange(fx::CDataExchange& dx)
{
    fx::DDX_Control(dx, IDC_KEY_INPUT_CLOSE, m_btnClose);
    fx::DDX_Control(dx, IDC_KEY_INPUT_CAPTION, m_stcCaption);
    fx::DDX_Control(dx, IDC_KEY_INPUT_OK, m_btnOk);
}

void CInputDecryptionPassowrdChildDlg::Layout(bool first)
{
    const RECT client = GetClientRect();
    const float s = m_fScale;
    PlaceChildCloseButton(m_btnClose, client, s);
    PlaceRow(m_stcCaption, client, s, 10, 42, 10, kTextRowHeight);
    PlaceRow(fx::CWindow(GetDlgItem(m_hWnd, IDC_KEY_INPUT_EDIT)), client, s, 10, 62, 10, kEditRowHeight);
    PlaceCentredConfirm(m_btnOk, client, s);
    if (first) {
        SetUpChildCloseButton(m_btnClose, s, BackgroundImage(), {321, 8, 333, 20});
        SetUpLabel(m_stcCaption, RGB(0, 0, 0));
        SetUpConfirmButton(m_btnOk, s, BackgroundImage(), {106, 107, 161, 131});
    }
}

void CInputDecryptionPassowrdChildDlg::FreeControlImages()
{
    m_btnClose.FreeStateImages();
    m_btnOk.FreeStateImages();
}

bool CInputDecryptionPassowrdChildDlg::ProcessMessage(fx::Message& m)
{
    static const fx::MessageEntry<CInputDecryptionPassowrdChildDlg> map[] = {
        fx::OnCommand(IDC_KEY_INPUT_OK, BN_CLICKED, &CInputDecryptionPassowrdChildDlg::OnConfirm),
        fx::OnCommand(IDC_KEY_INPUT_CLOSE, BN_CLICKED, &CInputDecryptionPassowrdChildDlg::OnCloseButton),
    };
    return fx::Dispatch(*this, map, m) || CLayeredChildDlg::ProcessMessage(m);
}

bool CInputDecryptionPassowrdChildDlg::OnConfirm(fx::Message&)
{
    // Handed on exactly as typed: no trimming, no check of digits or groups here.
    const std::wstring key = fx::CWindow(GetDlgItem(m_hWnd, IDC_KEY_INPUT_EDIT)).GetWindowText();
    if (key.empty()) {
        ShowMessagePrompt(L"请输入此驱动器的恢复密钥！", m_fScale);
        return true;
    }
    m_strRecoveryKey = key;
    NotifyFrame(WM_INPUT_PASSWORD_RESULT, kChooserConfirm);
    return true;
}

bool CInputDecryptionPassowrdChildDlg::OnCloseButton(fx::Message&)
{
    OnCancel();  // WM_CLOSE to the frame
    return true;
}

CInputDecryptionPassowrdDlg::CInputDecryptionPassowrdDlg() : CLayeredFrameDlg(kKeyInputFrame) {}

std::unique_ptr<CLayeredChildDlg> CInputDecryptionPassowrdDlg::CreateChildObject()
{
    return std::make_unique<CInputDecryptionPassowrdChildDlg>();
}

bool CInputDecryptionPassowrdDlg::ProcessMessage(fx::Message& m)
{
    static const fx::MessageEntry<CInputDecryptionPassowrdDlg> map[] = {
        fx::OnMessage(WM_INPUT_PASSWORD_RESULT, &CInputDecryptionPassowrdDlg::OnInputResult),
    };
    return fx::Dispatch(*this, map, m) || CLayeredFrameDlg::ProcessMessage(m);
}

bool CInputDecryptionPassowrdDlg::OnInputResult(fx::Message& m)
{
    const auto* child = static_cast<const CInputDecryptionPassowrdChildDlg*>(GetChild());
    if (m.wParam == kChooserConfirm && child) {
        m_strRecoveryKey = child->GetRecoveryKey();
        EndDialog(IDOK);
    } else {
        EndDialog(IDCANCEL);
    }
    m.result = 0;
    return true;
}
