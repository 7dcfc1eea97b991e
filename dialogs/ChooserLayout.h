#pragma once
// What the choosers' children share: the drag strip, the answers they send their frames, their close
// button, text rows and confirm button. Positions are design pixels
// at scale 1.0 times the scale factor, each sum truncated toward zero.
#include "controls/DrawTextStatic.h"
#include "controls/PngButton.h"
#include "dialogs/LayeredPair.h"

// The choosers are dragged by a strip 30 high along the top, less the close button's 26 at the
// right; both grow with the scale factor.
constexpr DragStrip kChooserDragStrip{30, 26, true};

// wParam of the result messages that a chooser's child sends its frame.
constexpr WPARAM kChooserConfirm = 1;
constexpr WPARAM kChooserCancel = 2;

constexpr int kTextRowHeight = 15;
constexpr int kEditRowHeight = 20;

// The close cross: 12 x 12 at 26 from the right edge and 8 from the top.
void PlaceChildCloseButton(const fx::CWindow& button, const RECT& client, float s);
// Its images (167 to 169) over `source`, its place in the child's background picture.
void SetUpChildCloseButton(CPngButton& button, float s, Gdiplus::Image* background, const RECT& source);

// A row from `left` to `rightMargin` before the right edge, `top` below the top edge.
void PlaceRow(const fx::CWindow& control, const RECT& client, float s, int left, int top, int rightMargin, int height);

// A single-line label on white in one colour, in the dialog's font.
void SetUpLabel(CDrawTextStatic& label, COLORREF color);

// The 确认 button, 55 x 24, centred, 30 above the bottom edge.
void PlaceCentredConfirm(const fx::CWindow& button, const RECT& client, float s);
// Its images (173 to 175) over its place in the child's picture, no hot inset.
void SetUpConfirmButton(CImageButton& button, float s, Gdiplus::Image* background, const RECT& source);
