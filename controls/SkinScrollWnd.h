#pragma once
// A frame that gives an existing control skinned scroll bars. The frame takes the control's place
// (rectangle, control id, border); the control moves into a clipping child "LIMIT" that cuts away
// its own system scroll bars, and two CSkinScrollBar windows beside it take their place, kept in
// step with the control's scroll state.
//
// The control's window procedure is replaced (GWLP_WNDPROC, the frame in GWLP_USERDATA). That
// works beside subclasses made with SetWindowSubclass (a control bound to an fx::CWnd object), in
// either order of attaching and detaching.
//
// The frame belongs to its window: it is deleted once its window is gone. Destroying the control
// detaches it first (the control is given back to the frame's parent, the frame destroyed);
// destroying a window around the frame detaches the control as the frame goes.
#include "controls/SkinScrollBar.h"

// Where the frame's children go inside its client area (frame client coordinates).
struct SkinScrollLayout
{
    RECT limit{};       // the clipping window that holds the control
    int controlX = 0;   // the control's left edge inside the limit window
    RECT vertical{};    // empty when the control has no vertical scroll bar
    RECT horizontal{};  // empty when it has no horizontal one
    int corner = 0;     // CSkinScrollWnd::Corner
};

class CSkinScrollWnd : public fx::CWnd
{
public:
    static constexpr int kHorizontalBarId = 100;
    static constexpr int kVerticalBarId = 101;
    static constexpr int kLimitId = 200;
    // Every so often the bars are brought in step with the control, whatever the control did.
    static constexpr UINT_PTR kSyncTimer = 100;
    static constexpr UINT kSyncMs = 500;
    static constexpr wchar_t kWindowName[] = L"SkinScrollBarFrame";
    static constexpr wchar_t kLimitName[] = L"LIMIT";

    enum Corner
    {
        kNoCorner = 0,
        kCornerLeft = 1,
        kCornerRight = 2,
    };

    // Wraps `control` with bars drawn from `skin` (not owned: it must outlive the frame) at `scale`.
    // The frame, or null when it could not be made (the control is then left as it was).
    static CSkinScrollWnd* Wrap(HWND control, HBITMAP skin, float scale, int thumbCap);

    // The limit window's place, the control's inside it and the bars' for a frame client area.
    static SkinScrollLayout LayOut(const RECT& client, int barWidth, bool vertical, bool horizontal, bool leftScroll);

    HWND Control() const { return m_hControl; }
    CSkinScrollBar& HorizontalBar() { return m_sbHorz; }
    CSkinScrollBar& VerticalBar() { return m_sbVert; }
    int BarWidth() const { return m_nBarWidth; }
    int GetCorner() const { return m_nCorner; }

protected:
    bool ProcessMessage(fx::Message& message) override;
    void OnFinalMessage(HWND window) override;

private:
    CSkinScrollWnd(HBITMAP skin, float scale, int thumbCap);
    // Only the frame itself deletes itself, after its last message.
    ~CSkinScrollWnd() override = default;

    bool Attach(HWND control);
    // Gives the control its own procedure back; `giveBack` also returns it to the frame's parent at
    // the frame's place (when the control goes while the frame stays).
    void Detach(bool giveBack);
    static LRESULT CALLBACK SkinProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK AnchorProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                       DWORD_PTR refData);
    static CSkinScrollWnd* FrameOf(HWND control);
    // What the frame does after the control has handled a message.
    void AfterControlMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Copies the control's scroll state for `bar` (SB_VERT or SB_HORZ) into the skinned bar when it
    // differs; `enable` also enables the bar exactly when the range reaches the page.
    void Sync(int bar, bool enable);

    bool OnLayout(fx::Message& message);
    bool OnScroll(fx::Message& message);
    bool OnSyncTimer(fx::Message& message);
    bool OnSize(fx::Message& message);
    bool OnPaint(fx::Message& message);
    bool OnDestroy(fx::Message& message);

    int m_nBarWidth = 16;
    int m_nTile = 0;  // the skin's tile size
    CSkinScrollBar m_sbHorz;
    CSkinScrollBar m_sbVert;
    fx::CWnd m_wndLimit;
    HBITMAP m_hSkin = nullptr;  // not owned
    HWND m_hControl = nullptr;  // not owned: the wrapped control, while attached
    int m_bUpdating = 0;        // set while the frame itself moves or scrolls the control
    int m_nCorner = kNoCorner;
    float m_fScale = 1.0f;
    int m_nThumbCap = 0;
};

// Gives `control` skinned scroll bars (see CSkinScrollWnd); the frame, owned by its window, or null.
CSkinScrollWnd* SkinWndScroll(HWND control, HBITMAP skin, float scale, int thumbCap);
