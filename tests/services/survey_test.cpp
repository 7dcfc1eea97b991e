// The problem-solved survey against the real stand-in feedback component (beside this test program,
// where the bridge loads it from), which journals every call: real windows, the real cursor and keys.
#include <doctest.h>

#include "framework/base/TextCodec.h"
#include "res/resource.h"
#include "services/FeedbackApi.h"
#include "services/ProblemSolvingFeedbackDlg.h"
#include "standins/feedback/FeedbackComponent.h"
#include "tests/testbed/TempFolder.h"
#include "tests/uidriver/UiTestSupport.h"
#include "tests/services/ServicesBed.h"

#include <ctime>
#include <memory>
#include <string>
#include <vector>

using services_test::AtBedDpi;

namespace {

const std::wstring kAnswerPrefix = L"CustomerFeedbackEx\t10080\t1.0.0\t";
const std::wstring kFeedbackQuestion = L"FeedbackQuestion\t10080\t1.0.0";

// The survey run modally as the main window's close button runs it, with the component loaded and
// journalling into a folder of the test's own.
class CSurveyRun
{
public:
    explicit CSurveyRun(bool withComponent = true)
    {
        SetEnvironmentVariableW(feedback::standin::kJournalVariable, (m_folder / L"journal.txt").c_str());
        m_loaded = m_feedback.Load() == 1;
        CFeedbackDll* component = withComponent ? &m_feedback : nullptr;
        m_run = std::make_unique<uitest::CModalRun>([component] {
            CProblemSolvingFeedbackDlg survey;
            survey.SetFeedbackDll(component);
            return survey.DoModal();
        });
        m_child = m_run->Child();
    }
    ~CSurveyRun()
    {
        if (m_child && !m_run->Finished()) ui::Post(m_child, WM_CLOSE);
        m_run->Wait();
        m_run.reset();
        SetEnvironmentVariableW(feedback::standin::kJournalVariable, nullptr);
    }
    CSurveyRun(const CSurveyRun&) = delete;
    CSurveyRun& operator=(const CSurveyRun&) = delete;

    bool IsReady() const { return m_loaded && m_child; }
    uitest::CModalRun& Run() { return *m_run; }
    HWND Frame() { return m_run->Frame(); }
    HWND Child() const { return m_child; }
    HWND Button(int id) const { return ui::FindControl(m_child, id); }
    RECT ButtonRect(int id) const { return ui::WindowRect(Button(id)); }

    std::vector<std::wstring> Journal() const
    {
        const std::wstring text = fx::DecodeCodePage(testing::ReadFileBytes(m_folder / L"journal.txt"), CP_UTF8);
        std::vector<std::wstring> lines;
        size_t start = 0;
        for (size_t end; (end = text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2)
            lines.push_back(text.substr(start, end - start));
        return lines;
    }

private:
    testing::CTempFolder m_folder;
    CFeedbackDll m_feedback;
    bool m_loaded = false;
    std::unique_ptr<uitest::CModalRun> m_run;
    HWND m_child = nullptr;
};

// Presses at a point the way a user does: the mouse arrives, rests, clicks.
void ClickAt(POINT point)
{
    ui::MoveCursor(point);
    ui::PumpFor(200);
    ui::Click(point);
}

// The journal ends with the answer (its code and the time, within seconds of now) and the
// component's feedback that follows every answer.
void CheckAnswered(const std::vector<std::wstring>& journal, int code)
{
    REQUIRE(journal.size() >= 2);
    const std::wstring& answer = journal[journal.size() - 2];
    const std::wstring prefix = kAnswerPrefix + std::to_wstring(code) + L"\t";
    REQUIRE(answer.rfind(prefix, 0) == 0);
    const long long seconds = std::stoll(answer.substr(prefix.size()));
    CHECK(std::llabs(seconds - _time64(nullptr)) <= 5);
    CHECK(journal.back() == kFeedbackQuestion);
}

}  // namespace

TEST_CASE("the survey's time text: the low 32 bits of the seconds since 1970 as a signed number")
{
    struct Case
    {
        std::int64_t seconds;
        const wchar_t* text;
    };
    const Case cases[] = {
        {0, L"0"},
        {1700000000, L"1700000000"},
        {0x7FFFFFFF, L"2147483647"},
        {0x80000000LL, L"-2147483648"},  // 19 January 2038
        {0x100000005LL, L"5"},
        {0x1FFFFFFFFLL, L"-1"},
    };
    for (const Case& c : cases) {
        CAPTURE(c.seconds);
        CHECK(SurveyTimeText(c.seconds) == c.text);
    }
}

TEST_CASE("each answer is recorded with its code and the time, then the component's feedback opens")
{
    struct Case
    {
        int button, code;
    };
    for (const Case& c : {Case{IDC_SURVEY_SOLVED, kSurveySolved}, Case{IDC_SURVEY_UNSOLVED, kSurveyNotSolved},
                          Case{IDC_SURVEY_CLOSE, kSurveyClosed}}) {
        CAPTURE(c.code);
        CSurveyRun survey;
        REQUIRE(survey.IsReady());
        uitest::ClickControl(survey.Button(c.button));
        REQUIRE(survey.Run().Wait());
        CHECK(survey.Run().Result() == IDCANCEL);
        CHECK(survey.Journal().size() == 2);
        CheckAnswered(survey.Journal(), c.code);
    }
}

TEST_CASE("more solutions opens the knowledge base and keeps the survey open for an answer")
{
    CSurveyRun survey;
    REQUIRE(survey.IsReady());
    uitest::ClickControl(survey.Button(IDC_SURVEY_MORE));
    ui::PumpFor(400);
    CHECK_FALSE(survey.Run().Finished());
    CHECK(survey.Journal() == std::vector<std::wstring>{std::wstring(L"OpenUrl\t") + feedback::kKnowledgeBaseUrl});

    uitest::ClickControl(survey.Button(IDC_SURVEY_UNSOLVED));
    REQUIRE(survey.Run().Wait());
    CHECK(survey.Journal().size() == 3);
    CheckAnswered(survey.Journal(), kSurveyNotSolved);
}

TEST_CASE("Escape and Enter do nothing in the survey")
{
    CSurveyRun survey;
    REQUIRE(survey.IsReady());
    REQUIRE(ui::Activate(survey.Child()));
    for (int id : {IDC_SURVEY_SOLVED, IDC_SURVEY_CLOSE}) {
        HWND button = survey.Button(id);
        ui::Post(survey.Child(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(button), TRUE);
        ui::PumpUntil([&] { return ui::FocusOf(survey.Run().ThreadId()) == button; });
        for (WORD key : {VK_ESCAPE, VK_RETURN}) ui::PressKey(key);
        ui::PumpFor(300);
        CHECK_FALSE(survey.Run().Finished());
    }
    CHECK(survey.Journal().empty());
}

TEST_CASE("without the component the answers are not recorded and the survey still closes")
{
    CSurveyRun survey(false);
    REQUIRE(survey.IsReady());
    uitest::ClickControl(survey.Button(IDC_SURVEY_MORE));
    ui::PumpFor(300);
    CHECK_FALSE(survey.Run().Finished());
    uitest::ClickControl(survey.Button(IDC_SURVEY_SOLVED));
    CHECK(survey.Run().Wait());
    CHECK(survey.Journal().empty());
}

TEST_CASE("dragging the survey by its title strip moves frame and child together")
{
    CSurveyRun survey;
    REQUIRE(survey.IsReady());
    HWND frame = survey.Frame();
    const RECT frameBefore = ui::WindowRect(frame);
    const RECT childBefore = ui::WindowRect(survey.Child());
    ui::Drag(POINT{childBefore.left + 120, childBefore.top + 15}, POINT{childBefore.left + 60, childBefore.top + 75});
    ui::PumpFor(300);
    const RECT frameAfter = ui::WindowRect(frame);
    const RECT childAfter = ui::WindowRect(survey.Child());
    CHECK(childAfter.left == childBefore.left - 60);
    CHECK(childAfter.top == childBefore.top + 60);
    CHECK(frameAfter.left - frameBefore.left == childAfter.left - childBefore.left);
    CHECK(frameAfter.top - frameBefore.top == childAfter.top - childBefore.top);
    CHECK(ui::SizeOf(frameAfter).cy == ui::SizeOf(frameBefore).cy);
    CHECK(survey.Journal().empty());
}

TEST_SUITE("scale")
{
    TEST_CASE("the survey takes the screen's scale: its size, its buttons, their pictures")
    {
        struct Expected
        {
            SIZE frame;
            RECT child;          // margins inside the frame: left, top, right, bottom
            RECT close, solved;  // in the child's client area
            int pitch;           // from one answer button to the next
        };
        const Expected expected =
            AtBedDpi(Expected{{410, 479}, {5, 4, 5, 7}, {382, 6, 394, 18}, {67, 154, 333, 214}, 80},
                     Expected{{590, 689}, {7, 5, 7, 10}, {550, 8, 567, 25}, {96, 221, 479, 307}, 115});
        CSurveyRun survey;
        REQUIRE(survey.IsReady());
        HWND frame = survey.Frame();
        HWND child = survey.Child();
        CHECK(ui::WindowText(frame) == L"Quorlin");
        CHECK((ui::ExStyle(frame) & WS_EX_TOPMOST) == 0);
        const RECT f = ui::WindowRect(frame);
        const RECT c = ui::WindowRect(child);
        CHECK(ui::SizeOf(f).cx == expected.frame.cx);
        CHECK(ui::SizeOf(f).cy == expected.frame.cy);
        CHECK(c.left - f.left == expected.child.left);
        CHECK(c.top - f.top == expected.child.top);
        CHECK(f.right - c.right == expected.child.right);
        CHECK(f.bottom - c.bottom == expected.child.bottom);

        auto inChild = [&](int id) {
            RECT rect = survey.ButtonRect(id);
            MapWindowPoints(nullptr, child, reinterpret_cast<POINT*>(&rect), 2);
            return rect;
        };
        const RECT close = inChild(IDC_SURVEY_CLOSE);
        CHECK(EqualRect(&close, &expected.close));
        const int ids[] = {IDC_SURVEY_SOLVED, IDC_SURVEY_UNSOLVED, IDC_SURVEY_MORE};
        const UINT pictures[] = {IDB_SOLVED_NORMAL, IDB_UNSOLVED_NORMAL, IDB_MORE_SOLUTIONS_NORMAL};
        for (int i = 0; i < 3; ++i) {
            CAPTURE(i);
            RECT place = expected.solved;
            OffsetRect(&place, 0, i * expected.pitch);
            const RECT shown = inChild(ids[i]);
            CHECK(EqualRect(&shown, &place));
            CHECK(uitest::ClosestResource(survey.ButtonRect(ids[i]), {IDB_SOLVED_NORMAL, IDB_UNSOLVED_NORMAL,
                                                                      IDB_MORE_SOLUTIONS_NORMAL}) == pictures[i]);
        }

        // Centred on the screen's work area, as it has no owner here.
        RECT work{};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        CHECK(std::abs(ui::CenterOf(f).x - ui::CenterOf(work).x) <= 1);
        CHECK(std::abs(ui::CenterOf(f).y - ui::CenterOf(work).y) <= 1);
    }

    TEST_CASE("a press near the edge of an answer button, inside its soft edge, does nothing")
    {
        CSurveyRun survey;
        REQUIRE(survey.IsReady());
        const RECT solved = survey.ButtonRect(IDC_SURVEY_SOLVED);
        const RECT unsolved = survey.ButtonRect(IDC_SURVEY_UNSOLVED);
        // Inside the button, four pixels from its edge: within the 9-pixel inset (scaled above 1.0).
        const POINT edges[] = {{solved.left + 4, ui::CenterOf(solved).y},
                               {ui::CenterOf(solved).x, solved.top + 4},
                               {solved.right - 5, ui::CenterOf(solved).y},
                               {ui::CenterOf(unsolved).x, unsolved.bottom - 5}};
        for (const POINT& edge : edges) {
            CAPTURE(edge.x);
            CAPTURE(edge.y);
            ClickAt(edge);
            ui::PumpFor(300);
            CHECK_FALSE(survey.Run().Finished());
        }
        CHECK(survey.Journal().empty());
        uitest::ClickControl(survey.Button(IDC_SURVEY_SOLVED));
        REQUIRE(survey.Run().Wait());
        CHECK(survey.Journal().size() == 2);
        CheckAnswered(survey.Journal(), kSurveySolved);
    }
}
