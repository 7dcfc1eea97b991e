#include "dialogs/ChooserLayout.h"

#include "framework/Scale.h"
#include "res/resource.h"

namespace {
constexpr float kCloseSize = 12;
constexpr float kCloseRight = 26;
constexpr float kCloseTop = 8;
constexpr float kButtonWidth = 55;
constexpr float kButtonHeight = 24;
constexpr float kButtonBottom = 30;
}  // namespace

void PlaceChildCloseButton(const fx::CWindow& button, const RECT& client, float s)
{
    button.MoveWindow(static_cast<int>(client.right - kCloseRight * s), static_cast<int>(client.top + kCloseTop * s),
                      fx::Scaled(kCloseSize, s), fx::Scaled(kCloseSize, s));
}

void SetUpChildCloseButton(CPngButton& button, float s, Gdiplus::Image* background, const RECT& source)
{
    button.SetSkin(s, background, source);
    button.SetStateImages(IDB_CHILD_CLOSE_NORMAL, IDB_CHILD_CLOSE_HOVER, IDB_CHILD_CLOSE_PRESSED,
                          IDB_CHILD_CLOSE_PRESSED);
}

void PlaceRow(const fx::CWindow& control, const RECT& client, float s, int left, int top, int rightMargin, int height)
{
    const int x = static_cast<int>(client.left + left * s);
    const int y = static_cast<int>(client.top + top * s);
    const int right = static_cast<int>(client.right - rightMargin * s);
    control.MoveWindow(x, y, right - x, fx::Scaled(static_cast<float>(height), s));
}

void SetUpLabel(CDrawTextStatic& label, COLORREF color)
{
    label.SetFont(0, 0);
    label.SetAlignment(1);  // left aligned, vertically centred, single line
    label.SetBackColor(RGB(255, 255, 255));
    label.SetTextColors(color, color);
}

void PlaceCentredConfirm(const fx::CWindow& button, const RECT& client, float s)
{
    const int half = (client.right - client.left) / 2;
    button.MoveWindow(static_cast<int>(half - kButtonWidth * s / 2),
                      static_cast<int>(client.bottom - kButtonBottom * s), fx::Scaled(kButtonWidth, s),
                      fx::Scaled(kButtonHeight, s));
}

void SetUpConfirmButton(CImageButton& button, float s, Gdiplus::Image* background, const RECT& source)
{
    button.SetSkin(s, background, source);
    button.SetHotInsets(0, 0, 0, 0);
    button.SetStateImages(IDB_CONFIRM_NORMAL, IDB_CONFIRM_HOVER, IDB_CONFIRM_PRESSED, IDB_CONFIRM_PRESSED);
}
