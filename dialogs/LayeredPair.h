#pragma once
// Every secondary window is a pair: a layered frame that shows a PNG with per-pixel alpha (soft
// shadow, rounded outline) and nothing else, and a borderless child dialog owned by it, laid over
// the opaque inner part of the picture, that holds the controls. The caller runs the frame
// modally; the child reports the user's decision to the frame with a private message. The two
// move as one: the frame carries the child until the user first drags the child by its strip
// (or until the child's first placement, for a child that leads from the start), from then on the
// frame follows the child.
#include "framework/Dialog.h"
#include "framework/GdiplusImage.h"

#include <memory>

// Margins in design pixels (times the scale factor): where the child lies inside the frame.
struct Inset
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

struct FrameDesign
{
    UINT templateId = 0;
    UINT imageId = 0;
    SIZE baseSize{};  // the frame at scale 1.0; the image is stretched to it times the scale
    Inset inset;
};

// The strip along the child's top edge by which the user drags the pair.
struct DragStrip
{
    int height = 0;  // 0: the pair cannot be dragged
    int rightExcluded = 0;
    bool scaled = false;  // whether both measures grow with the scale factor
};

struct ChildDesign
{
    UINT templateId = 0;
    UINT imageId = 0;
    DragStrip drag;
    bool bufferedBackground = false;  // paint the background through a memory bitmap
    bool leadsFrame = false;          // the frame follows the child from its first placement on
};

// Escape and Enter never close or confirm a skinned dialog.
bool IsEscapeOrEnterKeyDown(const MSG& message);

class CLayeredChildDlg;

class CLayeredFrameDlg : public fx::CDialog
{
public:
    explicit CLayeredFrameDlg(const FrameDesign& design, HWND parent = nullptr);
    ~CLayeredFrameDlg() override;

    void SetScaleFactor(float scale) { m_fScale = scale; }
    float GetScaleFactor() const { return m_fScale; }
    CLayeredChildDlg* GetChild() const { return m_pChild.get(); }

    // The window size: the base size times the scale, each truncated.
    static SIZE TargetSize(SIZE baseSize, float scale);
    // Where the child goes when it is created inside the frame's window rectangle.
    static RECT InitialChildRect(const RECT& frame, const Inset& inset, float scale);
    // The child's place while the frame carries it, and the frame's place around a dragged child.
    static RECT ShrinkByInset(const RECT& frame, const Inset& inset, float scale);
    static RECT GrowByInset(const RECT& child, const Inset& inset, float scale);

    // Called by the child when the user has dragged it: the frame follows from now on.
    void FollowChild(const RECT& childWindow);
    bool PreTranslateMessage(MSG& message) override;

protected:
    // The pair's child object, already given the pair's inputs.
    virtual std::unique_ptr<CLayeredChildDlg> CreateChildObject() = 0;
    // Where the child goes when it is created inside the frame's window rectangle: by default the
    // inset that also carries it later.
    virtual RECT ChildRectAtCreation(const RECT& frame) const;
    // Where the frame goes around a child that leads it: by default the inset grown back.
    virtual RECT FrameRectAround(const RECT& childWindow) const;
    // The child object, out of the frame's hands (its window has gone with the frame's).
    std::unique_ptr<CLayeredChildDlg> TakeChild() { return std::move(m_pChild); }
    BOOL OnInitDialog() override;
    bool ProcessMessage(fx::Message& message) override;
    // A close of either window (the child passes its own on) closes the pair: a modeless pair,
    // which a close only hides, hides its child too.
    void OnCancel() override;

private:
    bool OnMove(fx::Message& message);
    bool OnActivate(fx::Message& message);
    bool OnDestroy(fx::Message& message);

    FrameDesign m_design;
    std::unique_ptr<CLayeredChildDlg> m_pChild;  // owned, freed when the frame window goes
    int m_bFollow = 1;
    float m_fScale = 1.0f;
};

class CLayeredChildDlg : public fx::CDialog
{
public:
    explicit CLayeredChildDlg(const ChildDesign& design)
        : fx::CDialog(design.templateId), m_design(design), m_bDrag(design.leadsFrame ? 1 : 0)
    {
    }

    void SetScaleFactor(float scale) { m_fScale = scale; }
    // Creates the child window owned by the frame's window.
    bool CreateInFrame(CLayeredFrameDlg& frame);

    // The drag strip for a client rectangle in screen coordinates; empty when there is none.
    static RECT DragStripFor(const RECT& clientOnScreen, const DragStrip& drag, float scale);
    bool PreTranslateMessage(MSG& message) override;

protected:
    // Places the controls in the client rectangle; `first` also sets them up (images, fonts).
    virtual void Layout(bool first) = 0;
    // Frees what the controls hold of their own (state images) when the window goes.
    virtual void FreeControlImages() {}
    BOOL OnInitDialog() override;
    bool ProcessMessage(fx::Message& message) override;
    // Alt+F4 on the child and IDCANCEL close the pair as the frame's close would; IDOK is dropped.
    void OnOK() override {}
    void OnCancel() override;
    // Sends the pair's private message to the frame (same thread).
    void NotifyFrame(UINT message, WPARAM wParam) const;
    HWND FrameWindow() const { return m_pFrame ? m_pFrame->GetSafeHwnd() : nullptr; }

    Gdiplus::Image* BackgroundImage() const { return m_pBkImage.get(); }
    float m_fScale = 1.0f;

private:
    bool OnEraseBackground(fx::Message& message);
    bool OnSize(fx::Message& message);
    bool OnNcHitTest(fx::Message& message);
    bool OnMove(fx::Message& message);
    bool OnClose(fx::Message& message);
    bool OnDestroy(fx::Message& message);

    ChildDesign m_design;
    CLayeredFrameDlg* m_pFrame = nullptr;  // not owned: the frame owns this object
    fx::ImagePtr m_pBkImage;               // owned
    int m_bLaidOut = 0;
    int m_bDrag;  // the last hit test found the cursor on the drag strip: the child's moves lead the frame
};
