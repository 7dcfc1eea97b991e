#pragma once
// The window the user works with: the child of the layered shell frame that draws its shadow, painted
// with a full-window picture. It leads the frame from its first placement on: the frame follows its
// moves and never carries it. Three large buttons start the operations on the volumes that the
// detection found; the bottom row holds the agreement check box and link and the report-a-problem link.
#include "app/ClickHook.h"
#include "bitlocker/BitLockerOperator.h"
#include "controls/CheckBoxBtn.h"
#include "controls/DrawTextStatic.h"
#include "controls/PngButton.h"
#include "dialogs/ExecutePromptDlg.h"
#include "dialogs/LayeredPair.h"
#include "services/FeedbackDll.h"
#include "services/TooltipDlg.h"

#include <memory>
#include <string>

// What a start-up check that fails shows before the program ends.
constexpr const wchar_t kInitFailedText[] = L"工具初始化失败";

class CQuorlinDlg : public CLayeredChildDlg
{
public:
    // Timers of the main window.
    static constexpr UINT_PTR kHoverTimer = 33;
    static constexpr UINT_PTR kVersionCheckTimer = 38;
    static constexpr UINT_PTR kDetectTimer = 39;
    static constexpr UINT kTimerPeriodMs = 100;

    CQuorlinDlg();
    ~CQuorlinDlg() override;

    // Whether the program may end now: no worker is running (it reports to this window and uses
    // the operator that lives in it).
    bool CanClose() const { return !m_operator.IsWorkerRunning(); }
    // A close of the program: false while a chooser, an input or an operation is up, and then it
    // is carried out once the operation's result has been shown and dismissed. Otherwise waits for
    // a worker that is only writing its log record after its result, and returns true.
    bool CloseNowOrLater();

protected:
    void DoDataExchange(fx::CDataExchange& exchange) override;
    BOOL OnInitDialog() override;
    bool ProcessMessage(fx::Message& message) override;

private:
    // Start-up: each check ends the process after a prompt when it fails.
    void RunStartupChecks();
    [[noreturn]] void FailStartup(const wchar_t* message) const;
    void Layout(bool first) override;
    void LayoutBottomRow(const RECT& client);
    void FreeControlImages() override;

    bool OnDestroy(fx::Message& message);
    bool OnNcHitTest(fx::Message& message);
    bool OnLButtonDown(fx::Message& message);
    bool OnLButtonDoubleClick(fx::Message& message);
    bool OnHoverTimer(fx::Message& message);
    bool OnVersionCheckTimer(fx::Message& message);
    bool OnDetectTimer(fx::Message& message);
    bool OnCloseButton(fx::Message& message);
    bool OnMinimise(fx::Message& message);
    bool OnSaveKey(fx::Message& message);
    bool OnUnlock(fx::Message& message);
    bool OnTurnOff(fx::Message& message);
    bool OnMoreTools(fx::Message& message);
    bool OnAgree(fx::Message& message);
    bool OnExecutePromptClose(fx::Message& message);
    // The results of the detection, the save and the unlock: a prompt with the outcome's text.
    bool OnOperationResult(fx::Message& message);
    bool OnTurnOffResult(fx::Message& message);
    bool OnHookLButtonDown(fx::Message& message);

    // Marks the window busy for the life of an operation's handler (its choosers, the key input,
    // the Save As dialog, the progress prompt); a close asked for meanwhile waits for its end.
    class CBusyScope
    {
    public:
        explicit CBusyScope(CQuorlinDlg& window) : m_window(window) { ++m_window.m_nBusy; }
        ~CBusyScope();
        CBusyScope(const CBusyScope&) = delete;
        CBusyScope& operator=(const CBusyScope&) = delete;

    private:
        CQuorlinDlg& m_window;
    };
    bool IsBusy() const { return m_nBusy > 0 || m_bResultPending; }
    // Carries out a close that waited, once nothing is up any more.
    void CloseIfAsked();

    // The target volume chooser; false when the user closed it without a choice.
    bool ChooseTargetVolume();
    // Starts a worker with `launch` and shows the please-wait prompt until the worker closes it.
    template <class TLaunch>
    void RunWorker(TLaunch launch, const wchar_t* progressText);
    void ShowExecutePrompt(const wchar_t* text);
    // A result message in a one-button prompt over this window (nothing for an empty text); the
    // operation is over when it has been dismissed.
    void ShowResultPrompt(const std::wstring& text);
    static DWORD WINAPI EnableButtonsThread(LPVOID self);

    RECT m_rcClient{};
    CDrawTextStatic m_stcVersion;
    CPngButton m_btnClose;
    CPngButton m_btnMinimise;
    CImageButton m_btnSaveKey;
    CImageButton m_btnUnlock;
    CImageButton m_btnTurnOff;
    CImageButton m_btnMoreTools;
    CCheckBoxBtn m_chkAgree;
    CDrawTextStatic m_stcAgreementLink;
    CDrawTextStatic m_stcFeedbackLink;
    CFeedbackDll m_feedback;
    CClickHook m_clickHook;
    std::wstring m_strTargetVolume;
    std::wstring m_strKeyFile;
    CBitLockerOperator m_operator;
    std::unique_ptr<CExecutePromptDlg> m_pExecutePrompt;  // owned
    bool m_bWorkerReported = false;                       // the running worker has asked to close its progress prompt
    bool m_bResultPending = false;                        // a worker was started and its result has not been shown yet
    int m_nBusy = 0;                                      // operation handlers running (nested ones count too)
    bool m_bCloseAsked = false;                           // a close came while busy
    CAgreementViewer m_agreementViewer;                   // the usage agreement viewer, made on first use
};
