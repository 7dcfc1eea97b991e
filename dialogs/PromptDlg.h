#pragma once
// The message prompt: a one-line (wrapped) message with one or two answer buttons.
#include "controls/DrawTextStatic.h"
#include "controls/PngButton.h"
#include "dialogs/LayeredPair.h"

#include <string>

// Which buttons a prompt shows: 是 (and 否) or 确认 (and 取消).
enum PromptKind
{
    kPromptYes = 1,
    kPromptYesNo = 2,
    kPromptConfirm = 3,
    kPromptConfirmCancel = 4,
};

// wParam of WM_PROMPT_RESULT from the child.
constexpr WPARAM kPromptAnswerOk = 1;
constexpr WPARAM kPromptAnswerCancel = 2;

class CPromptChildDlg : public CLayeredChildDlg
{
public:
    CPromptChildDlg();
    void SetText(const std::wstring& text) { m_strText = text; }
    void SetKind(int kind) { m_nKind = kind; }

protected:
    void DoDataExchange(fx::CDataExchange& exchange) override;
    void Layout(bool first) override;
    void FreeControlImages() override;
    bool ProcessMessage(fx::Message& message) override;

private:
    bool OnLeftButton(fx::Message& message);
    bool OnRightButton(fx::Message& message);
    bool OnCloseButton(fx::Message& message);

    CPngButton m_btnClose;
    CPngButton m_btnLeft;
    CPngButton m_btnRight;
    CDrawTextStatic m_stcMessage;
    std::wstring m_strText;
    int m_nKind = kPromptYes;
};

class CPromptDlg : public CLayeredFrameDlg
{
public:
    explicit CPromptDlg(HWND parent = nullptr);
    void SetText(const std::wstring& text) { m_strText = text; }
    void SetKind(int kind) { m_nKind = kind; }

protected:
    std::unique_ptr<CLayeredChildDlg> CreateChildObject() override;
    bool ProcessMessage(fx::Message& message) override;

private:
    bool OnPromptResult(fx::Message& message);

    std::wstring m_strText;
    int m_nKind = kPromptYes;
};

// Shows `text` in a kind 3 prompt (one confirm button) owned by `owner` (by default the active
// window), at scale `scale`, and waits until the user has dismissed it.
void ShowMessagePrompt(const std::wstring& text, float scale, HWND owner = nullptr);
