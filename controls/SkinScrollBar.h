#pragma once
// A scroll bar drawn entirely from one skin bitmap, with hover and pressed looks, auto-repeat and
// thumb dragging. It keeps its own range, page and position: SBM_SETSCROLLINFO and
// SBM_GETSCROLLINFO never reach the system scroll bar underneath, and it reports to its parent
// with WM_VSCROLL / WM_HSCROLL exactly as a system scroll bar control does.
#include "framework/Window.h"

#include <utility>

// The skin bitmap: 9 square tiles across and 3 rows down.
namespace scrollskin {

constexpr int kColumns = 9;

enum Column
{
    kUpArrow = 0,
    kDownArrow = 1,
    kVerticalThumb = 2,
    kVerticalTrack = 3,
    kLeftArrow = 4,
    kRightArrow = 5,
    kHorizontalThumb = 6,
    kHorizontalTrack = 7,
    kSizeGrip = 8,
};

enum Row
{
    kNormal = 0,
    kHover = 1,
    kPressed = 2,
};

// The size grip's rows.
constexpr int kGripRight = 0;
constexpr int kGripLeft = 1;

// The tile at `column`, `row` of a skin whose tiles are `tile` pixels square.
inline RECT TileRect(int tile, int column, int row)
{
    return RECT{column * tile, row * tile, (column + 1) * tile, (row + 1) * tile};
}

// Stretches `source` of the bitmap selected into `skinDc` over `destination`.
void StretchTile(HDC dc, const RECT& destination, HDC skinDc, const RECT& source);
// Covers `destination` with copies of `source`, each stretched to (int)(source size x scale) and
// placed that far apart; the last copy in each direction is squeezed into what is left.
void TileOver(HDC dc, const RECT& destination, HDC skinDc, const RECT& source, float scale);

}  // namespace scrollskin

// Where the five parts of a bar lie along its axis, in client pixels. The part codes are the
// scroll-bar notification codes: SB_LINEUP, SB_PAGEUP, SB_THUMBTRACK, SB_PAGEDOWN, SB_LINEDOWN.
struct ScrollBarLayout
{
    int length = 0;      // the bar along its axis
    int track = 0;       // what the thumb travels over
    int arrow = 0;       // each arrow
    int thumbStart = 0;  // from the bar's start
    int thumb = 0;       // 0: no thumb

    // The part at `offset` along the axis, or -1 off the bar.
    int PartAt(int offset) const;
    // [start, end) of a part along the axis.
    std::pair<int, int> Extent(int part) const;
};

// The thumb's length for a track: page x track / range, at least 6 (or 2 x cap + 6 with end caps
// of cap + 3 pixels); none when the track is too short for that minimum.
int ThumbLength(int track, int page, int range, int thumbCap);

// A bar of `length` pixels whose skin tiles are `tile` pixels, at `scale`, showing `position`
// of `info`'s range and page. A range that fits one page draws no thumb; for hit testing
// (`forHitTest`) it keeps its computed thumb, centred in the track.
ScrollBarLayout LayOutScrollBar(int length, int tile, float scale, int thumbCap, const SCROLLINFO& info, int position,
                                bool forHitTest);

class CSkinScrollBar : public fx::CWnd
{
public:
    // A held arrow or track part steps once at the press, once more after the first delay, then
    // on every repeat.
    static constexpr UINT_PTR kRepeatTimer = 100;
    static constexpr UINT_PTR kFirstDelayTimer = 200;
    static constexpr UINT kRepeatMs = 100;
    static constexpr UINT kFirstDelayMs = 500;
    // No part: off the bar, nothing pressed, nothing hovered.
    static constexpr int kNoPart = -1;

    // Creates the bar (SBS_VERT or SBS_HORZ in `args.style`) with its scale factor and the extra
    // size of the thumb's end caps (0 gives 3-pixel caps).
    bool Create(const fx::CreateArgs& args, float scale, int thumbCap);
    // The skin (not owned; it must outlive the bar): sets the tile size and makes the bar one
    // scaled tile thick. Nothing is painted without it.
    void SetSkin(HBITMAP skin);

    bool IsVertical() const;
    bool IsDragging() const { return m_bDragging != 0; }
    // The bar's own range, page and position (the track position is -1 unless dragging).
    const SCROLLINFO& Info() const { return m_si; }
    // Sends SBM_SETSCROLLINFO / SBM_GETSCROLLINFO to the bar.
    void SetScrollInfo(const SCROLLINFO& info, bool redraw);
    SCROLLINFO GetScrollInfo() const;

    ScrollBarLayout Layout(bool forHitTest = false) const;
    // The part at a client point, or -1 off the bar.
    int HitTest(POINT client) const;
    // The part's rectangle in client coordinates.
    RECT PartRect(int part) const;
    // Paints every part with its current look into `dc` (client coordinates); no side effects.
    void Paint(HDC dc) const;

protected:
    bool ProcessMessage(fx::Message& message) override;

private:
    bool OnPaint(fx::Message& message);
    bool OnEraseBackground(fx::Message& message);
    bool OnSize(fx::Message& message);
    bool OnEnable(fx::Message& message);
    bool OnSetScrollInfo(fx::Message& message);
    bool OnGetScrollInfo(fx::Message& message);
    bool OnLButtonDown(fx::Message& message);
    bool OnLButtonDblClk(fx::Message& message);
    bool OnMouseMove(fx::Message& message);
    bool OnMouseLeave(fx::Message& message);
    bool OnLButtonUp(fx::Message& message);
    bool OnCaptureChanged(fx::Message& message);
    bool OnFirstDelayTimer(fx::Message& message);
    bool OnRepeatTimer(fx::Message& message);

    void RequestLeave();
    void MoveTo(POINT client);
    void Release(POINT client);
    void Step();
    // Tells the parent, as a system scroll bar control does.
    void Notify(int code, int position) const;
    void RedrawNow() const;
    int Offset(POINT client) const { return IsVertical() ? client.y : client.x; }
    int Thickness() const;
    // The last position a page can start at.
    int LastPosition() const;
    int RowFor(int part) const;
    void PaintPart(HDC dc, HDC skinDc, int part) const;

    HBITMAP m_hSkin = nullptr;  // not owned
    int m_nTile = 0;            // skin width / 9
    int m_nLength = 0;          // client height (vertical) or width (horizontal)
    SCROLLINFO m_si{sizeof(SCROLLINFO), SIF_ALL, 0, 0, 0, 0, -1};
    int m_bDragging = 0;
    POINT m_ptDrag{};
    int m_nDragPos = 0;
    int m_nPressedPart = kNoPart;
    int m_bRepeating = 0;
    int m_nHoverPart = kNoPart;
    int m_bOutside = 0;
    int m_bTrackingLeave = 0;
    float m_fScale = 1.0f;
    int m_nThumbCap = 0;
};
