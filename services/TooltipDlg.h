#pragma once
// The usage agreement viewer: the agreement text in a read-only rich edit control with a skinned
// vertical scroll bar, laid over the lower part of the main window. The main window drives it
// through CAgreementViewer: the agreement link shows and hides it, a click anywhere outside it
// hides it.
#include "dialogs/LayeredPair.h"
#include "framework/Gdi.h"

#include <memory>
#include <optional>

// The viewer's child: the text control inside a margin over the sheet picture.
class CTooltipChildDlg : public CLayeredChildDlg
{
public:
    CTooltipChildDlg();
    // Places the text control inside the margin, gives it the skinned scroll bar and the agreement.
    // Called once, by the frame, with the child at its first size; later moves of the child leave
    // the control's size alone.
    void FillAgreement();

protected:
    void DoDataExchange(fx::CDataExchange& exchange) override;
    void Layout(bool first) override {}
    bool ProcessMessage(fx::Message& message) override;

private:
    bool OnEraseBackground(fx::Message& message);

    fx::CWnd m_edtAgreement;      // the RichEdit20W control of the template
    fx::CBitmap m_bmpScrollSkin;  // owned; the scroll bars draw from it until the windows are gone
};

class CTooltipDlg : public CLayeredFrameDlg
{
public:
    CTooltipDlg();
    CTooltipChildDlg* GetTooltipChild() const { return static_cast<CTooltipChildDlg*>(GetChild()); }
    // Where the frame's top left corner goes before its child is made (screen coordinates): the
    // child shows as soon as it is made, and must not show anywhere else first.
    void SetFirstPosition(POINT position) { m_firstPosition = position; }

protected:
    std::unique_ptr<CLayeredChildDlg> CreateChildObject() override;
    BOOL OnInitDialog() override;
    RECT ChildRectAtCreation(const RECT& frame) const override;

private:
    std::optional<POINT> m_firstPosition;
};

// The viewer as the main window keeps it: made on the first click on the agreement link, then
// only shown and hidden, destroyed with this object.
class CAgreementViewer
{
public:
    CAgreementViewer() = default;
    ~CAgreementViewer();
    CAgreementViewer(const CAgreementViewer&) = delete;
    CAgreementViewer& operator=(const CAgreementViewer&) = delete;

    // The agreement link was clicked: makes the viewer on first use (owned by `owner`, at `scale`),
    // places it over the lower part of `ownerWindow` (the owner's window rectangle) and shows it,
    // or hides it when it is shown.
    void ToggleOver(HWND owner, const RECT& ownerWindow, float scale);
    // A click somewhere on the screen: hides the viewer unless the click was on the agreement link
    // (which toggles it by itself) or inside the viewer.
    void HideUnlessInside(POINT screen, bool onLink);
    void Hide();
    bool IsShown() const;
    // Puts the shown viewer back above every other window of its owner, without activating it.
    void Raise() const;
    // The viewer's frame, null before the first click.
    CTooltipDlg* GetDialog() const { return m_pTooltipDlg.get(); }

    // The viewer's window rectangle over an owner window rectangle at a scale.
    static RECT PlacementOver(const RECT& ownerWindow, float scale);

private:
    void Show(int command) const;

    std::unique_ptr<CTooltipDlg> m_pTooltipDlg;  // owned, with its windows
};
