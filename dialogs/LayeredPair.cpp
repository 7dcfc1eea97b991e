#include "dialogs/LayeredPair.h"

#include "controls/PngPainting.h"
#include "framework/MessageMap.h"
#include "framework/Scale.h"

bool IsEscapeOrEnterKeyDown(const MSG& message)
{
    return message.message == WM_KEYDOWN && (message.wParam == VK_ESCAPE || message.wParam == VK_RETURN);
}

// ---- Frame --------------------------------------------------------------------------------

CLayeredFrameDlg::CLayeredFrameDlg(const FrameDesign& design, HWND parent)
    : fx::CDialog(design.templateId, parent), m_design(design)
{
}

CLayeredFrameDlg::~CLayeredFrameDlg() = default;

SIZE CLayeredFrameDlg::TargetSize(SIZE baseSize, float scale)
{
    return SIZE{fx::Scaled(static_cast<float>(baseSize.cx), scale), fx::Scaled(static_cast<float>(baseSize.cy), scale)};
}

RECT CLayeredFrameDlg::InitialChildRect(const RECT& frame, const Inset& inset, float scale)
{
    const float width = static_cast<float>(frame.right - frame.left);
    const float height = static_cast<float>(frame.bottom - frame.top);
    const int x = static_cast<int>(static_cast<float>(frame.left) + inset.left * scale);
    const int y = static_cast<int>(static_cast<float>(frame.top) + inset.top * scale);
    const int w = static_cast<int>(width - (inset.left + inset.right) * scale);
    const int h = static_cast<int>(height - (inset.top + inset.bottom) * scale);
    return RECT{x, y, x + w, y + h};
}

RECT CLayeredFrameDlg::ShrinkByInset(const RECT& frame, const Inset& inset, float scale)
{
    return RECT{frame.left + fx::Scaled(inset.left, scale), frame.top + fx::Scaled(inset.top, scale),
                frame.right - fx::Scaled(inset.right, scale), frame.bottom - fx::Scaled(inset.bottom, scale)};
}

RECT CLayeredFrameDlg::GrowByInset(const RECT& child, const Inset& inset, float scale)
{
    return RECT{child.left - fx::Scaled(inset.left, scale), child.top - fx::Scaled(inset.top, scale),
                child.right + fx::Scaled(inset.right, scale), child.bottom + fx::Scaled(inset.bottom, scale)};
}

BOOL CLayeredFrameDlg::OnInitDialog()
{
    fx::CDialog::OnInitDialog();
    const SIZE size = TargetSize(m_design.baseSize, m_fScale);
    // Without its picture the frame stays invisible and gets no child.
    if (!PaintLayeredFrame(m_hWnd, size, m_design.imageId)) return TRUE;
    // The frame only shows a picture: the mouse passes through it, to the child where the child
    // lies. (Windows keeps the owned child above the frame anyway; Wine can leave a freshly
    // shown layered owner above it, where it would take the clicks meant for the controls, and
    // raising the child again once the frame is shown does not undo that. On Windows the style
    // only lets a click on the shadow through to the window behind.)
    SetWindowLongW(m_hWnd, GWL_EXSTYLE, GetWindowLongW(m_hWnd, GWL_EXSTYLE) | WS_EX_TRANSPARENT);

    const RECT frame = GetWindowRect();
    m_pChild = CreateChildObject();
    if (!m_pChild) return TRUE;
    m_pChild->SetScaleFactor(m_fScale);
    if (!m_pChild->CreateInFrame(*this)) return TRUE;
    const RECT child = ChildRectAtCreation(frame);
    m_pChild->MoveWindow(child.left, child.top, fx::Width(child), fx::Height(child));
    m_pChild->ShowWindow(SW_SHOW);
    return TRUE;
}

RECT CLayeredFrameDlg::ChildRectAtCreation(const RECT& frame) const
{
    return InitialChildRect(frame, m_design.inset, m_fScale);
}

bool CLayeredFrameDlg::ProcessMessage(fx::Message& m)
{
    static const fx::MessageEntry<CLayeredFrameDlg> map[] = {
        fx::OnMessage(WM_MOVE, &CLayeredFrameDlg::OnMove),
        fx::OnMessage(WM_ACTIVATE, &CLayeredFrameDlg::OnActivate),
        fx::OnMessage(WM_DESTROY, &CLayeredFrameDlg::OnDestroy),
    };
    return fx::Dispatch(*this, map, m) || fx::CDialog::ProcessMessage(m);
}

bool CLayeredFrameDlg::OnMove(fx::Message& m)
{
    m.result = Default(m);
    if (m_bFollow == 1 && m_pChild && m_pChild->IsWindow()) {
        const RECT child = ShrinkByInset(GetWindowRect(), m_design.inset, m_fScale);
        m_pChild->MoveWindow(child.left, child.top, fx::Width(child), fx::Height(child));
    }
    return true;
}

bool CLayeredFrameDlg::OnActivate(fx::Message& m)
{
    m.result = Default(m);
    // The controls and the keyboard focus live in the child: activating the frame activates the
    // child.
    if (LOWORD(m.wParam) != WA_INACTIVE && m_pChild && m_pChild->IsWindowVisible())
        SetActiveWindow(m_pChild->GetSafeHwnd());
    return true;
}

void CLayeredFrameDlg::OnCancel()
{
    fx::CDialog::OnCancel();
    if (!IsWindowVisible() && m_pChild && m_pChild->IsWindow()) m_pChild->ShowWindow(SW_HIDE);
}

RECT CLayeredFrameDlg::FrameRectAround(const RECT& childWindow) const
{
    return GrowByInset(childWindow, m_design.inset, m_fScale);
}

void CLayeredFrameDlg::FollowChild(const RECT& childWindow)
{
    // Cleared first, so that the frame's own WM_MOVE does not move the child back.
    m_bFollow = 0;
    const RECT frame = FrameRectAround(childWindow);
    MoveWindow(frame.left, frame.top, fx::Width(frame), fx::Height(frame));
}

bool CLayeredFrameDlg::OnDestroy(fx::Message& m)
{
    m.result = Default(m);
    // The owned child window is gone by now: the system destroys owned windows first.
    m_pChild.reset();
    return true;
}

bool CLayeredFrameDlg::PreTranslateMessage(MSG& message)
{
    return IsEscapeOrEnterKeyDown(message) || fx::CDialog::PreTranslateMessage(message);
}

// ---- Child --------------------------------------------------------------------------------

bool CLayeredChildDlg::CreateInFrame(CLayeredFrameDlg& frame)
{
    m_pFrame = &frame;
    return Create(frame.GetSafeHwnd());
}

RECT CLayeredChildDlg::DragStripFor(const RECT& client, const DragStrip& drag, float scale)
{
    if (drag.height <= 0) return RECT{};
    const int height = drag.scaled ? fx::Scaled(drag.height, scale) : drag.height;
    const int excluded = drag.scaled ? fx::Scaled(drag.rightExcluded, scale) : drag.rightExcluded;
    return RECT{client.left, client.top, client.right - excluded, client.top + height};
}

BOOL CLayeredChildDlg::OnInitDialog()
{
    fx::CDialog::OnInitDialog();
    // Without its picture the child keeps the template's places and paints no background.
    if (EnsurePngLoaded(m_pBkImage, m_design.imageId)) {
        Layout(true);
        m_bLaidOut = 1;
    }
    return TRUE;
}

bool CLayeredChildDlg::ProcessMessage(fx::Message& m)
{
    static const fx::MessageEntry<CLayeredChildDlg> map[] = {
        fx::OnMessage(WM_ERASEBKGND, &CLayeredChildDlg::OnEraseBackground),
        fx::OnMessage(WM_SIZE, &CLayeredChildDlg::OnSize),
        fx::OnMessage(WM_NCHITTEST, &CLayeredChildDlg::OnNcHitTest),
        fx::OnMessage(WM_MOVE, &CLayeredChildDlg::OnMove),
        fx::OnMessage(WM_CLOSE, &CLayeredChildDlg::OnClose),
        fx::OnMessage(WM_DESTROY, &CLayeredChildDlg::OnDestroy),
    };
    return fx::Dispatch(*this, map, m) || fx::CDialog::ProcessMessage(m);
}

bool CLayeredChildDlg::OnEraseBackground(fx::Message& m)
{
    m.result = TRUE;
    if (!EnsurePngLoaded(m_pBkImage, m_design.imageId)) return true;
    const HDC dc = m.Dc();
    const RECT client = GetClientRect();
    if (m_design.bufferedBackground)
        PaintBackgroundBuffered(dc, client, *m_pBkImage);
    else
        PaintBackground(dc, client, *m_pBkImage);
    return true;
}

bool CLayeredChildDlg::OnSize(fx::Message& m)
{
    m.result = Default(m);
    if (m_bLaidOut) Layout(false);
    return true;
}

bool CLayeredChildDlg::OnNcHitTest(fx::Message& m)
{
    if (m_design.drag.height <= 0) return false;
    RECT client = GetClientRect();
    MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
    const RECT strip = DragStripFor(client, m_design.drag, m_fScale);
    const POINT cursor = m.Point();
    m_bDrag = PtInRect(&strip, cursor) ? 1 : 0;
    if (!m_bDrag) return false;
    m.result = HTCAPTION;  // the system drags the child by it
    return true;
}

bool CLayeredChildDlg::OnMove(fx::Message& m)
{
    m.result = Default(m);
    if (m_bDrag == 1 && m_pFrame) m_pFrame->FollowChild(GetWindowRect());
    return true;
}

bool CLayeredChildDlg::OnClose(fx::Message& m)
{
    OnCancel();
    return true;
}

void CLayeredChildDlg::OnCancel()
{
    if (m_pFrame) ::SendMessageW(m_pFrame->GetSafeHwnd(), WM_CLOSE, 0, 0);
}

void CLayeredChildDlg::NotifyFrame(UINT message, WPARAM wParam) const
{
    if (m_pFrame) ::SendMessageW(m_pFrame->GetSafeHwnd(), message, wParam, 0);
}

bool CLayeredChildDlg::OnDestroy(fx::Message& m)
{
    m.result = Default(m);
    FreeControlImages();
    m_pBkImage.reset();
    return true;
}

bool CLayeredChildDlg::PreTranslateMessage(MSG& message)
{
    return IsEscapeOrEnterKeyDown(message) || fx::CDialog::PreTranslateMessage(message);
}
