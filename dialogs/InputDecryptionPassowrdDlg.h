#pragma once
// The recovery key input: one caption, one edit field and a confirm button. It checks only that
// something was typed; the unlock worker checks and normalises the key.
#include "controls/DrawTextStatic.h"
#include "controls/PngButton.h"
#include "dialogs/LayeredPair.h"

#include <string>

class CInputDecryptionPassowrdChildDlg : public CLayeredChildDlg
{
public:
    CInputDecryptionPassowrdChildDlg();
    const std::wstring& GetRecoveryKey() const { return m_strRecoveryKey; }

protected:
    void DoDataExchange(fx::CDataExchange& exchange) override;
    void Layout(bool first) override;
    void FreeControlImages() override;
    bool ProcessMessage(fx::Message& message) override;

private:
    bool OnConfirm(fx::Message& message);
    bool OnCloseButton(fx::Message& message);

    CPngButton m_btnClose;
    CDrawTextStatic m_stcCaption;
    CImageButton m_btnOk;
    std::wstring m_strRecoveryKey;
};

class CInputDecryptionPassowrdDlg : public CLayeredFrameDlg
{
public:
    CInputDecryptionPassowrdDlg();
    // The key exactly as typed; valid after IDOK.
    std::wstring GetRecoveryKey() const { return m_strRecoveryKey; }

protected:
    std::unique_ptr<CLayeredChildDlg> CreateChildObject() override;
    bool ProcessMessage(fx::Message& message) override;

private:
    bool OnInputResult(fx::Message& message);

    std::wstring m_strRecoveryKey;
};
