#pragma once
// Static texts drawn flicker-free over a white ground or a piece of the parent's background.
#include "controls/SkinnedControl.h"

#include <string>

// Shared by both labels: text replaced without the system painting the old face over ours.
class CDrawnStaticBase : public CSkinnedControl
{
public:
    void SetAlignment(int code) { m_nAlignment = code; }
    // Draws the label into `dc` over `rect`, as WM_PAINT shows it.
    virtual void PaintFace(HDC dc, const RECT& rect) = 0;

protected:
    bool ProcessMessage(fx::Message& message) override;
    // The window text as the label shows it.
    virtual std::wstring DisplayText() const { return GetWindowText(); }
    // Draws the display text in `color` with `format`; no text when `format` is -1.
    void DrawLabelText(HDC dc, const RECT& rect, COLORREF color, int format) const;

    fx::CFont m_font;
    int m_nAlignment = 0;

private:
    bool OnPaint(fx::Message& message);
    bool OnEraseBackground(fx::Message& message);
    bool OnSetText(fx::Message& message);
};

// A text label with a normal and a hover colour (links, versions, dialog messages).
class CDrawTextStatic : public CDrawnStaticBase
{
public:
    // DrawText flags for a layout code, or -1 for the codes that draw no text.
    static int FormatFor(int code);

    // A copy of the parent's font, optionally larger and of another weight (see DeriveFont).
    bool SetFont(int sizeIncrease, int weight);
    // Takes effect only before the first paint: the brush is made once.
    void SetBackColor(COLORREF color) { m_crBackground = color; }
    void SetTextColors(COLORREF normal, COLORREF hover);
    // Hover follows whether the screen point lies in the label; repaints only on a change.
    void UpdateHover(int x, int y);
    bool ContainsScreenPoint(int x, int y) const;
    void PaintFace(HDC dc, const RECT& rect) override;

private:
    fx::CBrush m_brBackground;  // made at the first paint
    COLORREF m_crBackground = RGB(255, 255, 255);
    COLORREF m_crNormal = RGB(0, 0, 0);
    COLORREF m_crHover = RGB(0, 0, 255);
    bool m_bHovered = false;
};

// A status text followed by "", ".", "..", "..." advancing once a second.
class CDrawStateInfoStatic : public CDrawnStaticBase
{
public:
    static constexpr UINT_PTR kDotsTimer = 36;
    static constexpr UINT kDotsPeriodMs = 1000;

    static int FormatFor(int code);

    void UseParentFont();
    void SetTextColorAndRedraw(COLORREF color);
    void StartDots() { SetTimer(kDotsTimer, kDotsPeriodMs); }
    void StopDots();
    int GetDotCount() const { return m_nDots; }
    void PaintFace(HDC dc, const RECT& rect) override;

protected:
    bool ProcessMessage(fx::Message& message) override;
    std::wstring DisplayText() const override;

private:
    bool OnDotsTimer(fx::Message& message);

    fx::CBrush m_brBackground{CreateSolidBrush(RGB(255, 255, 255))};
    COLORREF m_crText = RGB(0, 0, 0);
    int m_nDots = 0;
};
