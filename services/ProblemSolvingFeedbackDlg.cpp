#include "services/ProblemSolvingFeedbackDlg.h"

#include "framework/MessageMap.h"
#include "framework/Scale.h"
#include "res/Version.h"
#include "res/resource.h"
#include "services/FeedbackApi.h"

#include <ctime>

namespace {

const FrameDesign kSurveyFrame{IDD_SURVEY_FRAME, IDB_SURVEY_FRAME, {410, 479}, {5, 4, 5, 7}};
// The strip along the child's blue title stays 30 x (width - 26) at every scale.
const ChildDesign kSurveyChild{IDD_SURVEY_CHILD, IDB_SURVEY_BACKGROUND, {30, 26, false}, false};

constexpr wchar_t kWindowTitle[] = L"Quorlin";

// The child at scale 1.0, and its three answer buttons stacked around its middle.
constexpr float kDesignWidth = 400;
constexpr float kDesignHeight = 468;
constexpr int kButtonWidth = 266;
constexpr int kButtonHeight = 60;
constexpr int kButtonPitch = 80;
// Where a press counts: the buttons' pictures have soft edges.
constexpr int kHotInset = 9;
// The close button on the title strip.
constexpr float kCloseFromRight = 18;
constexpr float kCloseTop = 6;
constexpr float kCloseSize = 12;

struct ButtonImages
{
    UINT normal, hover, pressed, disabled;
};

void SetImages(CSkinButtonBase& button, const ButtonImages& images)
{
    button.SetStateImages(images.normal, images.hover, images.pressed, images.disabled);
}

}  // namespace

std::wstring SurveyTimeText(std::int64_t secondsSince1970)
{
    const auto low = static_cast<std::uint32_t>(static_cast<std::uint64_t>(secondsSince1970));
    const std::int64_t value = low < 0x80000000u ? low : static_cast<std::int64_t>(low) - 0x100000000LL;
    return std::to_wstring(value);
}

// ---- Child --------------------------------------------------------------------------------

CProblemSolvingFeedbackChildDlg::CProblemSolvingFeedbackChildDlg() : CLayeredChildDlg(kSurveyChild) {}

void CProblemSolvingFeedbackChildDlg::DoDataExchange(fx::CDataExchange& dx)
{
    fx::DDX_Control(dx, IDC_SURVEY_CLOSE, m_btnClose);
    fx::DDX_Control(dx, IDC_SURVEY_SOLVED, m_btnSolved);
    fx::DDX_Control(dx, IDC_SURVEY_UNSOLVED, m_btnNotSolved);
    fx::DDX_Control(dx, IDC_SURVEY_MORE, m_btnMoreSolutions);
}

void CProblemSolvingFeedbackChildDlg::Layout(bool first)
{
    const RECT client = GetClientRect();
    const float s = m_fScale;
    const int width = fx::Width(client);
    const int height = fx::Height(client);
    // Only a scale above 1.0 makes the child wider than its design; then every measure scales.
    const bool wide = width > kDesignWidth;

    const int closeSize = fx::Scaled(kCloseSize, s);
    m_btnClose.MoveWindow(static_cast<int>(static_cast<float>(client.right) - kCloseFromRight * s),
                          static_cast<int>(static_cast<float>(client.top) + kCloseTop * s), closeSize, closeSize);

    int left = client.left + width / 2 - kButtonWidth / 2;
    int middle = client.top + height / 2;
    int pitch = kButtonPitch;
    int buttonWidth = kButtonWidth;
    int buttonHeight = kButtonHeight;
    if (wide) {
        left = client.left + static_cast<int>(kDesignWidth * s / 2 - kButtonWidth * s / 2);
        middle = client.top + static_cast<int>(kDesignHeight * s / 2);
        pitch = fx::Scaled(kButtonPitch, s);
        buttonWidth = fx::Scaled(kButtonWidth, s);
        buttonHeight = fx::Scaled(kButtonHeight, s);
    }
    // The solved button's top is formed in one truncation from the unrounded middle.
    const int solvedTop =
        wide ? client.top + static_cast<int>(kDesignHeight * s / 2 - static_cast<float>(pitch)) : middle - pitch;
    m_btnSolved.MoveWindow(left, solvedTop, buttonWidth, buttonHeight);
    m_btnNotSolved.MoveWindow(left, middle, buttonWidth, buttonHeight);
    m_btnMoreSolutions.MoveWindow(left, middle + pitch, buttonWidth, buttonHeight);
    if (!first) return;

    m_btnClose.SetScaleFactor(s);
    SetImages(m_btnClose,
              {IDB_SURVEY_CLOSE_NORMAL, IDB_SURVEY_CLOSE_HOVER, IDB_SURVEY_CLOSE_PRESSED, IDB_SURVEY_CLOSE_DISABLED});
    const int inset = wide ? fx::Scaled(kHotInset, s) : kHotInset;
    struct Answer
    {
        CImageButton& button;
        RECT source;  // where the button lies in the child's picture
        ButtonImages images;
    };
    const Answer answers[] = {
        {m_btnSolved,
         {67, 154, 333, 214},
         {IDB_SOLVED_NORMAL, IDB_SOLVED_HOVER, IDB_SOLVED_PRESSED, IDB_SOLVED_DISABLED}},
        {m_btnNotSolved,
         {67, 234, 333, 294},
         {IDB_UNSOLVED_NORMAL, IDB_UNSOLVED_HOVER, IDB_UNSOLVED_PRESSED, IDB_UNSOLVED_DISABLED}},
        {m_btnMoreSolutions,
         {67, 314, 333, 374},
         {IDB_MORE_SOLUTIONS_NORMAL, IDB_MORE_SOLUTIONS_HOVER, IDB_MORE_SOLUTIONS_PRESSED,
          IDB_MORE_SOLUTIONS_DISABLED}},
    };
    for (const Answer& answer : answers) {
        answer.button.SetSkin(s, BackgroundImage(), answer.source);
        answer.button.SetHotInsets(inset, inset, inset, inset);
        SetImages(answer.button, answer.images);
    }
}

void CProblemSolvingFeedbackChildDlg::FreeControlImages()
{
    m_btnClose.FreeStateImages();
    m_btnSolved.FreeStateImages();
    m_btnNotSolved.FreeStateImages();
    m_btnMoreSolutions.FreeStateImages();
}

bool CProblemSolvingFeedbackChildDlg::ProcessMessage(fx::Message& m)
{
    static const fx::MessageEntry<CProblemSolvingFeedbackChildDlg> map[] = {
        fx::OnCommand(IDC_SURVEY_SOLVED, BN_CLICKED, &CProblemSolvingFeedbackChildDlg::OnSolved),
        fx::OnCommand(IDC_SURVEY_UNSOLVED, BN_CLICKED, &CProblemSolvingFeedbackChildDlg::OnNotSolved),
        fx::OnCommand(IDC_SURVEY_CLOSE, BN_CLICKED, &CProblemSolvingFeedbackChildDlg::OnCloseButton),
        fx::OnCommand(IDC_SURVEY_MORE, BN_CLICKED, &CProblemSolvingFeedbackChildDlg::OnMoreSolutions),
    };
    return fx::Dispatch(*this, map, m) || CLayeredChildDlg::ProcessMessage(m);
}

bool CProblemSolvingFeedbackChildDlg::OnSolved(fx::Message&)
{
    // A press on the picture's soft edge is no answer.
    if (m_btnSolved.IsCursorInHotArea()) Answer(kSurveySolved);
    return true;
}

bool CProblemSolvingFeedbackChildDlg::OnNotSolved(fx::Message&)
{
    if (m_btnNotSolved.IsCursorInHotArea()) Answer(kSurveyNotSolved);
    return true;
}

bool CProblemSolvingFeedbackChildDlg::OnCloseButton(fx::Message&)
{
    Answer(kSurveyClosed);
    return true;
}

bool CProblemSolvingFeedbackChildDlg::OnMoreSolutions(fx::Message&)
{
    if (m_pFeedbackDll) m_pFeedbackDll->OpenUrl(feedback::kKnowledgeBaseUrl);
    return true;
}

void CProblemSolvingFeedbackChildDlg::Answer(int answer)
{
    if (m_pFeedbackDll) {
        const std::wstring time = SurveyTimeText(_time64(nullptr));
        m_pFeedbackDll->CustomerFeedbackEx(CFeedbackDll::kToolId, kQuorlinVersion, answer, time.c_str());
        m_pFeedbackDll->FeedbackQuestion(CFeedbackDll::kToolId, kQuorlinVersion);
    }
    OnCancel();  // WM_CLOSE to the frame
}

// ---- Frame --------------------------------------------------------------------------------

CProblemSolvingFeedbackDlg::CProblemSolvingFeedbackDlg(HWND parent) : CLayeredFrameDlg(kSurveyFrame, parent) {}

BOOL CProblemSolvingFeedbackDlg::OnInitDialog()
{
    // The survey is shown while the program closes and takes the screen's scale itself.
    SetScaleFactor(fx::ScreenScaleFactor());
    SetWindowText(kWindowTitle);
    return CLayeredFrameDlg::OnInitDialog();
}

std::unique_ptr<CLayeredChildDlg> CProblemSolvingFeedbackDlg::CreateChildObject()
{
    auto child = std::make_unique<CProblemSolvingFeedbackChildDlg>();
    child->SetFeedbackDll(m_pFeedbackDll);
    return child;
}
