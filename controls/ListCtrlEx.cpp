#include "controls/ListCtrlEx.h"

#include "framework/MessageMap.h"
#include "framework/Scale.h"
#include "res/PrivateMessages.h"

#include <algorithm>
#include <cwchar>

namespace {

constexpr wchar_t kEllipsis[] = L"...";
constexpr size_t kEllipsisLength = 3;
constexpr UINT kTextFormat = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_EXTERNALLEADING;
// Keys that the list acts on from its LVN_KEYDOWN: the space bar up to the numeric pad's minus.
constexpr WORD kFirstListKey = VK_SPACE;
constexpr WORD kLastListKey = VK_SUBTRACT;

int TextWidth(HDC dc, const wchar_t* text, size_t length)
{
    SIZE size{};
    GetTextExtentPoint32W(dc, text, static_cast<int>(length), &size);
    return size.cx;
}

int StateImageIndex(UINT state) { return static_cast<int>((state & LVIS_STATEIMAGEMASK) >> 12); }

// The view's check box state images: 1 unchecked, 2 checked.
UINT CheckStateMask(bool checked) { return INDEXTOSTATEIMAGEMASK(checked ? 2 : 1); }

// Turns the view's redrawing off for a scope, and back on (with a full repaint) at its end.
class CNoRedraw
{
public:
    explicit CNoRedraw(HWND list) : m_list(list) { SendMessageW(m_list, WM_SETREDRAW, FALSE, 0); }
    ~CNoRedraw()
    {
        SendMessageW(m_list, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(m_list, nullptr, TRUE);
    }
    CNoRedraw(const CNoRedraw&) = delete;
    CNoRedraw& operator=(const CNoRedraw&) = delete;

private:
    HWND m_list;  // not owned
};

// The hourglass while a whole subtree is shown or hidden.
class CWaitCursor
{
public:
    CWaitCursor() : m_previous(SetCursor(LoadCursorW(nullptr, IDC_WAIT))) {}
    ~CWaitCursor() { SetCursor(m_previous); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

private:
    HCURSOR m_previous;  // not owned: shared system cursors
};

}  // namespace

const wchar_t* ElideText(HDC dc, const wchar_t* text, int width, int margin, ListTextBuffer& elided, bool* wasElided)
{
    if (wasElided) *wasElided = false;
    if (!text || !*text) return text ? text : L"";
    // Room for at most this many characters before "..." and the terminator.
    constexpr size_t kKeepCapacity = kListTextCapacity - kEllipsisLength - 1;
    const size_t length = wcsnlen(text, kListTextCapacity);
    if (length < kListTextCapacity && TextWidth(dc, text, length) + margin < width) return text;

    size_t kept = std::min(length, kKeepCapacity);
    std::wmemcpy(elided.data(), text, kept);
    // Never keep half of a surrogate pair.
    auto dropHalfPair = [&] {
        if (kept > 1 && IS_HIGH_SURROGATE(elided[kept - 1])) --kept;
    };
    dropHalfPair();
    const int ellipsisWidth = TextWidth(dc, kEllipsis, kEllipsisLength);
    while (kept > 1 && TextWidth(dc, elided.data(), kept) + margin + ellipsisWidth >= width) {
        --kept;
        dropHalfPair();
    }
    std::wmemcpy(elided.data() + kept, kEllipsis, kEllipsisLength);
    elided[kept + kEllipsisLength] = L'\0';
    if (wasElided) *wasElided = true;
    return elided.data();
}

// ---- Row contents -------------------------------------------------------------------------

void CItemInfo::SetSubItemText(int column, const std::wstring& text)
{
    if (column < 1) return;
    const size_t slot = static_cast<size_t>(column - 1);
    if (m_subItemTexts.size() <= slot) m_subItemTexts.resize(slot + 1);
    m_subItemTexts[slot] = text;
}

std::wstring CItemInfo::GetSubItemText(int column) const
{
    const size_t slot = static_cast<size_t>(column - 1);
    return column >= 1 && slot < m_subItemTexts.size() ? m_subItemTexts[slot] : std::wstring();
}

CONTROLTYPE CItemInfo::GetControlType(int column) const
{
    const auto found = m_controlTypes.find(column);
    return found == m_controlTypes.end() ? kCellText : found->second;
}

bool CItemInfo::GetCellColor(int column, COLORREF& color) const
{
    const auto found = m_cellColors.find(column);
    if (found == m_cellColors.end()) return false;
    color = found->second;
    return true;
}

const std::vector<std::wstring>* CItemInfo::GetCellList(int column) const
{
    const auto found = m_cellLists.find(column);
    return found == m_cellLists.end() ? nullptr : &found->second;
}

// ---- The list -----------------------------------------------------------------------------

bool CListCtrlEx::Create(fx::CreateArgs args)
{
    args.style |= kListStyle;
    return CreateControl(WC_LISTVIEWW, args);
}

void CListCtrlEx::SetSmallImageList(HIMAGELIST images)
{
    ListView_SetImageList(m_hWnd, images, LVSIL_SMALL);
    m_hSmallImages = images;
    int width = 0;
    int height = 0;
    if (images && ImageList_GetIconSize(images, &width, &height)) {
        m_nIndentWidth = width;
        m_nIconHeight = height;
    }
}

int CListCtrlEx::InsertColumn(int column, const std::wstring& caption, int format, int width)
{
    LVCOLUMNW info{};
    info.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    info.fmt = format;
    info.cx = width;
    info.pszText = const_cast<wchar_t*>(caption.c_str());
    info.iSubItem = column;
    return ListView_InsertColumn(m_hWnd, column, &info);
}

int CListCtrlEx::GetItemCount() const { return m_hWnd ? ListView_GetItemCount(m_hWnd) : 0; }

int CListCtrlEx::GetSelectedItem() const { return m_hWnd ? ListView_GetNextItem(m_hWnd, -1, LVNI_SELECTED) : -1; }

CListCtrlEx::CTreeItem* CListCtrlEx::GetTreeItem(int index) const
{
    if (!m_hWnd || index < 0) return nullptr;
    LVITEMW row{};
    row.mask = LVIF_PARAM;
    row.iItem = index;
    if (!ListView_GetItem(m_hWnd, &row)) return nullptr;
    return reinterpret_cast<CTreeItem*>(row.lParam);
}

int CListCtrlEx::IsItemChecked(int index) const
{
    const CItemInfo* info = GetItemInfo(GetTreeItem(index));
    return info ? info->GetCheck() : 0;
}

bool CListCtrlEx::HasCheckBoxes() const { return (ListView_GetExtendedListViewStyle(m_hWnd) & LVS_EX_CHECKBOXES) != 0; }

void CListCtrlEx::SetRowCheck(int index, CItemInfo* info, bool checked)
{
    if (info) info->SetCheck(checked);
    ListView_SetItemState(m_hWnd, index, CheckStateMask(checked), LVIS_STATEIMAGEMASK);
}

int CListCtrlEx::InsertViewRow(int at, CTreeItem& item, bool checked)
{
    CItemInfo* info = item.GetInfo();
    LVITEMW row{};
    row.mask = LVIF_TEXT | LVIF_PARAM | LVIF_INDENT;
    row.iItem = at;
    row.pszText = const_cast<wchar_t*>(info->GetItemText().c_str());
    row.lParam = reinterpret_cast<LPARAM>(&item);
    row.iIndent = item.m_nLevel;
    const int inserted = ListView_InsertItem(m_hWnd, &row);
    if (inserted < 0) return -1;
    item.m_nIndex = inserted;
    SetRowCheck(inserted, info, checked);
    const auto& texts = info->GetSubItemTexts();
    for (size_t i = 0; i < texts.size(); ++i)
        ListView_SetItemText(m_hWnd, inserted, static_cast<int>(i + 1), const_cast<wchar_t*>(texts[i].c_str()));
    return inserted;
}

CListCtrlEx::CTreeItem* CListCtrlEx::InsertRootItem(std::unique_ptr<CItemInfo> info)
{
    if (!m_hWnd) return nullptr;
    auto item = std::make_unique<CTreeItem>();
    item->m_pInfo = info ? std::move(info) : std::make_unique<CItemInfo>();
    item->m_nLevel = 1;
    if (InsertViewRow(GetItemCount(), *item, true) < 0) return nullptr;
    m_rootItems.push_back(std::move(item));
    return m_rootItems.back().get();
}

CListCtrlEx::CTreeItem* CListCtrlEx::InsertChildItem(CTreeItem* parent, std::unique_ptr<CItemInfo> info)
{
    if (!m_hWnd || !parent) return nullptr;
    const bool shown = parent->m_nIndex >= 0 && !parent->m_bCollapsed;
    auto child = std::make_unique<CTreeItem>();
    child->m_pInfo = info ? std::move(info) : std::make_unique<CItemInfo>();
    child->m_pParent = parent;
    child->m_nLevel = parent->m_nLevel + 1;
    // A row whose own children cannot be on show counts as collapsed.
    child->m_bCollapsed = shown ? 0 : 1;
    CTreeItem* added = child.get();
    if (shown) {
        const int at = parent->m_nIndex + ShownDescendants(parent->m_nIndex, parent->m_nLevel) + 1;
        if (InsertViewRow(at, *child, child->GetInfo()->GetCheck() != 0) < 0) return nullptr;
    }
    parent->m_children.push_back(std::move(child));
    if (shown) Renumber();
    // The parent's row may show its box only now.
    if (parent->m_nIndex >= 0) ListView_RedrawItems(m_hWnd, parent->m_nIndex, parent->m_nIndex);
    return added;
}

int CListCtrlEx::ShownDescendants(int index, int level) const
{
    const int count = GetItemCount();
    int shown = 0;
    for (int row = index + 1; row < count; ++row) {
        const CTreeItem* item = GetTreeItem(row);
        if (!item || item->m_nLevel <= level) break;
        ++shown;
    }
    return shown;
}

void CListCtrlEx::Renumber()
{
    const int count = GetItemCount();
    for (int row = 0; row < count; ++row) {
        if (CTreeItem* item = GetTreeItem(row)) item->m_nIndex = row;
    }
}

void CListCtrlEx::RemoveRecord(CTreeItem* item)
{
    auto& siblings = item->m_pParent ? item->m_pParent->m_children : m_rootItems;
    const auto found = std::find_if(siblings.begin(), siblings.end(),
                                    [item](const std::unique_ptr<CTreeItem>& owned) { return owned.get() == item; });
    if (found != siblings.end()) siblings.erase(found);
}

void CListCtrlEx::DeleteItemEx(CTreeItem* item, int index)
{
    if (!m_hWnd || !item || GetTreeItem(index) != item) return;
    {
        CNoRedraw noRedraw(m_hWnd);
        // The view's rows go first, so that no row points to a deleted record.
        for (int row = index + ShownDescendants(index, item->m_nLevel); row >= index; --row)
            ListView_DeleteItem(m_hWnd, row);
        RemoveRecord(item);
        Renumber();
        if (index > 0) {
            const int count = GetItemCount();
            const int next = index < count ? index : index - 1;
            if (next >= 0) {
                const UINT state = LVIS_SELECTED | LVIS_FOCUSED;
                ListView_SetItemState(m_hWnd, next, state, state);
            }
        }
    }
    UpdateWindow(m_hWnd);
}

int CListCtrlEx::FindRow(const CTreeItem* item) const
{
    if (!m_hWnd || !item) return -1;
    if (item->m_nIndex >= 0 && GetTreeItem(item->m_nIndex) == item) return item->m_nIndex;
    LVFINDINFOW find{};
    find.flags = LVFI_PARAM;
    find.lParam = reinterpret_cast<LPARAM>(item);
    return ListView_FindItem(m_hWnd, -1, &find);
}

void CListCtrlEx::DeleteAllTreeItems()
{
    while (!m_rootItems.empty()) {
        CTreeItem* first = m_rootItems.front().get();
        // Row 0 unless someone put rows of their own into the view.
        const int index = FindRow(first);
        if (index >= 0) {
            DeleteItemEx(first, index);
        } else {
            // Not on show (the window is gone): the record goes alone.
            m_rootItems.erase(m_rootItems.begin());
        }
    }
}

int CListCtrlEx::Expand(CTreeItem* item, int index)
{
    if (!m_hWnd || !item || item->m_children.empty() || !item->m_bCollapsed || GetTreeItem(index) != item) return index;
    LVITEMW row{};
    row.mask = LVIF_INDENT;
    row.iItem = index;
    row.iIndent = item->m_nLevel;
    ListView_SetItem(m_hWnd, &row);
    item->m_bCollapsed = 0;
    int last = index;
    for (const auto& child : item->m_children) {
        const int inserted = InsertViewRow(last + 1, *child, child->GetInfo()->GetCheck() != 0);
        if (inserted < 0) break;
        last = inserted;
    }
    Renumber();
    ListView_RedrawItems(m_hWnd, index, index);  // its box turns from plus to minus
    return last;
}

int CListCtrlEx::ExpandAll(CTreeItem* item, int index)
{
    if (!item) return index;
    Expand(item, index);
    for (const auto& child : item->m_children) {
        // Renumbered after every expansion: the child's index is current.
        if (child->HasChildren() && child->m_nIndex >= 0) ExpandAll(child.get(), child->m_nIndex);
    }
    return item->m_nIndex + ShownDescendants(item->m_nIndex, item->m_nLevel);
}

void CListCtrlEx::Collapse(CTreeItem* item)
{
    if (!m_hWnd || !item || item->m_children.empty() || item->m_bCollapsed || item->m_nIndex < 0) return;
    {
        CNoRedraw noRedraw(m_hWnd);
        const int index = item->m_nIndex;
        for (int row = index + ShownDescendants(index, item->m_nLevel); row > index; --row)
            ListView_DeleteItem(m_hWnd, row);
        // Depth first: the row's whole subtree is now collapsed and off the view.
        std::vector<CTreeItem*> pending{item};
        while (!pending.empty()) {
            CTreeItem* next = pending.back();
            pending.pop_back();
            next->m_bCollapsed = 1;
            if (next != item) next->m_nIndex = -1;
            for (const auto& child : next->m_children) pending.push_back(child.get());
        }
        Renumber();
    }
}

// ---- Messages -----------------------------------------------------------------------------

bool CListCtrlEx::ProcessMessage(fx::Message& m)
{
    static const fx::MessageEntry<CListCtrlEx> map[] = {
        fx::OnMessage(WM_CREATE, &CListCtrlEx::OnCreate),  // takes over the header
        fx::OnMessage(fx::WM_REFLECT_MEASUREITEM, &CListCtrlEx::OnMeasureItem),
        fx::OnMessage(fx::WM_REFLECT_DRAWITEM, &CListCtrlEx::OnDrawItem),
        fx::OnMessage(fx::WM_REFLECT_NOTIFY, &CListCtrlEx::OnReflectedNotify),
        fx::OnMessage(WM_LBUTTONDOWN, &CListCtrlEx::OnLButtonDown),
        fx::OnMessage(WM_HSCROLL, &CListCtrlEx::OnScroll),
        fx::OnMessage(WM_VSCROLL, &CListCtrlEx::OnScroll),
        fx::OnMessage(WM_HEADER_CHECK_CHANGED, &CListCtrlEx::OnHeaderCheckChanged),
    };
    return fx::Dispatch(*this, map, m);
}

bool CListCtrlEx::OnCreate(fx::Message& m)
{
    m.result = Default(m);
    if (m.result == -1) return true;
    m_header.SetHeight(m_nHeaderHeight);
    m_header.SetScaleFactor(m_fScale);
    m_header.SetHasCheckBox(m_bHeaderCheckBox);
    if (HWND header = ListView_GetHeader(m_hWnd)) m_header.SubclassWindow(header);
    return true;
}

bool CListCtrlEx::OnMeasureItem(fx::Message& m)
{
    auto* measure = m.Data<MEASUREITEMSTRUCT>();
    if (!measure || measure->CtlType != ODT_LISTVIEW) return false;
    measure->itemHeight = static_cast<UINT>(std::max(m_nRowHeight, 1));
    m.result = TRUE;
    return true;
}

bool CListCtrlEx::OnDrawItem(fx::Message& m)
{
    const auto* item = m.Data<DRAWITEMSTRUCT>();
    m.result = TRUE;
    if (item && item->CtlType == ODT_LISTVIEW && (item->itemAction & ODA_DRAWENTIRE))
        DrawRow(item->hDC, static_cast<int>(item->itemID));
    return true;
}

bool CListCtrlEx::OnReflectedNotify(fx::Message& m)
{
    const auto* header = m.Notify();
    if (!header || header->hwndFrom != m_hWnd) return false;
    switch (header->code) {
    case NM_DBLCLK: return OnDoubleClick(m);
    case LVN_KEYDOWN: return OnKeyDownNotify(m);
    case LVN_ITEMCHANGED: return OnItemChanged(m);
    case LVN_ENDLABELEDITW: return OnEndLabelEdit(m);
    default: return false;
    }
}

bool CListCtrlEx::OnLButtonDown(fx::Message& m)
{
    if (::GetFocus() != m_hWnd) ::SetFocus(m_hWnd);
    const POINT point = m.Point();
    LVHITTESTINFO hit{};
    hit.pt = point;
    ListView_SubItemHitTest(m_hWnd, &hit);
    if (hit.iItem >= 0 && !OnItemLButtonDown(hit)) return true;
    if (ClickTest(point)) return true;
    if (hit.iItem >= 0) {
        m_nFocusColumn = ColumnOrder(hit.iSubItem);
        ScrollColumnIntoView(m_nFocusColumn);
        m.result = Default(m);  // the selection
        RedrawRow(hit.iItem);
    }
    return true;
}

bool CListCtrlEx::OnScroll(fx::Message& m)
{
    if (::GetFocus() != m_hWnd) ::SetFocus(m_hWnd);
    return false;
}

bool CListCtrlEx::OnDoubleClick(fx::Message& m)
{
    const auto* activate = m.Notify<NMITEMACTIVATE>();
    m.result = 0;
    LVHITTESTINFO hit{};
    hit.pt = activate->ptAction;
    ListView_SubItemHitTest(m_hWnd, &hit);
    if (hit.iItem >= 0 && !OnItemLButtonDown(hit)) return true;
    ClickTest(activate->ptAction);
    const int selected = GetSelectedItem();
    CTreeItem* item = GetTreeItem(selected);
    if (item && item->HasChildren()) ToggleExpansion(item, selected);
    return true;
}

bool CListCtrlEx::OnKeyDownNotify(fx::Message& m)
{
    const auto* key = m.Notify<NMLVKEYDOWN>();
    if (key->wVKey < kFirstListKey || key->wVKey > kLastListKey) return false;
    const int selected = GetSelectedItem();
    CTreeItem* item = GetTreeItem(selected);
    if (!item) return false;
    switch (key->wVKey) {
    case VK_DELETE:
        if (OnDeleteItem(item)) DeleteItemEx(item, selected);
        break;
    case VK_MULTIPLY:
        if (OnVkMultiply(item)) {
            CWaitCursor wait;
            int last = selected;
            {
                CNoRedraw noRedraw(m_hWnd);
                last = ExpandAll(item, selected);
            }
            ListView_RedrawItems(m_hWnd, selected, last);
            ListView_EnsureVisible(m_hWnd, last, FALSE);
        }
        break;
    case VK_ADD:
        if (OnVkAdd(item)) {
            CWaitCursor wait;
            ListView_EnsureVisible(m_hWnd, Expand(item, selected), FALSE);
        }
        break;
    case VK_SUBTRACT:
        if (OnVkSubtract(item)) {
            CWaitCursor wait;
            Collapse(item);
        }
        break;
    default:
        // VK_SPACE: the view flips its focused row's box itself, and the record follows in
        // LVN_ITEMCHANGED; flipping the record here as well would part them when the focused row
        // is not the selected one.
        break;
    }
    return false;
}

bool CListCtrlEx::OnItemChanged(fx::Message& m)
{
    const auto* change = m.Notify<NMLISTVIEW>();
    if (!(change->uChanged & LVIF_STATE) || !((change->uNewState ^ change->uOldState) & LVIS_STATEIMAGEMASK))
        return false;
    if (change->iItem >= 0) {
        CopyCheckFromView(change->iItem);
    } else {
        for (int row = 0, count = GetItemCount(); row < count; ++row) CopyCheckFromView(row);
    }
    return false;  // the parent may want to know as well
}

void CListCtrlEx::CopyCheckFromView(int index)
{
    if (CItemInfo* info = GetItemInfo(GetTreeItem(index)))
        info->SetCheck(StateImageIndex(ListView_GetItemState(m_hWnd, index, LVIS_STATEIMAGEMASK)) == 2);
}

bool CListCtrlEx::OnEndLabelEdit(fx::Message& m)
{
    const auto* edit = m.Notify<NMLVDISPINFOW>();
    m.result = FALSE;
    // No text: the edit was cancelled.
    if (!edit->item.pszText) return true;
    CItemInfo* info = GetItemInfo(GetTreeItem(edit->item.iItem));
    if (!info) return true;
    const std::wstring text(edit->item.pszText);
    const int column = edit->item.iSubItem;
    if (column == 0)
        info->SetItemText(text);
    else
        info->SetSubItemText(column, text);
    ListView_SetItemText(m_hWnd, edit->item.iItem, column, edit->item.pszText);
    m.result = TRUE;
    return true;
}

bool CListCtrlEx::OnHeaderCheckChanged(fx::Message& m)
{
    const bool checked = m.wParam == 1;
    for (int row = 0, count = GetItemCount(); row < count; ++row)
        SetRowCheck(row, GetItemInfo(GetTreeItem(row)), checked);
    m.result = 0;
    return true;
}

bool CListCtrlEx::PreTranslateMessage(MSG& message)
{
    if (message.message != WM_KEYDOWN || (message.wParam != VK_LEFT && message.wParam != VK_RIGHT)) return false;
    if (!m_hWnd || ::GetFocus() != m_hWnd) return false;
    const int columns = Header_GetItemCount(ListView_GetHeader(m_hWnd));
    if (message.wParam == VK_LEFT && m_nFocusColumn > 0) --m_nFocusColumn;
    if (message.wParam == VK_RIGHT && m_nFocusColumn < columns - 1) ++m_nFocusColumn;
    ScrollColumnIntoView(m_nFocusColumn);
    const int selected = GetSelectedItem();
    if (selected >= 0) RedrawRow(selected);
    return true;
}

// ---- Clicks -------------------------------------------------------------------------------

bool CListCtrlEx::ClickTest(POINT point)
{
    LVHITTESTINFO hit{};
    hit.pt = point;
    const int index = ListView_SubItemHitTest(m_hWnd, &hit);
    if (index < 0) return false;
    CTreeItem* item = GetTreeItem(index);
    bool toggled = false;
    if (HasCheckBoxes()) {
        bool onBox = (hit.flags & LVHT_ONITEMSTATEICON) != 0;
        if (!onBox && (GetWindowLongW(m_hWnd, GWL_STYLE) & LVS_OWNERDRAWFIXED)) {
            RECT icon{};
            RECT label{};
            ListView_GetItemRect(m_hWnd, index, &icon, LVIR_ICON);
            ListView_GetItemRect(m_hWnd, index, &label, LVIR_LABEL);
            onBox = point.x >= icon.left - m_nIndentWidth && point.x <= label.left - m_nIndentWidth;
        }
        if (onBox) {
            // The view's box and the record's flag flip together. The click then counts as
            // handled: the view's own click handling would flip the box a second time.
            SetRowCheck(index, GetItemInfo(item), !ListView_GetCheckState(m_hWnd, index));
            toggled = true;
        }
    }
    if (item && item->HasChildren()) {
        RECT bounds{};
        ListView_GetItemRect(m_hWnd, index, &bounds, LVIR_BOUNDS);
        const RECT box = ExpandBoxRect(*item, bounds);
        if (PtInRect(&box, point)) {
            ToggleExpansion(item, index);
            return true;
        }
    }
    return toggled;
}

void CListCtrlEx::ToggleExpansion(CTreeItem* item, int index)
{
    int last = index;
    {
        CNoRedraw noRedraw(m_hWnd);
        if (item->m_bCollapsed) {
            if (OnItemExpanding(item)) {
                last = Expand(item, index);
                OnItemExpanded(item);
            }
        } else if (OnItemCollapsing(item)) {
            Collapse(item);
            OnItemCollapsed(item);
        }
    }
    RedrawRow(index);
    ListView_EnsureVisible(m_hWnd, last, FALSE);
}

void CListCtrlEx::RedrawRow(int index)
{
    ListView_RedrawItems(m_hWnd, index, index);
    UpdateWindow(m_hWnd);
}

int CListCtrlEx::ColumnOrder(int column) const
{
    LVCOLUMNW info{};
    info.mask = LVCF_ORDER;
    return column >= 0 && ListView_GetColumn(m_hWnd, column, &info) ? info.iOrder : 0;
}

void CListCtrlEx::ScrollColumnIntoView(int position)
{
    HWND header = ListView_GetHeader(m_hWnd);
    int left = 0;
    for (int before = 0; before < position; ++before)
        left += ListView_GetColumnWidth(m_hWnd, Header_OrderToIndex(header, before));
    const int width = ListView_GetColumnWidth(m_hWnd, Header_OrderToIndex(header, position));
    const int offset = left - GetScrollPos(m_hWnd, SB_HORZ);
    const RECT client = GetClientRect();
    if (offset < client.left || offset + width > client.right) ListView_Scroll(m_hWnd, offset, 0);
}

// ---- Drawing ------------------------------------------------------------------------------

namespace {
// SaveDC / RestoreDC around the drawing of one row: the view's DC gets back its pens and colours.
class CSavedDC
{
public:
    explicit CSavedDC(HDC dc) : m_dc(dc), m_saved(SaveDC(dc)) {}
    ~CSavedDC()
    {
        if (m_saved) RestoreDC(m_dc, m_saved);
    }
    CSavedDC(const CSavedDC&) = delete;
    CSavedDC& operator=(const CSavedDC&) = delete;

private:
    HDC m_dc;  // not owned
    int m_saved;
};
}  // namespace

int CListCtrlEx::IconTop(const RECT& bounds) const
{
    const int offset = (m_nRowHeight - m_nIconHeight) / 2;
    return bounds.bottom - m_nIconHeight - offset;
}

COLORREF CListCtrlEx::RowBackground(CTreeItem* item, bool selected)
{
    if (selected) return kSelectedColor;
    if (!item || !item->m_pParent) return kTopLevelColor;
    if (item->m_nStripe == -1) {
        item->m_nStripe = m_bStripeToggle ? 1 : 0;
        m_bStripeToggle = m_bStripeToggle ? 0 : 1;
    }
    return item->m_nStripe == 1 ? GetSysColor(COLOR_WINDOW) : kGreyStripeColor;
}

void CListCtrlEx::DrawRow(HDC dc, int index)
{
    if (!m_hSmallImages) m_hSmallImages = ListView_GetImageList(m_hWnd, LVSIL_SMALL);
    if (!m_hSmallImages) return;

    ListTextBuffer text{};
    LVITEMW row{};
    row.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE | LVIF_INDENT;
    row.iItem = index;
    row.stateMask = static_cast<UINT>(-1);
    row.pszText = text.data();
    row.cchTextMax = static_cast<int>(text.size());
    if (!ListView_GetItem(m_hWnd, &row)) return;
    text.back() = L'\0';
    // A row that the list did not make has no record: it is drawn as a plain top-level row.
    CTreeItem* item = reinterpret_cast<CTreeItem*>(row.lParam);
    const CItemInfo* info = GetItemInfo(item);
    const int level = item ? item->m_nLevel : 1;
    const int image = info ? info->GetImage() : -1;

    RECT bounds{};
    RECT label{};
    ListView_GetItemRect(m_hWnd, index, &bounds, LVIR_BOUNDS);
    ListView_GetItemRect(m_hWnd, index, &label, LVIR_LABEL);
    const bool selected = (row.state & LVIS_SELECTED) != 0;
    const COLORREF background = RowBackground(item, selected);
    const int iconTop = IconTop(bounds);
    if (image != -1 && image != row.iImage) {
        LVITEMW update{};
        update.mask = LVIF_IMAGE;
        update.iItem = index;
        update.iImage = image;
        ListView_SetItem(m_hWnd, &update);
    }

    CSavedDC saved(dc);
    fx::CBrush brush(CreateSolidBrush(background));
    FillRect(dc, &bounds, brush.Get());
    if (HFONT font = GetFont()) SelectObject(dc, font);

    const int columnRight = bounds.left + ListView_GetColumnWidth(m_hWnd, 0);
    const int levelLeft = level * m_nIndentWidth + bounds.left;
    int stateWidth = 0;
    HIMAGELIST states = ListView_GetImageList(m_hWnd, LVSIL_STATE);
    if (states) {
        int height = 0;
        ImageList_GetIconSize(states, &stateWidth, &height);
    }
    const int stateImage = StateImageIndex(row.state);
    const bool boxShown = stateImage > 0 && states && levelLeft + stateWidth < columnRight;
    if (boxShown) ImageList_Draw(states, stateImage - 1, dc, levelLeft, iconTop + 1, ILD_TRANSPARENT);
    if (image != -1) {
        const int x = levelLeft + stateWidth + 5;
        if (x < columnRight) {
            ImageList_DrawEx(m_hSmallImages, image, dc, x, iconTop, std::min(m_nIndentWidth, columnRight - x),
                             m_nIconHeight, CLR_NONE, CLR_NONE, ILD_TRANSPARENT);
        }
        if (item) DrawTreeLines(dc, *item, bounds, columnRight);
    }

    const int pad = fx::Scaled(2, m_fScale);
    RECT textRect = label;
    if (image == -1) {
        textRect.left -= fx::Scaled(16, m_fScale);
        // The view's state image may be narrower than one level (at 144 DPI): the text keeps a
        // gap after the check box all the same.
        if (boxShown) textRect.left = std::max<LONG>(textRect.left, levelLeft + stateWidth + pad);
    } else {
        textRect.left = label.left + pad + 8;
        textRect.right -= pad;
    }
    ListTextBuffer elided{};
    const wchar_t* shown = ElideText(dc, text.data(), fx::Width(label), 2 * pad, elided);
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, background);
    ::SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    DrawTextW(dc, shown, -1, &textRect, kTextFormat);
    DrawSubItems(dc, index, info, bounds, background, selected);
}

void CListCtrlEx::DrawSubItems(HDC dc, int index, const CItemInfo* info, const RECT& bounds, COLORREF background,
                               bool selected)
{
    RECT clip{};
    GetClipBox(dc, &clip);
    const int pad = fx::Scaled(6, m_fScale);
    const int inset = fx::Scaled(static_cast<float>(pad), m_fScale);
    int left = bounds.left + ListView_GetColumnWidth(m_hWnd, 0);
    for (int column = 1;; ++column) {
        LVCOLUMNW format{};
        format.mask = LVCF_WIDTH | LVCF_FMT | LVCF_ORDER;
        if (!ListView_GetColumn(m_hWnd, column, &format)) break;
        RECT cell{left, bounds.top, left + format.cx, bounds.bottom};
        left = cell.right;
        if (cell.right <= clip.left || cell.left >= clip.right) continue;

        COLORREF ground = background;
        if (info && info->GetCellColor(column, ground)) {
            fx::CBrush brush(CreateSolidBrush(ground));
            FillRect(dc, &cell, brush.Get());
        }
        ListTextBuffer text{};
        ListView_GetItemText(m_hWnd, index, column, text.data(), static_cast<int>(text.size()));
        text.back() = L'\0';
        ListTextBuffer elidedText{};
        bool elided = false;
        const wchar_t* shown = ElideText(dc, text.data(), fx::Width(cell), 2 * pad, elidedText, &elided);
        // A cut text always starts at the left, so that its beginning shows.
        UINT align = DT_LEFT;
        if (!elided) {
            const int justify = format.fmt & LVCFMT_JUSTIFYMASK;
            if (justify == LVCFMT_RIGHT) align = DT_RIGHT;
            if (justify == LVCFMT_CENTER) align = DT_CENTER;
        }
        cell.left += inset;
        cell.right -= inset;
        if (selected && format.iOrder == m_nFocusColumn) DrawFocusRect(dc, &bounds);
        if (!info || info->GetControlType(column) != kCellControl) {
            SetBkColor(dc, ground);
            DrawTextW(dc, shown, -1, &cell, kTextFormat | align);
        }
    }
}

bool CListCtrlEx::HasNextSibling(const CTreeItem& item) const
{
    const auto& siblings = item.m_pParent ? item.m_pParent->m_children : m_rootItems;
    return !siblings.empty() && siblings.back().get() != &item;
}

bool CListCtrlEx::IsFirstSibling(const CTreeItem& item) const
{
    const auto& siblings = item.m_pParent ? item.m_pParent->m_children : m_rootItems;
    return !siblings.empty() && siblings.front().get() == &item;
}

RECT CListCtrlEx::ExpandBoxRect(const CTreeItem& item, const RECT& bounds) const
{
    const int centreX = item.m_nLevel * m_nIndentWidth + bounds.left - m_nIndentWidth / 2;
    const int centreY = IconTop(bounds) + m_nIconHeight / 2;
    const int width = m_nIndentWidth / 2 + 3;
    const int height = m_nIconHeight / 2 + 3;
    const int left = centreX - width / 2;
    const int top = centreY - height / 2;
    return RECT{left, top, left + width, top + height};
}

void CListCtrlEx::DrawTreeLines(HDC dc, const CTreeItem& item, const RECT& bounds, int columnRight)
{
    CSavedDC saved(dc);
    IntersectClipRect(dc, bounds.left, bounds.top, columnRight, bounds.bottom);
    const int half = m_nIndentWidth / 2;
    const int centreY = IconTop(bounds) + m_nIconHeight / 2;
    auto levelX = [&](int level) { return level * m_nIndentWidth + bounds.left - half; };

    // The row's own connector: down from the row above, on to a later sibling, across to the row.
    SelectObject(dc, m_penLine.Get());
    const int x = levelX(item.m_nLevel);
    const bool fromAbove = item.m_pParent || !IsFirstSibling(item);
    MoveToEx(dc, x, fromAbove ? bounds.top : centreY, nullptr);
    LineTo(dc, x, HasNextSibling(item) ? bounds.bottom : centreY);
    MoveToEx(dc, x, centreY, nullptr);
    LineTo(dc, x + half, centreY);
    // The ancestors' lines pass by on the way to their later siblings.
    for (const CTreeItem* ancestor = item.m_pParent; ancestor; ancestor = ancestor->m_pParent) {
        if (!HasNextSibling(*ancestor)) continue;
        const int ancestorX = levelX(ancestor->m_nLevel);
        MoveToEx(dc, ancestorX, bounds.top, nullptr);
        LineTo(dc, ancestorX, bounds.bottom);
    }

    if (!item.HasChildren()) return;
    const RECT box = ExpandBoxRect(item, bounds);
    SelectObject(dc, m_penBox.Get());
    SelectObject(dc, m_brBox.Get());
    Rectangle(dc, box.left, box.top, box.right, box.bottom);
    SelectObject(dc, m_penSign.Get());
    MoveToEx(dc, x - 2, centreY, nullptr);
    LineTo(dc, x + 3, centreY);
    if (item.m_bCollapsed) {
        MoveToEx(dc, x, centreY - 2, nullptr);
        LineTo(dc, x, centreY + 3);
    }
}
