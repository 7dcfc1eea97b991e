#pragma once
// The turn-off chooser: every volume starts ticked; the user unticks those to keep encrypted.
#include "dialogs/VolumeChooser.h"

class CCloseEncryptedDiskChildDlg : public CVolumeChooserChildDlg
{
public:
    CCloseEncryptedDiskChildDlg();
    const std::vector<std::wstring>& GetChosenVolumes() const { return m_vecChosenVolumes; }

protected:
    void OnConfirm() override;

private:
    std::vector<std::wstring> m_vecChosenVolumes;
};

class CCloseEncryptedDiskDlg : public CVolumeChooserDlg
{
public:
    explicit CCloseEncryptedDiskDlg(HWND parent = nullptr);
    // After IDOK: appends the ticked volumes' names in list order; false (nothing appended) when
    // there are none.
    bool GetSelectedVolumes(std::vector<std::wstring>& volumes) const;

protected:
    std::unique_ptr<CLayeredChildDlg> CreateChildObject() override;
    bool ProcessMessage(fx::Message& message) override;

private:
    bool OnCloseEncryptedDiskResult(fx::Message& message);

    std::vector<std::wstring> m_vecSelectedVolumes;
};
