#include "services/TooltipDlg.h"

#include "controls/PngPainting.h"
#include "controls/SkinScrollWnd.h"
#include "framework/Application.h"
#include "framework/MessageMap.h"
#include "framework/Scale.h"
#include "res/resource.h"
#include "services/AgreementText.h"

namespace {

// The frame carries the child one scaled pixel in from its left and top edge and leaves the
// sheet picture's shadow free on the right and at the bottom.
const FrameDesign kTooltipFrame{IDD_AGREEMENT_FRAME, IDB_AGREEMENT_SHEET, {396, 482}, {1, 1, 2, 18}};
// The viewer cannot be dragged.
const ChildDesign kTooltipChild{IDD_AGREEMENT_CHILD, IDB_AGREEMENT_SHEET, {}, true};

// The text control lies this far inside the child on every side.
constexpr float kTextMargin = 8;
// The child shows the sheet without its bottom shadow and its last column.
constexpr int kSheetShadowRows = 18;

// Where the viewer goes over the owner: two pixels in from the left, below the owner's title and
// action buttons, above its bottom row (design pixels).
constexpr float kPlacementLeft = 2;
constexpr float kPlacementTop = 108;
constexpr float kPlacementWidthLess = 2;
constexpr float kPlacementHeightLess = 128;

}  // namespace

// ---- Child --------------------------------------------------------------------------------

CTooltipChildDlg::CTooltipChildDlg() : CLayeredChildDlg(kTooltipChild) {}

void CTooltipChildDlg::DoDataExchange(fx::CDataExchange& dx)
{
    fx::DDX_Control(dx, IDC_AGREEMENT_TEXT, m_edtAgreement);
}

void CTooltipChildDlg::FillAgreement()
{
    if (!m_edtAgreement.IsWindow()) return;
    const int margin = fx::Scaled(kTextMargin, m_fScale);
    const RECT client = GetClientRect();
    m_edtAgreement.MoveWindow(client.left + margin, client.top + margin, fx::Width(client) - 2 * margin,
                              fx::Height(client) - 2 * margin);
    m_bmpScrollSkin.Reset(LoadBitmapW(fx::CWinApp::ResourceHandle(), MAKEINTRESOURCEW(IDB_SCROLLBAR_SKIN)));
    if (m_bmpScrollSkin) SkinWndScroll(m_edtAgreement.GetSafeHwnd(), m_bmpScrollSkin.Get(), m_fScale, 0);
    m_edtAgreement.SetWindowText(BuildAgreementText());
}

bool CTooltipChildDlg::ProcessMessage(fx::Message& m)
{
    static const fx::MessageEntry<CTooltipChildDlg> map[] = {
        fx::OnMessage(WM_ERASEBKGND, &CTooltipChildDlg::OnEraseBackground),
    };
    return fx::Dispatch(*this, map, m) || CLayeredChildDlg::ProcessMessage(m);
}

bool CTooltipChildDlg::OnEraseBackground(fx::Message& m)
{
    m.result = TRUE;
    Gdiplus::Image* sheet = BackgroundImage();
    if (!sheet) return true;
    const RECT client = GetClientRect();
    const RECT source{0, 0, static_cast<LONG>(sheet->GetWidth()) - 1,
                      static_cast<LONG>(sheet->GetHeight()) - kSheetShadowRows};
    PaintBuffered(m.Dc(), client, [&](HDC dc, const RECT& rect) {
        Gdiplus::Graphics graphics(dc);
        graphics.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
        DrawStretched(graphics, *sheet, rect, source);
    });
    return true;
}

// ---- Frame --------------------------------------------------------------------------------

CTooltipDlg::CTooltipDlg() : CLayeredFrameDlg(kTooltipFrame) {}

std::unique_ptr<CLayeredChildDlg> CTooltipDlg::CreateChildObject() { return std::make_unique<CTooltipChildDlg>(); }

RECT CTooltipDlg::ChildRectAtCreation(const RECT& frame) const
{
    // At creation the child is one scaled pixel wider and taller than while it is carried.
    const float s = GetScaleFactor();
    const int left = frame.left + fx::Scaled(1, s);
    const int top = frame.top + fx::Scaled(1, s);
    const int width = fx::Width(frame) - fx::Scaled(2, s);
    const int height = static_cast<int>(static_cast<float>(fx::Height(frame)) - kSheetShadowRows * s);
    return RECT{left, top, left + width, top + height};
}

BOOL CTooltipDlg::OnInitDialog()
{
    if (m_firstPosition)
        SetWindowPos(m_hWnd, nullptr, m_firstPosition->x, m_firstPosition->y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    const BOOL result = CLayeredFrameDlg::OnInitDialog();
    if (CTooltipChildDlg* child = GetTooltipChild()) child->FillAgreement();
    return result;
}

// ---- The main window's side ---------------------------------------------------------------

CAgreementViewer::~CAgreementViewer()
{
    // Normally the windows went with their owner already; otherwise they go with the object.
    if (m_pTooltipDlg && m_pTooltipDlg->IsWindow()) ::DestroyWindow(m_pTooltipDlg->GetSafeHwnd());
}

RECT CAgreementViewer::PlacementOver(const RECT& owner, float s)
{
    const int left = static_cast<int>(static_cast<float>(owner.left) + kPlacementLeft * s);
    const int top = static_cast<int>(static_cast<float>(owner.top) + kPlacementTop * s);
    const int width = static_cast<int>(static_cast<float>(fx::Width(owner)) - kPlacementWidthLess * s);
    const int height = static_cast<int>(static_cast<float>(fx::Height(owner)) - kPlacementHeightLess * s);
    return RECT{left, top, left + width, top + height};
}

void CAgreementViewer::ToggleOver(HWND owner, const RECT& ownerWindow, float scale)
{
    const RECT place = PlacementOver(ownerWindow, scale);
    if (!m_pTooltipDlg) {
        auto viewer = std::make_unique<CTooltipDlg>();
        viewer->SetScaleFactor(scale);
        viewer->SetFirstPosition(POINT{place.left, place.top});
        if (!viewer->Create(owner)) return;
        m_pTooltipDlg = std::move(viewer);
    }
    m_pTooltipDlg->MoveWindow(place.left, place.top, fx::Width(place), fx::Height(place));
    Show(IsShown() ? SW_HIDE : SW_SHOW);
}

void CAgreementViewer::HideUnlessInside(POINT screen, bool onLink)
{
    if (!m_pTooltipDlg || onLink) return;
    const RECT viewer = m_pTooltipDlg->GetWindowRect();
    if (!PtInRect(&viewer, screen)) Hide();
}

void CAgreementViewer::Hide()
{
    if (m_pTooltipDlg) Show(SW_HIDE);
}

void CAgreementViewer::Raise() const
{
    if (!IsShown()) return;
    const UINT keep = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    SetWindowPos(m_pTooltipDlg->GetSafeHwnd(), HWND_TOP, 0, 0, 0, 0, keep);
    if (CTooltipChildDlg* child = m_pTooltipDlg->GetTooltipChild())
        SetWindowPos(child->GetSafeHwnd(), HWND_TOP, 0, 0, 0, 0, keep);
}

bool CAgreementViewer::IsShown() const { return m_pTooltipDlg && m_pTooltipDlg->IsWindowVisible(); }

void CAgreementViewer::Show(int command) const
{
    m_pTooltipDlg->ShowWindow(command);
    if (CTooltipChildDlg* child = m_pTooltipDlg->GetTooltipChild()) child->ShowWindow(command);
}
