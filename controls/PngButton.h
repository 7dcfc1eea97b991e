#pragma once
// Push buttons painted entirely from PNG state images (normal, hover, pressed, disabled) over a
// piece of the parent's background. The captions are part of the images.
#include "controls/SkinnedControl.h"

#include <array>

// The state machine and images that CPngButton and CImageButton share.
class CSkinButtonBase : public CSkinnedControl
{
public:
    enum State
    {
        kNormal = 1,
        kHover = 2,
        kPressed = 3
    };
    static constexpr UINT kHoverTimeMs = 10;

    // Names the four state images. Each is decoded when its state is first shown, and a picture that
    // two states share is decoded once; a missing one leaves the button blank.
    void SetStateImages(UINT normalId, UINT hoverId, UINT pressedId, UINT disabledId);
    void FreeStateImages();

    bool HasAllStateImages() const;
    // Draws the face for the current state into `dc` over `rect`; draws nothing when a state
    // image is missing. No side effects, so tests and screenshots can render it anywhere.
    virtual void PaintFace(HDC dc, const RECT& rect) const = 0;

protected:
    bool ProcessMessage(fx::Message& message) override;
    // Whether a mouse message at `point` (client coordinates) may change the state.
    virtual bool AcceptsPoint(POINT point) const { return true; }
    // The image for the current state, or the disabled image when the window is disabled; decoded
    // now when it has not been shown yet.
    Gdiplus::Image* CurrentImage() const;

private:
    bool OnMouseMove(fx::Message& message);
    bool OnMouseHover(fx::Message& message);
    bool OnLButtonDown(fx::Message& message);
    bool OnMouseLeave(fx::Message& message);
    bool OnDrawItem(fx::Message& message);
    void ChangeState(int state);

    std::array<UINT, 4> m_stateImageIds{};              // normal, hover, pressed, disabled; 0: none
    mutable std::array<fx::ImagePtr, 4> m_stateImages;  // owned; the first state with a given picture holds it
    int m_nState = kNormal;
    bool m_bTracking = false;
};

// The title-bar and answer buttons of the dialogs.
class CPngButton : public CSkinButtonBase
{
public:
    void PaintFace(HDC dc, const RECT& rect) const override;
    // Above scale 1.0 the image is read one pixel short on the right and at the bottom, so that
    // stretching does not bleed its edge.
    static RECT StateImageSource(UINT width, UINT height, float scale);

private:
    fx::CBrush m_brBackground{CreateSolidBrush(RGB(255, 255, 255))};
};

// The large buttons: a hot area inset from the edges, and the face painted at erase time too.
class CImageButton : public CSkinButtonBase
{
public:
    void SetHotInsets(int left, int top, int right, int bottom) { m_insets = {left, top, right, bottom}; }
    // Whether the cursor lies in the client rectangle shrunk by the hot insets.
    bool IsCursorInHotArea() const;
    void PaintFace(HDC dc, const RECT& rect) const override;

protected:
    bool ProcessMessage(fx::Message& message) override;
    bool AcceptsPoint(POINT point) const override;

private:
    bool OnEraseBackground(fx::Message& message);

    RECT m_insets{};
};
