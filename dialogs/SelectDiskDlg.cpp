#include "dialogs/SelectDiskDlg.h"

#include "framework/MessageMap.h"
#include "res/PrivateMessages.h"
#include "res/resource.h"

namespace {
const VolumeChooserDesign kSelectDisk{IDD_SELECT_DISK_CHILD,
                                      IDC_SELECT_DISK_CLOSE,
                                      IDC_SELECT_DISK_OK,
                                      IDC_SELECT_DISK_CANCEL,
                                      IDC_SELECT_DISK_LIST,
                                      WM_SELECT_DISK_RESULT,
                                      false};
constexpr wchar_t kNoVolumeSelected[] = L"请选择磁盘分区！";
}  // namespace

CSelectDiskChildDlg::CSelectDiskChildDlg() : CVolumeChooserChildDlg(kSelectDisk) {}

void CSelectDiskChildDlg::OnConfirm()
{
    // The list allows one selection. A row without its record counts as none.
    const int row = List() ? List()->GetSelectedItem() : -1;
    const BitLockerVolumeInfo* volume = row >= 0 ? VolumeOfRow(row) : nullptr;
    if (!volume) {
        ShowWarning(kNoVolumeSelected);
        return;
    }
    m_strChosenVolume = volume->strVolume;
    NotifyFrame(WM_SELECT_DISK_RESULT, kChooserConfirm);
}

CSelectDiskDlg::CSelectDiskDlg(HWND parent) : CVolumeChooserDlg(IDD_SELECT_DISK_FRAME, parent) {}

std::unique_ptr<CLayeredChildDlg> CSelectDiskDlg::CreateChildObject()
{
    auto child = std::make_unique<CSelectDiskChildDlg>();
    child->SetVolumeMap(m_pVolumes);
    return child;
}

bool CSelectDiskDlg::ProcessMessage(fx::Message& m)
{
    static const fx::MessageEntry<CSelectDiskDlg> map[] = {
        fx::OnMessage(WM_SELECT_DISK_RESULT, &CSelectDiskDlg::OnSelectDiskResult),
    };
    return fx::Dispatch(*this, map, m) || CVolumeChooserDlg::ProcessMessage(m);
}

bool CSelectDiskDlg::OnSelectDiskResult(fx::Message& m)
{
    const auto* child = static_cast<const CSelectDiskChildDlg*>(GetChild());
    if (m.wParam == kChooserConfirm && child) m_strSelectedVolume = child->GetChosenVolume();
    EndWithAnswer(m.wParam);
    m.result = 0;
    return true;
}
