#pragma once
// An owner-drawn report-view list that can show a tree of rows (children that expand and collapse
// under their row), keeps a record of its own for every row, draws check boxes, striped child rows
// and a flat header, and cuts texts that do not fit with "...".
//
// The list view's rows carry their record (CTreeItem) as item data. The record's check flag is
// what the program reads: every change of a row's check box in the view (click, space bar, the
// header's check-all box) is copied into it, so view and record never disagree.
#include "controls/HeaderCtrlEx.h"
#include "framework/Gdi.h"

#include <commctrl.h>

#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

// Texts are read and cut in buffers of this many characters, the terminator included.
constexpr size_t kListTextCapacity = 260;
using ListTextBuffer = std::array<wchar_t, kListTextCapacity>;

// `text` as it fits into `width` pixels on `dc` with `margin` to spare: the text itself when it
// fits (or is empty), otherwise its beginning with "..." appended, written into `elided` (at least
// one character is kept; a text longer than the buffer is cut to it first). `wasElided` tells
// which.
const wchar_t* ElideText(HDC dc, const wchar_t* text, int width, int margin, ListTextBuffer& elided,
                         bool* wasElided = nullptr);

// What a cell shows besides its text: a cell that holds a control of its own gets no text from
// the list.
enum CONTROLTYPE
{
    kCellText = 0,
    kCellControl = 1,
};

// The contents of one row.
class CItemInfo
{
public:
    void SetItemText(const std::wstring& text) { m_strText = text; }
    const std::wstring& GetItemText() const { return m_strText; }
    // Column 1, 2, ...; the array grows as needed.
    void SetSubItemText(int column, const std::wstring& text);
    std::wstring GetSubItemText(int column) const;
    const std::vector<std::wstring>& GetSubItemTexts() const { return m_subItemTexts; }

    void SetCheck(int checked) { m_bChecked = checked ? 1 : 0; }
    int GetCheck() const { return m_bChecked; }
    // Index in the list's small image list, -1 for none.
    void SetImage(int image) { m_nImage = image; }
    int GetImage() const { return m_nImage; }
    // The caller's own object for this row; never freed by the list.
    void SetUserData(void* data) { m_pUserData = data; }
    void* GetUserData() const { return m_pUserData; }

    void SetControlType(int column, CONTROLTYPE type) { m_controlTypes[column] = type; }
    CONTROLTYPE GetControlType(int column) const;
    void SetCellColor(int column, COLORREF color) { m_cellColors[column] = color; }
    bool GetCellColor(int column, COLORREF& color) const;
    void SetCellList(int column, std::vector<std::wstring> choices) { m_cellLists[column] = std::move(choices); }
    const std::vector<std::wstring>* GetCellList(int column) const;

private:
    std::map<int, CONTROLTYPE> m_controlTypes;
    std::map<int, COLORREF> m_cellColors;
    std::map<int, std::vector<std::wstring>> m_cellLists;
    std::wstring m_strText;
    std::vector<std::wstring> m_subItemTexts;  // element 0 is column 1
    int m_bChecked = 0;
    int m_nImage = -1;
    void* m_pUserData = nullptr;  // not owned
};

class CListCtrlEx : public fx::CWnd
{
public:
    // One row, shown or collapsed away.
    class CTreeItem
    {
    public:
        CTreeItem* GetParent() const { return m_pParent; }
        CItemInfo* GetInfo() const { return m_pInfo.get(); }
        const std::vector<std::unique_ptr<CTreeItem>>& GetChildren() const { return m_children; }
        int IsCollapsed() const { return m_bCollapsed; }
        int GetIndex() const { return m_nIndex; }  // -1 while collapsed away
        int GetLevel() const { return m_nLevel; }
        // Any value but -1 makes the row count as having children without any.
        void SetHasChildrenHint(int hint) { m_nHasChildren = hint; }
        bool HasChildren() const { return !m_children.empty() || m_nHasChildren != -1; }

    private:
        friend class CListCtrlEx;
        std::vector<std::unique_ptr<CTreeItem>> m_children;  // owned, in display order
        CTreeItem* m_pParent = nullptr;                      // not owned; none for a top-level row
        std::unique_ptr<CItemInfo> m_pInfo;                  // owned
        int m_bCollapsed = 0;
        int m_nIndex = -1;
        int m_nLevel = -1;
        int m_nHasChildren = -1;
        int m_nStripe = -1;  // a child row's ground, fixed at its first drawing: 1 window colour, 0 grey
    };

    // Added to every list's style: report view, one selection, owner-drawn rows of one height.
    static constexpr DWORD kListStyle =
        LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS | LVS_OWNERDRAWFIXED;
    static constexpr COLORREF kSelectedColor = RGB(204, 235, 250);
    static constexpr COLORREF kTopLevelColor = RGB(255, 255, 255);
    static constexpr COLORREF kGreyStripeColor = RGB(243, 243, 243);

    // Before Create: what the header gets, and the height of every row.
    void SetHeaderCheckBox(int hasCheckBox) { m_bHeaderCheckBox = hasCheckBox; }
    void SetScaleFactor(float scale) { m_fScale = scale; }
    void SetHeaderHeight(int height) { m_nHeaderHeight = height; }
    void SetRowHeight(int height) { m_nRowHeight = height; }

    // Creates the list view (kListStyle added to the style) and takes over its header.
    bool Create(fx::CreateArgs args);
    // Attaches the small image list (not owned): the list draws no rows without one, and its
    // image size is the width of one tree level and the height that icons are centred in.
    void SetSmallImageList(HIMAGELIST images);
    CHeaderCtrlEx& GetHeaderCtrl() { return m_header; }
    int InsertColumn(int column, const std::wstring& caption, int format, int width);

    // A new top-level row at the end, ticked; null when the view refuses it. A null record makes
    // an empty one.
    CTreeItem* InsertRootItem(std::unique_ptr<CItemInfo> info = nullptr);
    // A new last child of `parent`, shown at once when the parent shows its children.
    CTreeItem* InsertChildItem(CTreeItem* parent, std::unique_ptr<CItemInfo> info = nullptr);
    // The record of the view's row `index`, or null (no such row, or a row the list did not make).
    CTreeItem* GetTreeItem(int index) const;
    static CItemInfo* GetItemInfo(const CTreeItem* item) { return item ? item->GetInfo() : nullptr; }
    // The row's check flag as the program sees it: its record's.
    int IsItemChecked(int index) const;
    int GetItemCount() const;
    int GetSelectedItem() const;
    int GetFocusColumn() const { return m_nFocusColumn; }

    void DeleteAllTreeItems();
    void DeleteItemEx(CTreeItem* item, int index);
    // Shows the children of a collapsed row below it; the index of the last row shown.
    int Expand(CTreeItem* item, int index);
    // Expands the row and every row below it that has children.
    int ExpandAll(CTreeItem* item, int index);
    void Collapse(CTreeItem* item);

    // Left and right arrow move the focus column; the keys go no further.
    bool PreTranslateMessage(MSG& message) override;

protected:
    // Asked before the list acts; each allows by default.
    virtual bool OnItemLButtonDown(const LVHITTESTINFO& hit) { return true; }
    virtual bool OnItemExpanding(CTreeItem* item) { return true; }
    virtual void OnItemExpanded(CTreeItem* item) {}
    virtual bool OnItemCollapsing(CTreeItem* item) { return true; }
    virtual void OnItemCollapsed(CTreeItem* item) {}
    virtual bool OnVkAdd(CTreeItem* item) { return true; }
    virtual bool OnVkMultiply(CTreeItem* item) { return true; }
    virtual bool OnVkSubtract(CTreeItem* item) { return true; }
    virtual bool OnDeleteItem(CTreeItem* item) { return true; }

    bool ProcessMessage(fx::Message& message) override;

private:
    bool OnCreate(fx::Message& message);
    bool OnMeasureItem(fx::Message& message);
    bool OnDrawItem(fx::Message& message);
    bool OnLButtonDown(fx::Message& message);
    bool OnScroll(fx::Message& message);
    bool OnReflectedNotify(fx::Message& message);
    bool OnDoubleClick(fx::Message& message);
    bool OnKeyDownNotify(fx::Message& message);
    bool OnItemChanged(fx::Message& message);
    bool OnEndLabelEdit(fx::Message& message);
    bool OnHeaderCheckChanged(fx::Message& message);

    void DrawRow(HDC dc, int index);
    void DrawSubItems(HDC dc, int index, const CItemInfo* info, const RECT& bounds, COLORREF background, bool selected);
    void DrawTreeLines(HDC dc, const CTreeItem& item, const RECT& bounds, int columnRight);
    COLORREF RowBackground(CTreeItem* item, bool selected);
    bool HasNextSibling(const CTreeItem& item) const;
    bool IsFirstSibling(const CTreeItem& item) const;
    int IconTop(const RECT& bounds) const;
    RECT ExpandBoxRect(const CTreeItem& item, const RECT& bounds) const;

    // True when the click toggled a check box or a row's expansion.
    bool ClickTest(POINT point);
    void ToggleExpansion(CTreeItem* item, int index);
    void SetRowCheck(int index, CItemInfo* info, bool checked);
    void CopyCheckFromView(int index);
    int InsertViewRow(int at, CTreeItem& item, bool checked);
    int ShownDescendants(int index, int level) const;
    // The view's row that shows the record, or -1.
    int FindRow(const CTreeItem* item) const;
    void RemoveRecord(CTreeItem* item);
    void Renumber();
    void RedrawRow(int index);
    int ColumnOrder(int column) const;
    void ScrollColumnIntoView(int position);
    bool HasCheckBoxes() const;

    CHeaderCtrlEx m_header;
    int m_nFocusColumn = 0;                               // header order position of the column with the keyboard focus
    std::vector<std::unique_ptr<CTreeItem>> m_rootItems;  // owned, in insertion order
    fx::CPen m_penLine{CreatePen(PS_SOLID, 1, RGB(192, 192, 192))};
    fx::CPen m_penBox{CreatePen(PS_SOLID, 1, RGB(198, 198, 198))};
    fx::CPen m_penSign{CreatePen(PS_SOLID, 1, RGB(0, 0, 0))};
    fx::CBrush m_brBox{CreateSolidBrush(RGB(255, 255, 255))};
    HIMAGELIST m_hSmallImages = nullptr;  // not owned: the view's, looked up at the first drawing
    int m_bStripeToggle = 0;
    int m_nRowHeight = 0;
    int m_nHeaderHeight = 0;
    float m_fScale = 1.0f;
    int m_bHeaderCheckBox = 0;
    int m_nIndentWidth = 0;
    int m_nIconHeight = 0;
};
