#include "dialogs/VolumeChooser.h"

#include "dialogs/PromptDlg.h"
#include "framework/MessageMap.h"
#include "framework/Scale.h"
#include "res/resource.h"

namespace {

const FrameDesign kChooserFrame{0, IDB_DISK_CHOOSER_FRAME, {370, 240}, {5, 3, 5, 7}};
constexpr wchar_t kVolumeColumnCaption[] = L"磁盘分区";

FrameDesign ChooserFrame(UINT templateId)
{
    FrameDesign design = kChooserFrame;
    design.templateId = templateId;
    return design;
}

// Design sizes at scale 1.0.
constexpr float kButtonWidth = 55;
constexpr float kButtonHeight = 24;
constexpr float kButtonGap = 12;     // either side of the middle
constexpr float kButtonBottom = 30;  // from the bottom to the buttons' top
constexpr float kRowHeight = 30;     // the rows and the header
constexpr float kIconSize = 16;
constexpr float kColumnWidth = 320;

}  // namespace

// ---- Child --------------------------------------------------------------------------------

CVolumeChooserChildDlg::CVolumeChooserChildDlg(const VolumeChooserDesign& design)
    : CLayeredChildDlg(ChildDesign{design.templateId, IDB_DISK_CHOOSER_BACKGROUND, kChooserDragStrip, false}),
      m_design(design)
{
}

CVolumeChooserChildDlg::~CVolumeChooserChildDlg() = default;

void CVolumeChooserChildDlg::DoDataExchange(fx::CDataExchange& dx)
{
    fx::DDX_Control(dx, m_design.closeId, m_btnClose);
    fx::DDX_Control(dx, m_design.confirmId, m_btnConfirm);
    fx::DDX_Control(dx, m_design.cancelId, m_btnCancel);
}

void CVolumeChooserChildDlg::Layout(bool first)
{
    const RECT client = GetClientRect();
    const float s = m_fScale;
    const float left = static_cast<float>(client.left);
    const float top = static_cast<float>(client.top);
    const float right = static_cast<float>(client.right);
    const float bottom = static_cast<float>(client.bottom);
    const int half = (client.right - client.left) / 2;

    PlaceChildCloseButton(m_btnClose, client, s);
    const int buttonTop = static_cast<int>(bottom - kButtonBottom * s);
    const int buttonWidth = fx::Scaled(kButtonWidth, s);
    const int buttonHeight = fx::Scaled(kButtonHeight, s);
    if (first) {
        SetUpChildCloseButton(m_btnClose, s, BackgroundImage(), {334, 8, 346, 20});
        SetUpConfirmButton(m_btnConfirm, s, BackgroundImage(), {113, 107, 168, 131});
        m_btnCancel.SetSkin(s, BackgroundImage(), {192, 107, 247, 131});
        m_btnCancel.SetHotInsets(0, 0, 0, 0);
        m_btnCancel.SetStateImages(IDB_CANCEL_NORMAL, IDB_CANCEL_HOVER, IDB_CANCEL_PRESSED, IDB_CANCEL_PRESSED);
    }
    m_btnConfirm.MoveWindow(static_cast<int>(half - kButtonWidth * s - kButtonGap * s), buttonTop, buttonWidth,
                            buttonHeight);
    m_btnCancel.MoveWindow(static_cast<int>(half + kButtonGap * s), buttonTop, buttonWidth, buttonHeight);

    if (first) CreateList();
    if (m_pList) {
        const int listLeft = static_cast<int>(left + 10 * s);
        const int listTop = static_cast<int>(top + 34 * s);
        const int listRight = static_cast<int>(right - 10 * s);
        const int listBottom = static_cast<int>(bottom - 35 * s);
        m_pList->MoveWindow(listLeft, listTop, listRight - listLeft, listBottom - listTop);
    }
}

void CVolumeChooserChildDlg::CreateList()
{
    const float s = m_fScale;
    auto list = std::make_unique<CListCtrlEx>();
    list->SetHeaderCheckBox(0);
    list->SetScaleFactor(s);
    list->SetHeaderHeight(fx::Scaled(kRowHeight, s));
    // Known before creation: an owner-drawn list may ask for its row height while it is created.
    list->SetRowHeight(fx::Scaled(kRowHeight, s));
    fx::CreateArgs args;
    args.style = WS_CHILD | WS_VISIBLE;
    args.exStyle = WS_EX_CLIENTEDGE;
    args.parent = m_hWnd;
    args.id = m_design.listId;
    if (!list->Create(args)) return;
    ListView_SetExtendedListViewStyle(list->GetSafeHwnd(), 0);

    // The list draws no rows without a small image list: an empty one, which also sets the indent.
    const int iconSize = fx::Scaled(kIconSize, s);
    m_imageList.Reset(ImageList_Create(iconSize, iconSize, ILC_COLOR32 | ILC_MASK, 1, 1));
    list->SetSmallImageList(m_imageList.Get());
    if (m_design.checkBoxes) ListView_SetExtendedListViewStyle(list->GetSafeHwnd(), LVS_EX_CHECKBOXES);
    list->InsertColumn(0, kVolumeColumnCaption, LVCFMT_LEFT, fx::Scaled(kColumnWidth, s));
    m_pList = std::move(list);
    FillList();
}

void CVolumeChooserChildDlg::FillList()
{
    if (!m_pVolumes || !m_pList) return;
    // The map's order is the list's: C:, D:, E: ...
    for (const auto& entry : *m_pVolumes) {
        auto record = std::make_unique<BitLockerVolumeInfo>(entry.second);
        auto info = std::make_unique<CItemInfo>();
        info->SetItemText(record->strVolume);
        CItemInfo* row = info.get();
        if (!m_pList->InsertRootItem(std::move(info))) break;
        row->SetUserData(record.get());
        m_records.push_back(std::move(record));
    }
}

const BitLockerVolumeInfo* CVolumeChooserChildDlg::VolumeOfRow(int row) const
{
    if (!m_pList) return nullptr;
    const CItemInfo* info = CListCtrlEx::GetItemInfo(m_pList->GetTreeItem(row));
    return info ? static_cast<const BitLockerVolumeInfo*>(info->GetUserData()) : nullptr;
}

void CVolumeChooserChildDlg::ShowWarning(const std::wstring& text) const { ShowMessagePrompt(text, m_fScale); }

void CVolumeChooserChildDlg::FreeControlImages()
{
    m_btnClose.FreeStateImages();
    m_btnConfirm.FreeStateImages();
    m_btnCancel.FreeStateImages();
}

bool CVolumeChooserChildDlg::ProcessMessage(fx::Message& m)
{
    static const fx::MessageEntry<CVolumeChooserChildDlg> map[] = {
        fx::OnMessage(WM_COMMAND, &CVolumeChooserChildDlg::OnButton),  // confirm, cancel, close
        fx::OnMessage(WM_DESTROY, &CVolumeChooserChildDlg::OnDestroy),
    };
    return fx::Dispatch(*this, map, m) || CLayeredChildDlg::ProcessMessage(m);
}

bool CVolumeChooserChildDlg::OnButton(fx::Message& m)
{
    if (HIWORD(m.wParam) != BN_CLICKED) return false;
    const int id = LOWORD(m.wParam);
    if (id == m_design.confirmId) {
        OnConfirm();
    } else if (id == m_design.cancelId) {
        NotifyFrame(m_design.resultMessage, kChooserCancel);
    } else if (id == m_design.closeId) {
        OnCancel();  // WM_CLOSE to the frame
    } else {
        return false;
    }
    return true;
}

bool CVolumeChooserChildDlg::OnDestroy(fx::Message&)
{
    // The rows go while the list still exists; the record copies they pointed to after them.
    if (m_pList) m_pList->DeleteAllTreeItems();
    m_records.clear();
    return false;  // the pair's own clean-up follows
}

// ---- Frame --------------------------------------------------------------------------------

CVolumeChooserDlg::CVolumeChooserDlg(UINT templateId, HWND parent) : CLayeredFrameDlg(ChooserFrame(templateId), parent)
{
}

void CVolumeChooserDlg::EndWithAnswer(WPARAM answer) { EndDialog(answer == kChooserConfirm ? IDOK : IDCANCEL); }
