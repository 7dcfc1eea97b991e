#pragma once
// The target volume chooser: the user selects the one volume whose key is saved or which is
// unlocked.
#include "dialogs/VolumeChooser.h"

class CSelectDiskChildDlg : public CVolumeChooserChildDlg
{
public:
    CSelectDiskChildDlg();
    const std::wstring& GetChosenVolume() const { return m_strChosenVolume; }

protected:
    void OnConfirm() override;

private:
    std::wstring m_strChosenVolume;
};

class CSelectDiskDlg : public CVolumeChooserDlg
{
public:
    explicit CSelectDiskDlg(HWND parent = nullptr);
    // After IDOK: the chosen volume's name, such as C:.
    std::wstring GetSelectedVolume() const { return m_strSelectedVolume; }

protected:
    std::unique_ptr<CLayeredChildDlg> CreateChildObject() override;
    bool ProcessMessage(fx::Message& message) override;

private:
    bool OnSelectDiskResult(fx::Message& message);

    std::wstring m_strSelectedVolume;
};
