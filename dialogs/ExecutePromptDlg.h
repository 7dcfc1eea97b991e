#pragma once
// The please-wait window shown modally while a worker runs: a centred white text whose dots count
// up once a second. No buttons, no drag, no way for the user to close it: only
// WM_EXECUTE_PROMPT_CLOSE ends it.
#include "controls/DrawTextStatic.h"
#include "dialogs/LayeredPair.h"

#include <string>

class CExecutePromptChildDlg : public CLayeredChildDlg
{
public:
    // Shown when the text given is shorter than two characters.
    static constexpr const wchar_t* kDefaultText = L"正在修复，请稍等";

    CExecutePromptChildDlg();
    void SetText(const std::wstring& text) { m_strText = text; }
    void StopDots() { m_stcInfo.StopDots(); }

protected:
    void DoDataExchange(fx::CDataExchange& exchange) override;
    void Layout(bool first) override;

private:
    CDrawStateInfoStatic m_stcInfo;
    std::wstring m_strText;
};

class CExecutePromptDlg : public CLayeredFrameDlg
{
public:
    explicit CExecutePromptDlg(HWND parent = nullptr);
    void SetText(const std::wstring& text) { m_strText = text; }

protected:
    std::unique_ptr<CLayeredChildDlg> CreateChildObject() override;
    bool ProcessMessage(fx::Message& message) override;
    // Nothing the user does closes it (Alt+F4, the system menu).
    void OnOK() override {}
    void OnCancel() override {}

private:
    bool OnExecutePromptClose(fx::Message& message);

    std::wstring m_strText;
};
