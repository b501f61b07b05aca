// The side bar's presses: an item (click or drag), a folder header, an arrow button; each
// tracked in a local loop until the button comes up or the capture goes. And the folder slide.

#include <algorithm>
#include <cstdlib>
#include <functional>

#include "platform/framework/AfxMsg.h"
#include "platform/framework/CBitmap.h"
#include "platform/framework/CClientDC.h"
#include "platform/kernel/Threads.h"
#include "platform/window/ModalLoop.h"
#include "platform/window/Windows.h"
#include "widgets/CSideBarCtrl.h"

namespace {

// Runs the thread's messages until the left button comes up over `self` (true, and where) or
// the capture goes (false). Moves over `self` go to `moved`; `other` sees every message first
// and may take it. Neither condition touches the bar: a message run here may destroy it.
bool RunPress(HWND self, const std::function<void(CPoint)>& moved, CPoint* releasedAt,
              const std::function<bool(MSG&)>& other = {}) {
    bool released = false;
    ModalLoop::Run([&] { return released || ::GetCapture() != self; },
                   [&](MSG& msg) {
                       if (other && other(msg)) return true;
                       if (msg.hwnd != self) return false;
                       if (msg.message == WM_LBUTTONUP) {
                           released = true;
                           *releasedAt = afx::PointOf(msg.lParam);
                           return true;
                       }
                       if (msg.message != WM_MOUSEMOVE) return false;
                       moved(afx::PointOf(msg.lParam));
                       return true;
                   });
    return released;
}

}  // namespace

void CSideBarCtrl::TrackItem(int item) {
    const HWND self = m_hWnd;
    SetCapture();
    SetHotItem(item, true);
    bool dragging = false;
    CPoint releasedAt;
    int target = -1;
    CRect mark;
    const bool released = RunPress(self, [&](CPoint point) {
        int index;
        const bool over = HitTest(point, &index) == SBHT_ITEM && index == item;
        if (!dragging && !over && (flags & DragItems)) {
            dragging = true;
            SetHotItem(-1, false);
        }
        if (!dragging) {
            SetHotItem(item, over);
            return;
        }
        const int now = DropTarget(point, item);
        ::SetCursor(now >= 0 ? dropCursor : noDropCursor);
        if (now == target) return;
        InvalidateRect(&mark, FALSE);
        UpdateWindow();
        mark.SetRectEmpty();
        target = now;
        if (target >= 0) ShowDropMark(target, item, &mark);
    }, &releasedAt);
    if (!::IsWindow(self)) return;
    if (dragging) {
        InvalidateRect(&mark, FALSE);
        if (::GetCapture() == self) ReleaseCapture();
        if (released && target >= 0) DropItem(item, target);
        return;
    }
    SetHotItem(-1, false);
    int index;
    if (released && HitTest(releasedAt, &index) == SBHT_ITEM && index == item) ChangeSelection(item);
    if (::IsWindow(self) && ::GetCapture() == self) ReleaseCapture();
}

int CSideBarCtrl::DropTarget(CPoint point, int from) const {
    const SideBarGeometry g = Layout();
    if (!g.Inside().PtInRect(point)) return -1;
    int index;
    if (HitTest(point, &index) == SBHT_ITEM) return index == from ? -1 : index;
    const int count = g.ItemCount();
    // The free space below the last item puts it after the last.
    if (count > 0 && point.y >= g.ItemRect(count - 1).bottom) return count - 1;
    return -1;
}

void CSideBarCtrl::ShowDropMark(int target, int from, CRect* strip) {
    const SideBarGeometry g = Layout();
    const CRect item = g.ItemRect(target);
    // Where the item will land: above the target when it moves up, below it when it moves down.
    const int y = target < from ? item.top - g.Spacing() / 2 : item.bottom + g.Spacing() / 2;
    const int left = g.Inside().left + metrics.leftMargin, right = g.Inside().right - metrics.leftMargin;
    *strip = CRect(g.Inside().left, y - 4, g.Inside().right, y + 5);
    CClientDC dc(this);
    dc.IntersectClipRect(&g.Inside());
    SideBarPainter(dc, colors).DropMark(left, right, y, &dropMarkPen);
}

void CSideBarCtrl::DropItem(int from, int target) {
    const int folder = selectedFolder;
    SideBarItemMove move{folder, from, target};
    if (!Notify(SBN_ITEMDROPPED, reinterpret_cast<LPARAM>(&move))) return;
    // The owner's answer may have changed the folders: the move is checked again.
    if (!m_hWnd || folder != selectedFolder || !HasFolder(folder) || !folders[folder]->MoveItem(from, target)) return;
    // The selection stays with its item.
    if (selectedItem == from)
        selectedItem = target;
    else if (from < selectedItem && selectedItem <= target)
        --selectedItem;
    else if (target <= selectedItem && selectedItem < from)
        ++selectedItem;
    Invalidate();
}

void CSideBarCtrl::TrackHeader(int folder) {
    const HWND self = m_hWnd;
    SetCapture();
    DrawHeader(folder, true);
    bool pressed = true;
    CPoint releasedAt;
    const bool released = RunPress(
        self,
        [&](CPoint point) {
            CRect r;
            const bool over = Layout().FolderRect(folder, &r) && r.PtInRect(point);
            if (over != pressed) {
                pressed = over;
                DrawHeader(folder, pressed);
            }
        },
        &releasedAt,
        [&](MSG& msg) {
            if (msg.message != WM_KEYDOWN) return false;
            if (msg.wParam != VK_ESCAPE) return true;
            // Escape lets go without opening anything.
            ReleaseCapture();
            return false;
        });
    if (!::IsWindow(self)) return;
    DrawHeader(folder, false);
    if (hotFolder == folder) {
        hotFolder = -1;
        SetHotFolder(folder);
    }
    if (::GetCapture() == self) ReleaseCapture();
    int index;
    if (released && HitTest(releasedAt, &index) == SBHT_FOLDER && index != selectedFolder) SelectFolder(index);
}

void CSideBarCtrl::TrackArrow(int kind) {
    const HWND self = m_hWnd;
    const bool up = kind == SBHT_UPARROW;
    const int direction = up ? -1 : 1;
    const CRect arrow = up ? upArrowRect : downArrowRect;
    bool& pushed = up ? upArrowPushed : downArrowPushed;
    arrowTracking = true;
    pushed = true;
    DrawArrow(up, true);
    SetTimer(kArrowTimer, kArrowPeriod);
    SetCapture();
    CPoint releasedAt;
    const bool released = RunPress(
        self,
        [&](CPoint point) {
            if (arrow.PtInRect(point) == pushed) return;
            pushed = !pushed;
            DrawArrow(up, pushed);
        },
        &releasedAt,
        [&](MSG& msg) {
            if (msg.hwnd != self || msg.message != WM_TIMER || msg.wParam != kArrowTimer) return false;
            // Nothing further to show ends the tracking.
            if (pushed && !ScrollStep(direction)) ReleaseCapture();
            return true;
        });
    if (!::IsWindow(self)) return;
    if (released && arrow.PtInRect(releasedAt)) ScrollStep(direction);
    KillTimer(kArrowTimer);
    if (::GetCapture() == self) ReleaseCapture();
    upArrowPushed = downArrowPushed = false;
    arrowTracking = false;
    InvalidateRect(&Layout().Inside());
}

bool CSideBarCtrl::ScrollStep(int direction) {
    const SideBarGeometry g = Layout();
    const int count = g.ItemCount();
    if (direction < 0) {
        if (firstItem == 0) return false;
        --firstItem;
    } else {
        // An item taller than the whole area stays the first shown rather than scrolling away.
        if (count == 0 || firstItem >= count - 1 || g.ItemRect(count - 1).bottom <= g.Inside().bottom) return false;
        ++firstItem;
    }
    InvalidateRect(&g.Inside());
    return true;
}

void CSideBarCtrl::SlideFolders(int from, int to) {
    CRect client;
    GetClientRect(&client);
    if (client.IsRectEmpty() || from == to) return;
    CClientDC window(this);
    CDC before, after;
    CBitmap beforePicture, afterPicture;
    if (!before.CreateCompatibleDC(&window) || !after.CreateCompatibleDC(&window) ||
        !beforePicture.CreateCompatibleBitmap(&window, client.Width(), client.Height()) ||
        !afterPicture.CreateCompatibleBitmap(&window, client.Width(), client.Height()))
        return;
    CBitmap* oldBefore = before.SelectObject(&beforePicture);
    CBitmap* oldAfter = after.SelectObject(&afterPicture);
    Render(before, client, from, firstItem, selectedItem, nullptr);
    Render(after, client, to, 0, -1, nullptr);

    // The headers between the two folders move as one block, a header height a step.
    const int n = GetFolderCount(), h = std::max(1, metrics.folderHeight);
    const SideBarGeometry start(client, n, from, metrics), end(client, n, to, metrics);
    const int first = std::min(from, to) + 1, count = std::abs(to - from);
    CRect startRect, endRect;
    start.FolderRect(first, &startRect);
    end.FolderRect(first, &endRect);
    const int block = count * h, distance = endRect.top - startRect.top, sign = distance < 0 ? -1 : 1;
    const int width = client.Width();
    for (int moved = 0; moved != distance;) {
        moved = sign * std::min(std::abs(moved) + h, std::abs(distance));
        const int top = startRect.top + moved;
        // Upwards the block covers the old items and uncovers the new ones below it; downwards
        // the other way round.
        CDC& aboveSource = sign < 0 ? before : after;
        CDC& belowSource = sign < 0 ? after : before;
        CDC& blockSource = sign < 0 ? after : before;
        const int blockFrom = sign < 0 ? endRect.top : startRect.top;
        window.BitBlt(0, client.top, width, std::max(0, top - client.top), &aboveSource, 0, client.top, SRCCOPY);
        window.BitBlt(0, top, width, block, &blockSource, 0, blockFrom, SRCCOPY);
        window.BitBlt(0, top + block, width, std::max(0, client.bottom - top - block), &belowSource, 0, top + block,
                      SRCCOPY);
        // Peeking (for nothing) lets the window system put the step on the screen.
        MSG none;
        ::PeekMessageA(&none, m_hWnd, WM_NULL, WM_NULL, PM_NOREMOVE);
        if (animationDelay > 0) Sleep(static_cast<DWORD>(animationDelay));
    }
    before.SelectObject(oldBefore);
    after.SelectObject(oldAfter);
}
