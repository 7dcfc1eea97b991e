#pragma once
// An automatic check box drawn from a strip of 16 x 16 cells (unchecked, checked) with its
// caption beside it; the system keeps the check state.
#include "controls/SkinnedControl.h"
#include "res/resource.h"

class CCheckBoxBtn : public CSkinnedControl
{
public:
    static constexpr UINT kStripImageId = IDB_CHECKBOX_STRIP;
    static constexpr int kCellSize = 16;

    void UseParentFont();
    void SetTextColor(COLORREF color) { m_crText = color; }

    // x of the strip cell shown for a BM_GETCHECK value: only "checked" (1) shows the checked cell.
    static int CellForCheckState(LRESULT checkState) { return checkState == BST_CHECKED ? kCellSize : 0; }
    void PaintFace(HDC dc, const RECT& rect);

protected:
    bool ProcessMessage(fx::Message& message) override;

private:
    bool OnPaint(fx::Message& message);
    bool OnEraseBackground(fx::Message& message);
    bool OnMiddleButtonDown(fx::Message& message);
    bool RedrawAfterDefault(fx::Message& message);

    fx::ImagePtr m_strip;  // owned, loaded at the first paint
    fx::CBrush m_brBackground{CreateSolidBrush(RGB(255, 255, 255))};
    fx::CFont m_font;
    COLORREF m_crText = RGB(0, 0, 0);
};
