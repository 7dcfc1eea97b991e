#pragma once
// The key file location chooser: a read-only path field filled through the system's Save As
// dialog, which opens on the first drive that is not an encrypted volume. A path on an encrypted
// volume is refused, as the red line under the field says.
#include "bitlocker/VolumeInfo.h"
#include "controls/DrawTextStatic.h"
#include "controls/PngButton.h"
#include "dialogs/LayeredPair.h"

#include <string>

class CSelectSaveDiskChildDlg : public CLayeredChildDlg
{
public:
    CSelectSaveDiskChildDlg();
    // A null map is ignored.
    void SetVolumeMap(const VolumeInfoMap* map);
    const std::wstring& GetKeyFilePath() const { return m_strKeyFilePath; }

protected:
    void DoDataExchange(fx::CDataExchange& exchange) override;
    void Layout(bool first) override;
    void FreeControlImages() override;
    bool ProcessMessage(fx::Message& message) override;

private:
    bool OnBrowse(fx::Message& message);
    bool OnConfirm(fx::Message& message);
    bool OnCloseButton(fx::Message& message);
    fx::CWindow PathEdit() const;

    CPngButton m_btnClose;
    CImageButton m_btnBrowse;
    CDrawTextStatic m_stcWarning;
    CImageButton m_btnOk;
    const VolumeInfoMap* m_pVolumes = nullptr;  // not owned: the operator's map
    std::wstring m_strKeyFilePath;
};

class CSelectSaveDiskDlg : public CLayeredFrameDlg
{
public:
    CSelectSaveDiskDlg();
    // A null map is ignored (the previous one stays).
    void SetVolumeMap(const VolumeInfoMap* map);
    // The full path the Save As dialog returned; valid after IDOK.
    std::wstring GetKeyFilePath() const { return m_strKeyFilePath; }

protected:
    std::unique_ptr<CLayeredChildDlg> CreateChildObject() override;
    bool ProcessMessage(fx::Message& message) override;

private:
    bool OnSaveDiskResult(fx::Message& message);

    const VolumeInfoMap* m_pVolumes = nullptr;  // not owned
    std::wstring m_strKeyFilePath;
};
