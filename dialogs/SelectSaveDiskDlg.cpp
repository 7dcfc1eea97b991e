#include "dialogs/SelectSaveDiskDlg.h"

#include "bitlocker/BitLockerOperator.h"
#include "dialogs/ChooserLayout.h"
#include "dialogs/KeyFileLocation.h"
#include "dialogs/PromptDlg.h"
#include "framework/FileDialog.h"
#include "framework/MessageMap.h"
#include "framework/Scale.h"
#include "res/PrivateMessages.h"
#include "res/resource.h"

namespace {
const FrameDesign kSaveLocationFrame{IDD_SAVE_LOCATION_FRAME, IDB_PROMPT_FRAME, {336, 156}, {5, 3, 5, 7}};
const ChildDesign kSaveLocationChild{IDD_SAVE_LOCATION_CHILD, IDB_PROMPT_BACKGROUND, kChooserDragStrip, false};

// The browse button: 55 x 24, 60 from the right edge and 50 from the top.
constexpr float kBrowseRight = 60;
constexpr float kBrowseTop = 50;
constexpr float kBrowseWidth = 55;
constexpr float kBrowseHeight = 24;
// The path field and the warning end 63 before the right edge, left of the browse button.
constexpr int kFieldRightMargin = 63;
}  // namespace

CSelectSaveDiskChildDlg::CSelectSaveDiskChildDlg() : CLayeredChildDlg(kSaveLocationChild) {}

void CSelectSaveDiskChildDlg::SetVolumeMap(const VolumeInfoMap* map)
{
    if (map) m_pVolumes = map;
}

void CSelectSaveDiskChildDlg::DoDataExchange(fx::CDataExchange& dx)
{
    fx::DDX_Control(dx, IDC_SAVE_LOCATION_CLOSE, m_btnClose);
    fx::DDX_Control(dx, IDC_SAVE_LOCATION_BROWSE, m_btnBrowse);
    fx::DDX_Control(dx, IDC_SAVE_LOCATION_WARNING, m_stcWarning);
    fx::DDX_Control(dx, IDC_SAVE_LOCATION_OK, m_btnOk);
}

fx::CWindow CSelectSaveDiskChildDlg::PathEdit() const
{
    return fx::CWindow(GetDlgItem(m_hWnd, IDC_SAVE_LOCATION_PATH));
}

void CSelectSaveDiskChildDlg::Layout(bool first)
{
    const RECT client = GetClientRect();
    const float s = m_fScale;
    PlaceChildCloseButton(m_btnClose, client, s);
    PlaceRow(PathEdit(), client, s, 10, 52, kFieldRightMargin, kEditRowHeight);
    PlaceRow(m_stcWarning, client, s, 10, 82, kFieldRightMargin, kEditRowHeight);
    m_btnBrowse.MoveWindow(static_cast<int>(client.right - kBrowseRight * s),
                           static_cast<int>(client.top + kBrowseTop * s), fx::Scaled(kBrowseWidth, s),
                           fx::Scaled(kBrowseHeight, s));
    PlaceCentredConfirm(m_btnOk, client, s);
    if (first) {
        SetUpChildCloseButton(m_btnClose, s, BackgroundImage(), {321, 8, 333, 20});
        SetUpLabel(m_stcWarning, RGB(255, 0, 0));
        m_btnBrowse.SetSkin(s, BackgroundImage(), {185, 107, 240, 131});
        m_btnBrowse.SetHotInsets(0, 0, 0, 0);
        m_btnBrowse.SetStateImages(IDB_BROWSE_NORMAL, IDB_BROWSE_HOVER, IDB_BROWSE_PRESSED, IDB_BROWSE_DISABLED);
        SetUpConfirmButton(m_btnOk, s, BackgroundImage(), {106, 107, 161, 131});
    }
}

void CSelectSaveDiskChildDlg::FreeControlImages()
{
    m_btnClose.FreeStateImages();
    m_btnBrowse.FreeStateImages();
    m_btnOk.FreeStateImages();
}

bool CSelectSaveDiskChildDlg::ProcessMessage(fx::Message& m)
{
    static const fx::MessageEntry<CSelectSaveDiskChildDlg> map[] = {
        fx::OnCommand(IDC_SAVE_LOCATION_BROWSE, BN_CLICKED, &CSelectSaveDiskChildDlg::OnBrowse),
        fx::OnCommand(IDC_SAVE_LOCATION_OK, BN_CLICKED, &CSelectSaveDiskChildDlg::OnConfirm),
        fx::OnCommand(IDC_SAVE_LOCATION_CLOSE, BN_CLICKED, &CSelectSaveDiskChildDlg::OnCloseButton),
    };
    return fx::Dispatch(*this, map, m) || CLayeredChildDlg::ProcessMessage(m);
}

bool CSelectSaveDiskChildDlg::OnBrowse(fx::Message&)
{
    std::vector<std::wstring> candidates;
    // Without the map or the drive list nothing can be judged: an internal error, never "every drive
    // is encrypted".
    if (!m_pVolumes || !CBitLockerOperator::GetCandidateDrives(&candidates)) {
        ShowMessagePrompt(L"工具内部错误，请与软件提拱商联系！", m_fScale);
        return true;
    }
    const std::wstring drive = ProposeKeyFileDrive(candidates, *m_pVolumes);
    if (drive.empty()) {
        ShowMessagePrompt(L"您当前所有磁盘为加密磁盘，请连接未加密磁盘！", m_fScale);
        return true;
    }
    fx::SaveAsOptions options;
    options.folder = drive + L"\\";
    options.fileName = ProposedKeyFileName(drive);
    options.defaultExtension = L"txt";
    options.filterName = L"数据文档(*.txt)";
    options.filterPattern = L"*.txt";
    // The chooser owns the Save As dialog, so that nothing of it can be clicked meanwhile.
    const std::wstring path = fx::ShowSaveAsDialog(m_hWnd, options);
    // The chooser takes the activation back from whatever window the system gave it to when the
    // dialog closed, so that the next click and key reach it.
    SetActiveWindow(m_hWnd);
    if (path.empty()) return true;
    // The key must never land on a volume that it unlocks.
    if (IsOnEncryptedVolume(path, *m_pVolumes)) {
        ShowMessagePrompt(L"请选择未加密磁盘！", m_fScale);
        return true;
    }
    PathEdit().SetWindowText(path);
    return true;
}

bool CSelectSaveDiskChildDlg::OnConfirm(fx::Message&)
{
    const std::wstring path = PathEdit().GetWindowText();
    if (path.empty()) {
        ShowMessagePrompt(L"请选保存密码位置！", m_fScale);
        return true;
    }
    m_strKeyFilePath = path;
    NotifyFrame(WM_SELECT_SAVE_DISK_RESULT, kChooserConfirm);
    return true;
}

bool CSelectSaveDiskChildDlg::OnCloseButton(fx::Message&)
{
    OnCancel();  // WM_CLOSE to the frame
    return true;
}

CSelectSaveDiskDlg::CSelectSaveDiskDlg() : CLayeredFrameDlg(kSaveLocationFrame) {}

void CSelectSaveDiskDlg::SetVolumeMap(const VolumeInfoMap* map)
{
    if (map) m_pVolumes = map;
}

std::unique_ptr<CLayeredChildDlg> CSelectSaveDiskDlg::CreateChildObject()
{
    auto child = std::make_unique<CSelectSaveDiskChildDlg>();
    child->SetVolumeMap(m_pVolumes);
    return child;
}

bool CSelectSaveDiskDlg::ProcessMessage(fx::Message& m)
{
    static const fx::MessageEntry<CSelectSaveDiskDlg> map[] = {
        fx::OnMessage(WM_SELECT_SAVE_DISK_RESULT, &CSelectSaveDiskDlg::OnSaveDiskResult),
    };
    return fx::Dispatch(*this, map, m) || CLayeredFrameDlg::ProcessMessage(m);
}

bool CSelectSaveDiskDlg::OnSaveDiskResult(fx::Message& m)
{
    const auto* child = static_cast<const CSelectSaveDiskChildDlg*>(GetChild());
    if (m.wParam == kChooserConfirm && child) {
        m_strKeyFilePath = child->GetKeyFilePath();
        EndDialog(IDOK);
    } else {
        EndDialog(IDCANCEL);
    }
    m.result = 0;
    return true;
}
