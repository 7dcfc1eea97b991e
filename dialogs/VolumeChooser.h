#pragma once
// What the two volume choosers share: a one-column list of the volume map's volumes under the
// header 磁盘分区, with a confirm and a cancel button below it and a close button in the title bar.
// The target volume chooser lets the user select one row, the turn-off chooser tick several.
#include "bitlocker/VolumeInfo.h"
#include "controls/ListCtrlEx.h"
#include "controls/PngButton.h"
#include "dialogs/ChooserLayout.h"
#include "framework/ImageList.h"

#include <memory>
#include <string>
#include <vector>

struct VolumeChooserDesign
{
    UINT templateId = 0;
    int closeId = 0;
    int confirmId = 0;
    int cancelId = 0;
    int listId = 0;
    UINT resultMessage = 0;  // the private message to the frame
    bool checkBoxes = false;
};

class CVolumeChooserChildDlg : public CLayeredChildDlg
{
public:
    explicit CVolumeChooserChildDlg(const VolumeChooserDesign& design);
    ~CVolumeChooserChildDlg() override;

    // The volumes to list (not owned; they must outlive the modal run). A null map is ignored.
    void SetVolumeMap(const VolumeInfoMap* volumes)
    {
        if (volumes) m_pVolumes = volumes;
    }

protected:
    void DoDataExchange(fx::CDataExchange& exchange) override;
    void Layout(bool first) override;
    void FreeControlImages() override;
    bool ProcessMessage(fx::Message& message) override;

    // The confirm button: collect the choice and tell the frame, or warn and stay open.
    virtual void OnConfirm() = 0;
    // The volume record of a row, or null (no list, no such row, or a row without a record).
    const BitLockerVolumeInfo* VolumeOfRow(int row) const;
    // The one-line warning of a chooser, as a message prompt at the chooser's scale.
    void ShowWarning(const std::wstring& text) const;
    CListCtrlEx* List() const { return m_pList.get(); }

private:
    bool OnButton(fx::Message& message);
    bool OnDestroy(fx::Message& message);
    void CreateList();
    void FillList();

    VolumeChooserDesign m_design;
    CPngButton m_btnClose;
    CImageButton m_btnConfirm;
    CImageButton m_btnCancel;
    fx::CImageList m_imageList;            // owned: the list only shares it
    std::unique_ptr<CListCtrlEx> m_pList;  // owned; none until the first layout
    // The copies of the volume records that the rows carry as their user data (owned here).
    std::vector<std::unique_ptr<BitLockerVolumeInfo>> m_records;
    const VolumeInfoMap* m_pVolumes = nullptr;  // not owned
};

// The frame of a volume chooser: it hands the map to its child; its result message handler
// takes the child's choice when the child confirms.
class CVolumeChooserDlg : public CLayeredFrameDlg
{
public:
    void SetVolumeMap(const VolumeInfoMap* volumes)
    {
        if (volumes) m_pVolumes = volumes;
    }

protected:
    CVolumeChooserDlg(UINT templateId, HWND parent);
    // Ends the modal run for the child's answer: IDOK for confirm, IDCANCEL otherwise.
    void EndWithAnswer(WPARAM answer);

    const VolumeInfoMap* m_pVolumes = nullptr;  // not owned
};
