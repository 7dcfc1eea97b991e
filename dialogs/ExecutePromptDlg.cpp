#include "dialogs/ExecutePromptDlg.h"

#include "framework/MessageMap.h"
#include "framework/Scale.h"
#include "res/PrivateMessages.h"
#include "res/resource.h"

namespace {
const FrameDesign kProgressFrame{IDD_PROGRESS_FRAME, IDB_PROGRESS_FRAME, {232, 132}, {14, 12, 14, 16}};
const ChildDesign kProgressChild{IDD_PROGRESS_CHILD, IDB_PROGRESS_BACKGROUND, {}, true};
constexpr size_t kMinimumTextLength = 2;
constexpr int kCentredWrapped = 5;  // DT_CENTER | DT_VCENTER | DT_WORDBREAK
}  // namespace

CExecutePromptChildDlg::CExecutePromptChildDlg() : CLayeredChildDlg(kProgressChild) {}

void CExecutePromptChildDlg::DoDataExchange(fx::CDataExchange& dx)
{
    fx::DDX_Control(dx, IDC_PROGRESS_TEXT, m_stcInfo);
}

void CExecutePromptChildDlg::Layout(bool first)
{
    const RECT client = GetClientRect();
    const float s = m_fScale;
    m_stcInfo.SetWindowText(m_strText.size() >= kMinimumTextLength ? m_strText : kDefaultText);
    m_stcInfo.SetAlignment(kCentredWrapped);
    m_stcInfo.SetTextColorAndRedraw(RGB(255, 255, 255));

    const int height = client.bottom - client.top;
    const int left = static_cast<int>(client.left + 10 * s);
    const int top = static_cast<int>(static_cast<float>(height / 2 + client.top) - 10 * s);
    const int right = static_cast<int>(client.right - 10 * s);
    const int bottom = static_cast<int>(static_cast<float>(top) + 40 * s);
    if (first) {
        m_stcInfo.SetBackgroundImage(BackgroundImage());
        m_stcInfo.UseParentFont();
        m_stcInfo.StartDots();
    }
    // The label's own place in the picture at scale 1.0.
    m_stcInfo.SetBackgroundRect(10, 42, 194, 82);
    m_stcInfo.MoveWindow(left, top, right - left, bottom - top);
}

CExecutePromptDlg::CExecutePromptDlg(HWND parent) : CLayeredFrameDlg(kProgressFrame, parent) {}

std::unique_ptr<CLayeredChildDlg> CExecutePromptDlg::CreateChildObject()
{
    auto child = std::make_unique<CExecutePromptChildDlg>();
    child->SetText(m_strText);
    return child;
}

bool CExecutePromptDlg::ProcessMessage(fx::Message& m)
{
    static const fx::MessageEntry<CExecutePromptDlg> map[] = {
        fx::OnMessage(WM_EXECUTE_PROMPT_CLOSE, &CExecutePromptDlg::OnExecutePromptClose),
    };
    return fx::Dispatch(*this, map, m) || CLayeredFrameDlg::ProcessMessage(m);
}

bool CExecutePromptDlg::OnExecutePromptClose(fx::Message& m)
{
    if (auto* child = static_cast<CExecutePromptChildDlg*>(GetChild())) child->StopDots();
    EndDialog(IDOK);
    m.result = 0;
    return true;
}
