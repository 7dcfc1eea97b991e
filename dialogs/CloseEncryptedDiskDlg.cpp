#include "dialogs/CloseEncryptedDiskDlg.h"

#include "framework/MessageMap.h"
#include "res/PrivateMessages.h"
#include "res/resource.h"

namespace {
const VolumeChooserDesign kTurnOff{IDD_TURN_OFF_CHILD,
                                   IDC_TURN_OFF_CLOSE,
                                   IDC_TURN_OFF_OK,
                                   IDC_TURN_OFF_CANCEL,
                                   IDC_TURN_OFF_LIST,
                                   WM_CLOSE_ENCRYPTED_DISK_RESULT,
                                   true};
constexpr wchar_t kNoVolumeTicked[] = L"请选择要关闭加密磁盘！";
}  // namespace

CCloseEncryptedDiskChildDlg::CCloseEncryptedDiskChildDlg() : CVolumeChooserChildDlg(kTurnOff) {}

void CCloseEncryptedDiskChildDlg::OnConfirm()
{
    // Rebuilt at every confirm: one that ends in the warning leaves nothing behind.
    m_vecChosenVolumes.clear();
    const int rows = List() ? List()->GetItemCount() : 0;
    for (int row = 0; row < rows; ++row) {
        const BitLockerVolumeInfo* volume = VolumeOfRow(row);
        if (volume && List()->IsItemChecked(row)) m_vecChosenVolumes.push_back(volume->strVolume);
    }
    if (m_vecChosenVolumes.empty()) {
        ShowWarning(kNoVolumeTicked);
        return;
    }
    NotifyFrame(WM_CLOSE_ENCRYPTED_DISK_RESULT, kChooserConfirm);
}

CCloseEncryptedDiskDlg::CCloseEncryptedDiskDlg(HWND parent) : CVolumeChooserDlg(IDD_TURN_OFF_FRAME, parent) {}

std::unique_ptr<CLayeredChildDlg> CCloseEncryptedDiskDlg::CreateChildObject()
{
    auto child = std::make_unique<CCloseEncryptedDiskChildDlg>();
    child->SetVolumeMap(m_pVolumes);
    return child;
}

bool CCloseEncryptedDiskDlg::GetSelectedVolumes(std::vector<std::wstring>& volumes) const
{
    if (m_vecSelectedVolumes.empty()) return false;
    volumes.insert(volumes.end(), m_vecSelectedVolumes.begin(), m_vecSelectedVolumes.end());
    return true;
}

bool CCloseEncryptedDiskDlg::ProcessMessage(fx::Message& m)
{
    static const fx::MessageEntry<CCloseEncryptedDiskDlg> map[] = {
        fx::OnMessage(WM_CLOSE_ENCRYPTED_DISK_RESULT, &CCloseEncryptedDiskDlg::OnCloseEncryptedDiskResult),
    };
    return fx::Dispatch(*this, map, m) || CVolumeChooserDlg::ProcessMessage(m);
}

bool CCloseEncryptedDiskDlg::OnCloseEncryptedDiskResult(fx::Message& m)
{
    const auto* child = static_cast<const CCloseEncryptedDiskChildDlg*>(GetChild());
    if (m.wParam == kChooserConfirm && child) {
        const auto& chosen = child->GetChosenVolumes();
        m_vecSelectedVolumes.insert(m_vecSelectedVolumes.end(), chosen.begin(), chosen.end());
    }
    EndWithAnswer(m.wParam);
    m.result = 0;
    return true;
}
