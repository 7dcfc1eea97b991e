#pragma once
// The problem-solved survey that closing the program shows: solved, not solved or closed without
// an answer is recorded through the feedback component with the time, after which the component's
// problem feedback opens; a further button opens the maker's knowledge base.
#include "controls/PngButton.h"
#include "dialogs/LayeredPair.h"
#include "services/FeedbackDll.h"

#include <cstdint>
#include <string>

// The answer codes the feedback component records.
enum SurveyAnswer
{
    kSurveySolved = 1,
    kSurveyNotSolved = 2,
    kSurveyClosed = 3,
};

// The time text of an answer: the low 32 bits of the seconds since 1970, as a signed decimal
// number (the component's records have always held it so; it turns negative in 2038).
std::wstring SurveyTimeText(std::int64_t secondsSince1970);

class CProblemSolvingFeedbackChildDlg : public CLayeredChildDlg
{
public:
    CProblemSolvingFeedbackChildDlg();
    void SetFeedbackDll(CFeedbackDll* feedback) { m_pFeedbackDll = feedback; }

protected:
    void DoDataExchange(fx::CDataExchange& exchange) override;
    void Layout(bool first) override;
    void FreeControlImages() override;
    bool ProcessMessage(fx::Message& message) override;

private:
    bool OnSolved(fx::Message& message);
    bool OnNotSolved(fx::Message& message);
    bool OnCloseButton(fx::Message& message);
    bool OnMoreSolutions(fx::Message& message);
    // Records the answer with the component, then closes the pair.
    void Answer(int answer);

    CPngButton m_btnClose;
    CImageButton m_btnSolved;
    CImageButton m_btnNotSolved;
    CImageButton m_btnMoreSolutions;
    CFeedbackDll* m_pFeedbackDll = nullptr;  // not owned: the main window's
};

class CProblemSolvingFeedbackDlg : public CLayeredFrameDlg
{
public:
    explicit CProblemSolvingFeedbackDlg(HWND parent = nullptr);
    // The component to record the answer with; without one nothing is recorded.
    void SetFeedbackDll(CFeedbackDll* feedback) { m_pFeedbackDll = feedback; }

protected:
    BOOL OnInitDialog() override;
    std::unique_ptr<CLayeredChildDlg> CreateChildObject() override;

private:
    CFeedbackDll* m_pFeedbackDll = nullptr;  // not owned
};
