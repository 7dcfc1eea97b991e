#pragma once
// The header of CListCtrlEx: flat coloured columns of a fixed height without separators, and an
// optional check-all box in the first column that tells the list to tick or untick every row.
#include "framework/GdiplusImage.h"
#include "framework/Window.h"

class CHeaderCtrlEx : public fx::CWnd
{
public:
    static constexpr int kCellSize = 16;  // the strip's cells: unchecked, checked

    void SetHeight(int height) { m_nHeight = height; }
    int GetHeight() const { return m_nHeight; }
    void SetScaleFactor(float scale) { m_fScale = scale; }
    void SetHasCheckBox(int hasCheckBox) { m_bHasCheckBox = hasCheckBox; }
    int GetChecked() const { return m_bChecked; }
    void SetBkColor(BYTE red, BYTE green, BYTE blue);
    void SetTextColor(COLORREF color) { m_crText = color; }
    COLORREF GetBkColor() const { return RGB(m_bkRed, m_bkGreen, m_bkBlue); }

    // The check-all box inside a first column whose rectangle is `column`.
    static RECT CheckBoxRect(const RECT& column, float scale);
    // Draws the whole header into `dc` over `client`; remembers where the check-all box went.
    void PaintFace(HDC dc, const RECT& client);

protected:
    bool ProcessMessage(fx::Message& message) override;

private:
    bool OnLayout(fx::Message& message);
    bool OnPaint(fx::Message& message);
    bool OnEraseBackground(fx::Message& message);
    bool OnLButtonUp(fx::Message& message);
    void PaintColumn(HDC dc, int index, bool first, bool boxShown);

    BYTE m_bkRed = 240;
    BYTE m_bkGreen = 242;
    BYTE m_bkBlue = 248;
    COLORREF m_crText = RGB(0, 0, 0);
    fx::ImagePtr m_pCheckStrip;  // owned, loaded at the first paint that shows the box
    RECT m_rcCheckBox{};         // where the last paint put the box; empty without one
    int m_nHeight = 1;
    float m_fScale = 1.0f;
    int m_bChecked = 0;
    int m_bHasCheckBox = 0;
};
