#pragma once
// The folder side bar: a stack of folder headers and, below the open folder's header, that
// folder's items as icons with labels, scrolled by two arrow buttons. Clicking another header
// opens that folder; clicking an item tells the owner (WM_SIDEBAR_NOTIFY, SideBarNotify.h).
// It draws everything itself in the system colours and keeps its own hover and press looks.
//
// Single-threaded: every call and message on the window's thread. Presses are tracked in
// local loops (ModalLoop) that keep the thread's other windows served and end when the
// capture goes.

#include <memory>
#include <string>
#include <vector>

#include "platform/framework/CPen.h"
#include "platform/framework/CWnd.h"
#include "widgets/SideBarFolder.h"
#include "widgets/SideBarGeometry.h"
#include "widgets/SideBarNotify.h"
#include "widgets/SideBarPainter.h"

class CDC;
class CImageList;

class CSideBarCtrl : public CWnd {
public:
    // Flags.
    static constexpr DWORD SmallIcons = 0x01;      // icon left, label right; clear: icon above label
    static constexpr DWORD DragItems = 0x80;       // items can be dragged to a new place
    static constexpr DWORD AnimateFolders = 0x100; // opening a folder slides the headers
    static constexpr DWORD MarkSelection = 0x200;  // the selected item keeps a sunken frame, no hover look

    // Image list kinds.
    static constexpr int SmallImageList = 1;
    static constexpr int LargeImageList = 2;

    // The cursors: the system's hand, arrow and "no" cursors stand in for resources 5005, 5003
    // and 5001.
    static constexpr UINT kHoverTimer = 1, kArrowTimer = 2, kBounceTimer = 3;
    static constexpr UINT kHoverPeriod = 100, kArrowPeriod = 300;

    CSideBarCtrl();
    ~CSideBarCtrl() override;

    // A child window (the child bit is added to `style`) with a static edge, in the framework's
    // default class.
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id, DWORD barFlags);

    // kind SmallImageList or LargeImageList; the previous list of that kind. Other kinds change
    // nothing and give null. The lists stay the caller's.
    CImageList* SetDefaultImageList(CImageList* list, int kind);
    int AppendFolder(LPCSTR text, DWORD data);
    // A position below 0 or past the end appends; the position used, -1 for no such folder.
    int InsertFolderItem(int folder, int position, LPCSTR text, int image, DWORD data);
    void SelectFolder(int folder);  // no such folder: nothing happens
    int GetSelectedFolder() const { return selectedFolder; }
    // Marks the item (or -1, none) and tells the owner as a click does. No such item: nothing.
    void SelectItem(int item);
    int GetSelectedItem() const { return selectedItem; }
    int GetFolderCount() const { return static_cast<int>(folders.size()); }
    int GetItemCount() const;  // of the open folder

    // A folder's own image lists (null: the defaults), and a window shown in place of its
    // items (null: none). Neither becomes the bar's.
    CImageList* SetFolderImageList(int folder, CImageList* list, int kind);
    void SetFolderChild(int folder, CWnd* child);
    // Labels; false for no such folder or item.
    bool SetFolderText(int folder, LPCSTR text);
    bool SetItemText(int item, LPCSTR text);  // of the open folder
    std::string GetFolderText(int folder) const;
    std::string GetItemText(int item) const;
    DWORD GetItemData(int item) const;

    // Period of the selected item's bounce, 0 (the default) for none.
    void SetSelectionBlinkPeriod(int milliseconds);
    // Milliseconds per step of the folder slide (AnimateFolders); negative: no slide.
    void SetAnimationDelay(int milliseconds) { animationDelay = milliseconds; }
    DWORD GetFlags() const { return flags; }

    // What a client point is over (SideBarHit); the folder or item in *index, else -1.
    int HitTest(POINT point, int* index) const;
    // Where everything is now.
    SideBarGeometry Layout() const;

protected:
    DECLARE_MESSAGE_MAP()

    void OnPaint();
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnTimer(UINT_PTR nIDEvent);
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnRButtonDown(UINT nFlags, CPoint point);
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    void OnSize(UINT nType, int cx, int cy);
    void OnSysColorChange();
    LRESULT OnSideBarNotify(WPARAM code, LPARAM record);  // from an in-place editor

    // The picture of the bar with `folder` open, scrolled to `first`, `selected` marked; the
    // arrows it drew, when asked.
    struct Arrows {
        CRect up, down;
        bool upShown = false, downShown = false;
    };
    void Render(CDC& dc, const CRect& client, int folder, int first, int selected, Arrows* arrows) const;
    SideBarGeometry Layout(int folder, int first) const;
    std::vector<SideBarItemSize> MeasureItems(const SideBarFolder& folder, int insideWidth) const;
    CImageList* ImagesOf(const SideBarFolder& folder) const;
    const SideBarFolder* OpenFolder() const;
    bool HasFolder(int folder) const { return folder >= 0 && folder < GetFolderCount(); }
    bool IsFolderChild(HWND hwnd) const;
    bool EditorHasFocus() const;
    LRESULT Notify(WPARAM code, LPARAM value);

    // Hover and press looks, drawn straight on the window.
    void SetHotFolder(int folder);
    void SetHotItem(int item, bool pressed, bool notify = true);
    void DrawHeader(int folder, bool pressed);
    void DrawArrow(bool up, bool pushed);
    void RedoHover();
    // Sends notification 1 for `item` after moving the selection frame.
    void ChangeSelection(int item);
    void InvalidateIconFrame(int item);
    void DrawSelectedIcon(CPoint offset);
    void StepBounce();
    void StopBounce();

    // Tracking a press until release or until the capture goes.
    void TrackItem(int item);
    void TrackHeader(int folder);
    void TrackArrow(int kind);
    // One item up (-1) or down (+1); false when there is no further to go.
    bool ScrollStep(int direction);
    void SlideFolders(int from, int to);
    // Dragging item `from`: the drop target under a point (a final index), -1 for none.
    int DropTarget(CPoint point, int from) const;
    void ShowDropMark(int target, int from, CRect* markStrip);
    void DropItem(int from, int target);

    SideBarColors colors;
    SideBarMetrics metrics;
    DWORD flags = 0x3FC;
    std::vector<std::unique_ptr<SideBarFolder>> folders;
    int selectedFolder = 0;
    int firstItem = 0;
    int hotFolder = -1;
    int hotItem = -1;
    bool hotItemPressed = false;
    int selectedItem = -1;
    CRect upArrowRect, downArrowRect;
    bool upArrowShown = false, downArrowShown = false;
    bool upArrowPushed = false, downArrowPushed = false;
    bool arrowTracking = false;
    CImageList* largeImages = nullptr;
    CImageList* smallImages = nullptr;
    int animationDelay = 10;
    int selectionBlinkPeriod = 0;
    int bounceStep = -1;  // -1 resting; 0 to 3 the icon's steps; up to 10 a pause
    HCURSOR handCursor;
    HCURSOR dropCursor;
    HCURSOR noDropCursor;
    CPen dropMarkPen;
};
