#pragma once
// What every skinned control takes from the dialog that owns it: the display scale factor and the
// piece of the dialog's background picture that lies behind it (so that it looks transparent).
#include "controls/PngPainting.h"
#include "framework/Window.h"

class CSkinnedControl : public fx::CWnd
{
public:
    void SetScaleFactor(float scale) { m_fScale = scale; }
    void SetBackgroundImage(Gdiplus::Image* image) { m_background.SetImage(image); }
    void SetBackgroundRect(int left, int top, int right, int bottom) { m_background.SetRect(left, top, right, bottom); }
    // All three at once, as a dialog's first layout gives them to each control. `source` is in
    // unscaled image pixels; `background` stays the dialog's (not owned).
    void SetSkin(float scale, Gdiplus::Image* background, const RECT& source)
    {
        SetScaleFactor(scale);
        SetBackgroundImage(background);
        SetBackgroundRect(source.left, source.top, source.right, source.bottom);
    }

protected:
    CBackgroundPiece m_background;
    float m_fScale = 1.0f;
};
