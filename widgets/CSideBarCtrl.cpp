#include "widgets/CSideBarCtrl.h"

#include "platform/framework/AfxMsg.h"
#include "platform/framework/CBitmap.h"
#include "platform/framework/CClientDC.h"
#include "platform/framework/CImageList.h"
#include "platform/framework/CPaintDC.h"
#include "platform/graphics/SystemColors.h"
#include "platform/window/Windows.h"

BEGIN_MESSAGE_MAP(CSideBarCtrl, CWnd)
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_WM_TIMER()
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONDOWN()
ON_WM_RBUTTONDOWN()
ON_WM_SETCURSOR()
ON_WM_SIZE()
ON_WM_SYSCOLORCHANGE()
ON_MESSAGE(WM_SIDEBAR_NOTIFY, &CSideBarCtrl::OnSideBarNotify)
END_MESSAGE_MAP()

CSideBarCtrl::CSideBarCtrl()
    : colors(SideBarColors::FromSystem()),
      handCursor(LoadCursorA(nullptr, IDC_HAND)),
      dropCursor(LoadCursorA(nullptr, IDC_ARROW)),
      noDropCursor(LoadCursorA(nullptr, IDC_NO)),
      dropMarkPen(PS_SOLID, 1, RGB(0, 0, 0)) {}

CSideBarCtrl::~CSideBarCtrl() = default;

BOOL CSideBarCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id, DWORD barFlags) {
    flags = barFlags;
    if (!CreateEx(WS_EX_STATICEDGE, nullptr, nullptr, style | WS_CHILD, rect, parent, id)) return FALSE;
    if (selectionBlinkPeriod > 0) SetTimer(kBounceTimer, static_cast<UINT>(selectionBlinkPeriod));
    return TRUE;
}

// Folders and items.

CImageList* CSideBarCtrl::SetDefaultImageList(CImageList* list, int kind) {
    CImageList** slot = kind == SmallImageList ? &smallImages : kind == LargeImageList ? &largeImages : nullptr;
    if (!slot) return nullptr;
    CImageList* previous = *slot;
    *slot = list;
    if (m_hWnd) Invalidate();
    return previous;
}

CImageList* CSideBarCtrl::SetFolderImageList(int folder, CImageList* list, int kind) {
    if (!HasFolder(folder)) return nullptr;
    SideBarFolder& f = *folders[folder];
    CImageList** slot = kind == SmallImageList ? &f.smallImages : kind == LargeImageList ? &f.largeImages : nullptr;
    if (!slot) return nullptr;
    CImageList* previous = *slot;
    *slot = list;
    if (m_hWnd) Invalidate();
    return previous;
}

int CSideBarCtrl::AppendFolder(LPCSTR text, DWORD data) {
    folders.push_back(std::make_unique<SideBarFolder>(text, data));
    if (m_hWnd) Invalidate();
    return GetFolderCount() - 1;
}

int CSideBarCtrl::InsertFolderItem(int folder, int position, LPCSTR text, int image, DWORD data) {
    if (!HasFolder(folder)) return -1;
    const int used = folders[folder]->InsertItem(position, text, image, data);
    if (m_hWnd) Invalidate();
    return used;
}

void CSideBarCtrl::SetFolderChild(int folder, CWnd* child) {
    if (!HasFolder(folder)) return;
    SideBarFolder& f = *folders[folder];
    f.child = SafeHwnd(child);
    if (!f.child || !m_hWnd) return;
    const CRect inside = Layout().Inside();
    ::SetWindowPos(f.child, nullptr, inside.left, inside.top, inside.Width(), inside.Height(),
                   SWP_NOZORDER | SWP_NOACTIVATE);
    ::ShowWindow(f.child, folder == selectedFolder ? SW_SHOW : SW_HIDE);
    Invalidate();
}

int CSideBarCtrl::GetItemCount() const {
    const SideBarFolder* open = OpenFolder();
    return open ? open->ItemCount() : 0;
}

const SideBarFolder* CSideBarCtrl::OpenFolder() const {
    return HasFolder(selectedFolder) ? folders[selectedFolder].get() : nullptr;
}

bool CSideBarCtrl::SetFolderText(int folder, LPCSTR text) {
    if (!HasFolder(folder) || !text) return false;
    folders[folder]->name = text;
    if (m_hWnd) Invalidate();
    return true;
}

bool CSideBarCtrl::SetItemText(int item, LPCSTR text) {
    if (!text || item < 0 || item >= GetItemCount()) return false;
    folders[selectedFolder]->items[item]->label = text;
    if (m_hWnd) InvalidateRect(Layout().Inside());
    return true;
}

std::string CSideBarCtrl::GetFolderText(int folder) const { return HasFolder(folder) ? folders[folder]->name : ""; }

std::string CSideBarCtrl::GetItemText(int item) const {
    const SideBarFolder* open = OpenFolder();
    if (!open || !open->HasItem(item)) return "";
    return open->items[item]->label.value_or("");
}

DWORD CSideBarCtrl::GetItemData(int item) const {
    const SideBarFolder* open = OpenFolder();
    return open && open->HasItem(item) ? open->items[item]->data : 0;
}

void CSideBarCtrl::SelectFolder(int folder) {
    if (!HasFolder(folder)) return;
    if (const SideBarFolder* open = OpenFolder(); open && ::IsWindow(open->child)) ::ShowWindow(open->child, SW_HIDE);
    if (folder != selectedFolder && (flags & AnimateFolders) && animationDelay >= 0 && m_hWnd && IsWindowVisible())
        SlideFolders(selectedFolder, folder);
    selectedFolder = folder;
    firstItem = 0;
    selectedItem = -1;
    // Hover and bounce states named items of the folder that closed.
    hotItem = -1;
    hotItemPressed = false;
    bounceStep = -1;
    if (HWND child = folders[folder]->child; ::IsWindow(child) && m_hWnd) {
        const CRect inside = Layout().Inside();
        ::SetWindowPos(child, nullptr, inside.left, inside.top, inside.Width(), inside.Height(),
                       SWP_NOZORDER | SWP_NOACTIVATE);
        ::ShowWindow(child, SW_SHOW);
    }
    Notify(SBN_FOLDERCHANGED, folder);
    if (m_hWnd) Invalidate(TRUE);
}

void CSideBarCtrl::SelectItem(int item) {
    if (item < -1 || item >= GetItemCount()) return;
    if (m_hWnd && ::GetFocus() != m_hWnd) SetFocus();
    ChangeSelection(item);
}

void CSideBarCtrl::ChangeSelection(int item) {
    if (selectionBlinkPeriod > 0) StopBounce();
    if (flags & MarkSelection) {
        InvalidateIconFrame(selectedItem);
        InvalidateIconFrame(item);
    }
    selectedItem = item;
    Notify(SBN_ITEMCLICKED, item);
}

void CSideBarCtrl::SetSelectionBlinkPeriod(int milliseconds) {
    StopBounce();
    selectionBlinkPeriod = milliseconds;
    if (!m_hWnd) return;
    if (milliseconds > 0)
        SetTimer(kBounceTimer, static_cast<UINT>(milliseconds));
    else
        KillTimer(kBounceTimer);
}

LRESULT CSideBarCtrl::Notify(WPARAM code, LPARAM value) {
    HWND owner = m_hWndOwner ? m_hWndOwner : ::GetParent(m_hWnd);
    return owner ? ::SendMessageA(owner, WM_SIDEBAR_NOTIFY, code, value) : 0;
}

// Layout.

CImageList* CSideBarCtrl::ImagesOf(const SideBarFolder& folder) const {
    if (flags & SmallIcons) return folder.smallImages ? folder.smallImages : smallImages;
    return folder.largeImages ? folder.largeImages : largeImages;
}

std::vector<SideBarItemSize> CSideBarCtrl::MeasureItems(const SideBarFolder& folder, int insideWidth) const {
    const bool small = flags & SmallIcons;
    CImageList* images = ImagesOf(folder);
    CSize listIcon;
    if (images) images->GetIconSize(reinterpret_cast<int*>(&listIcon.cx), reinterpret_cast<int*>(&listIcon.cy));
    CClientDC dc(nullptr);  // the screen's, for measuring
    dc.SelectStockObject(DEFAULT_GUI_FONT);
    std::vector<SideBarItemSize> sizes;
    sizes.reserve(folder.items.size());
    for (const auto& item : folder.items) {
        SideBarItemSize s;
        if (images && item->image >= 0) s.icon = listIcon;
        if (item->label) {
            CRect r(0, 0, insideWidth, 0);
            dc.DrawText(*item->label, &r,
                        DT_CALCRECT | DT_NOPREFIX | (small ? DT_SINGLELINE : DT_WORDBREAK | DT_CENTER));
            s.label = r.Size();
        }
        s.whole = SideBarGeometry::WholeSize(s.icon, s.label, small, metrics);
        sizes.push_back(s);
    }
    return sizes;
}

SideBarGeometry CSideBarCtrl::Layout(int folder, int first) const {
    CRect client;
    if (m_hWnd) GetClientRect(&client);
    SideBarGeometry g(client, GetFolderCount(), folder, metrics);
    if (HasFolder(folder))
        g.SetItems(MeasureItems(*folders[folder], g.Inside().Width()), flags & SmallIcons, first);
    return g;
}

SideBarGeometry CSideBarCtrl::Layout() const { return Layout(selectedFolder, firstItem); }

int CSideBarCtrl::HitTest(POINT point, int* index) const {
    int unused;
    if (!index) index = &unused;
    *index = -1;
    if (upArrowShown && upArrowRect.PtInRect(point)) return SBHT_UPARROW;
    if (downArrowShown && downArrowRect.PtInRect(point)) return SBHT_DOWNARROW;
    const SideBarGeometry g = Layout();
    if ((*index = g.FolderAt(point)) >= 0) return SBHT_FOLDER;
    if (const SideBarFolder* open = OpenFolder(); open && ::IsWindow(open->child)) return SBHT_NOWHERE;
    if ((*index = g.ItemAt(point)) >= 0) return SBHT_ITEM;
    return SBHT_NOWHERE;
}

bool CSideBarCtrl::IsFolderChild(HWND hwnd) const {
    for (const auto& f : folders)
        if (f->child && f->child == hwnd) return true;
    return false;
}

bool CSideBarCtrl::EditorHasFocus() const {
    // The bar's own children are the folders' windows and its in-place editors.
    HWND focus = ::GetFocus();
    return focus && m_hWnd && ::GetParent(focus) == m_hWnd && !IsFolderChild(focus);
}

// Painting.

void CSideBarCtrl::Render(CDC& dc, const CRect& client, int folder, int first, int selected, Arrows* arrows) const {
    const SideBarGeometry g = Layout(folder, first);
    const SideBarFolder* open = HasFolder(folder) ? folders[folder].get() : nullptr;
    const bool childShown = open && ::IsWindow(open->child);
    SideBarPainter painter(dc, colors);
    if (!childShown) dc.FillSolidRect(&g.Inside(), colors.backColor);
    CRect r;
    for (int i = 0; i < GetFolderCount(); ++i)
        if (g.FolderRect(i, &r) && r.bottom > client.top && r.top < client.bottom) painter.Header(r, folders[i]->name);
    if (!open || childShown) return;

    const int count = open->ItemCount();
    const int last = g.LastVisible();
    const int side = GetSystemMetrics(SM_CXVSCROLL);
    Arrows drawn{g.UpArrowRect(side), g.DownArrowRect(side)};
    const int saved = dc.SaveDC();
    if (first > 0) {
        painter.Arrow(drawn.up, true, upArrowPushed);
        drawn.upShown = true;
        dc.ExcludeClipRect(&drawn.up);
    }
    if (last < count - 1) {
        painter.Arrow(drawn.down, false, downArrowPushed);
        drawn.downShown = true;
        dc.ExcludeClipRect(&drawn.down);
    }
    dc.IntersectClipRect(&g.Inside());
    CImageList* images = ImagesOf(*open);
    const bool small = flags & SmallIcons;
    for (int k = first; k < count; ++k) {
        const CRect item = g.ItemRect(k);
        if (item.top > g.Inside().bottom) break;
        const SideBarItem& it = *open->items[k];
        const std::string* label = it.label ? &*it.label : nullptr;
        if (small)
            painter.SmallItem(item, images, it.image, g.Size(k).icon, label, metrics.smallLabelGap);
        else
            painter.LargeItem(item, images, it.image, g.Size(k).icon, label, metrics.largeLabelGap);
        if ((flags & MarkSelection) && k == selected) painter.IconFrame(g.IconRect(k), SideBarPainter::Frame::Sunken);
    }
    dc.RestoreDC(saved);
    if (arrows) *arrows = drawn;
}

void CSideBarCtrl::OnPaint() {
    CPaintDC paint(this);
    CRect client;
    GetClientRect(&client);
    if (client.IsRectEmpty()) return;
    // Drawn whole off the screen and copied once, so that nothing flickers.
    CDC memory;
    CBitmap picture;
    if (!memory.CreateCompatibleDC(&paint) || !picture.CreateCompatibleBitmap(&paint, client.Width(), client.Height()))
        return;
    CBitmap* old = memory.SelectObject(&picture);
    Arrows arrows;
    Render(memory, client, selectedFolder, firstItem, selectedItem, &arrows);
    paint.BitBlt(0, 0, client.Width(), client.Height(), &memory, 0, 0, SRCCOPY);
    memory.SelectObject(old);
    upArrowRect = arrows.up;
    downArrowRect = arrows.down;
    upArrowShown = arrows.upShown;
    downArrowShown = arrows.downShown;
    RedoHover();
}

BOOL CSideBarCtrl::OnEraseBkgnd(CDC*) { return TRUE; }

void CSideBarCtrl::RedoHover() {
    if (hotFolder >= 0) {
        const int folder = hotFolder;
        hotFolder = -1;
        SetHotFolder(folder);
    }
    if (hotItem >= 0) {
        const int item = hotItem;
        hotItem = -1;
        // The same item as before: the owner heard of it already.
        SetHotItem(item, hotItemPressed, false);
    }
}

// Hover and press looks.

void CSideBarCtrl::SetHotFolder(int folder) {
    if (EditorHasFocus() || folder == hotFolder) return;
    CClientDC dc(this);
    SideBarPainter painter(dc, colors);
    const SideBarGeometry g = Layout();
    CRect r;
    if (g.FolderRect(hotFolder, &r)) painter.HeaderHoverEdge(r, false);
    hotFolder = HasFolder(folder) ? folder : -1;
    if (g.FolderRect(hotFolder, &r)) painter.HeaderHoverEdge(r, true);
}

void CSideBarCtrl::SetHotItem(int item, bool pressed, bool notify) {
    if (EditorHasFocus() || (item == hotItem && pressed == hotItemPressed)) return;
    const SideBarFolder* open = OpenFolder();
    if (!open || !open->HasItem(item)) item = -1;
    const SideBarGeometry g = Layout();
    CClientDC dc(this);
    dc.IntersectClipRect(&g.Inside());
    if (upArrowShown) dc.ExcludeClipRect(&upArrowRect);
    if (downArrowShown) dc.ExcludeClipRect(&downArrowRect);
    SideBarPainter painter(dc, colors);
    const int previous = hotItem;
    if (open && open->HasItem(hotItem)) painter.IconFrame(g.IconRect(hotItem), SideBarPainter::Frame::None);
    if (item >= 0 && item == selectedItem && ((flags & MarkSelection) || selectionBlinkPeriod > 0)) {
        hotItem = -1;
        hotItemPressed = false;
        return;
    }
    hotItem = item;
    hotItemPressed = item >= 0 && pressed;
    if (item >= 0)
        painter.IconFrame(g.IconRect(item), pressed ? SideBarPainter::Frame::Sunken : SideBarPainter::Frame::Raised);
    if (notify && item != previous) Notify(SBN_HOTITEMCHANGED, item);
}

void CSideBarCtrl::DrawHeader(int folder, bool pressed) {
    CRect r;
    if (!Layout().FolderRect(folder, &r)) return;
    CClientDC dc(this);
    SideBarPainter painter(dc, colors);
    if (pressed)
        painter.PressedHeader(r, folders[folder]->name);
    else
        painter.Header(r, folders[folder]->name);
}

void CSideBarCtrl::DrawArrow(bool up, bool pushed) {
    CClientDC dc(this);
    SideBarPainter(dc, colors).Arrow(up ? upArrowRect : downArrowRect, up, pushed);
}

void CSideBarCtrl::InvalidateIconFrame(int item) {
    const SideBarFolder* open = OpenFolder();
    if (!m_hWnd || !open || !open->HasItem(item)) return;
    CRect r = Layout().IconRect(item);
    r.InflateRect(1, 1);
    InvalidateRect(&r, FALSE);
}

// The selected item's bounce.

void CSideBarCtrl::DrawSelectedIcon(CPoint offset) {
    const SideBarFolder* open = OpenFolder();
    if (!open || !open->HasItem(selectedItem) || ::IsWindow(open->child)) return;
    const SideBarGeometry g = Layout();
    if (selectedItem < firstItem || selectedItem > g.LastVisible()) return;
    CClientDC dc(this);
    dc.IntersectClipRect(&g.Inside());
    SideBarPainter painter(dc, colors);
    CRect patch = g.IconRect(selectedItem);
    patch.InflateRect(1, 1);
    dc.FillSolidRect(&patch, colors.backColor);
    const SideBarItem& it = *open->items[selectedItem];
    CImageList* images = ImagesOf(*open);
    // The icon alone: the label does not move.
    if (flags & SmallIcons)
        painter.SmallItem(g.ItemRect(selectedItem), images, it.image, g.Size(selectedItem).icon, nullptr, 0, offset);
    else
        painter.LargeItem(g.ItemRect(selectedItem), images, it.image, g.Size(selectedItem).icon, nullptr, 0, offset);
    if (flags & MarkSelection) painter.IconFrame(g.IconRect(selectedItem), SideBarPainter::Frame::Sunken);
}

void CSideBarCtrl::StepBounce() {
    if (selectedItem < 0) return;
    bounceStep = bounceStep >= 10 ? -1 : bounceStep + 1;
    static constexpr POINT kSteps[] = {{-1, 1}, {0, 0}, {1, 1}, {0, 0}};
    if (bounceStep >= 0 && bounceStep <= 3) DrawSelectedIcon(CPoint(kSteps[bounceStep]));
}

void CSideBarCtrl::StopBounce() {
    if (bounceStep >= 0 && m_hWnd) DrawSelectedIcon(CPoint(0, 0));
    bounceStep = -1;
}

// Messages.

void CSideBarCtrl::OnTimer(UINT_PTR nIDEvent) {
    switch (nIDEvent) {
        case kHoverTimer: {
            CPoint pointer(static_cast<int>(GET_X_LPARAM(GetMessagePos())),
                           static_cast<int>(GET_Y_LPARAM(GetMessagePos())));
            ScreenToClient(&pointer);
            CRect client;
            GetClientRect(&client);
            if (!client.PtInRect(pointer)) {
                SetHotFolder(-1);
                SetHotItem(-1, false);
                KillTimer(kHoverTimer);
            }
            return;
        }
        case kArrowTimer:
            // Only the arrow's tracking loop wants it.
            if (!arrowTracking) KillTimer(kArrowTimer);
            return;
        case kBounceTimer:
            StepBounce();
            return;
        default:
            CWnd::OnTimer(nIDEvent);
    }
}

void CSideBarCtrl::OnMouseMove(UINT nFlags, CPoint point) {
    int index;
    const int kind = HitTest(point, &index);
    if (kind != SBHT_FOLDER && hotFolder >= 0) SetHotFolder(-1);
    if (kind != SBHT_ITEM && hotItem >= 0) SetHotItem(-1, false);
    if (kind == SBHT_FOLDER) {
        SetHotFolder(index);
        SetTimer(kHoverTimer, kHoverPeriod);
    } else if (kind == SBHT_ITEM) {
        SetHotItem(index, false);
        SetTimer(kHoverTimer, kHoverPeriod);
    }
    CWnd::OnMouseMove(nFlags, point);
}

void CSideBarCtrl::OnLButtonDown(UINT nFlags, CPoint point) {
    const HWND self = m_hWnd;
    if (::GetFocus() != self) SetFocus();
    int index;
    const int kind = HitTest(point, &index);
    const bool captured = ::GetCapture() != nullptr;
    switch (kind) {
        case SBHT_ITEM:
            if (!captured) TrackItem(index);
            break;
        case SBHT_FOLDER:
            if (!captured) {
                TrackHeader(index);
            } else {
                CRect r;
                if (Layout().FolderRect(index, &r)) InvalidateRect(&r);
            }
            hotItem = -1;
            hotItemPressed = false;
            break;
        case SBHT_UPARROW:
        case SBHT_DOWNARROW:
            hotItem = -1;
            hotItemPressed = false;
            if (!captured) TrackArrow(kind);
            break;
        default:
            break;
    }
    // The loops run the thread's messages: the window may have gone meanwhile.
    if (::IsWindow(self)) CWnd::OnLButtonDown(nFlags, point);
}

void CSideBarCtrl::OnRButtonDown(UINT nFlags, CPoint point) {
    int index;
    const int kind = HitTest(point, &index);
    CPoint screen = point;
    ClientToScreen(&screen);
    SideBarRightClick click{screen.x, screen.y, kind, index, nFlags};
    Notify(SBN_RBUTTONDOWN, reinterpret_cast<LPARAM>(&click));
    if (m_hWnd) CWnd::OnRButtonDown(nFlags, point);
}

BOOL CSideBarCtrl::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message) {
    if (nHitTest == HTCLIENT) {
        // The pointer now: the cursor is asked for before the mouse message is taken.
        CPoint point;
        ::GetCursorPos(&point);
        ScreenToClient(&point);
        int index;
        if (HitTest(point, &index) == SBHT_FOLDER) {
            ::SetCursor(handCursor);
            return TRUE;
        }
    }
    return CWnd::OnSetCursor(pWnd, nHitTest, message);
}

void CSideBarCtrl::OnSize(UINT nType, int cx, int cy) {
    upArrowPushed = downArrowPushed = false;
    CWnd::OnSize(nType, cx, cy);
    const CRect inside = Layout().Inside();
    for (const auto& f : folders)
        if (::IsWindow(f->child))
            ::SetWindowPos(f->child, nullptr, inside.left, inside.top, inside.Width(), inside.Height(),
                           SWP_NOZORDER | SWP_NOACTIVATE);
}

void CSideBarCtrl::OnSysColorChange() {
    colors = SideBarColors::FromSystem();
    CWnd::OnSysColorChange();
    Invalidate();
}

LRESULT CSideBarCtrl::OnSideBarNotify(WPARAM code, LPARAM record) {
    // An in-place editor's new label: the owner decides, with the same code and record.
    if (code != SBN_ITEMEDITED && code != SBN_FOLDEREDITED) return 0;
    const auto* edit = reinterpret_cast<const SideBarLabelEdit*>(record);
    if (!edit || !edit->text) return 0;
    const bool known = code == SBN_ITEMEDITED ? edit->index >= 0 && edit->index < GetItemCount() : HasFolder(edit->index);
    if (!known || !Notify(code, record)) return 0;
    const std::string text = edit->text;
    return code == SBN_ITEMEDITED ? SetItemText(edit->index, text.c_str()) : SetFolderText(edit->index, text.c_str());
}
