#pragma once
// How a bar is dragged (CControlBar::EnableDocking makes one per bar). A drag follows the pointer
// in the window system's modal loop, with the mouse captured, and shows where the bar would go:
// a thin outline where it would dock (over a dock bar of its frame on a side it may dock on), a
// thick one where it would float. Releasing the button docks or floats it there; Escape, the
// right button or a lost capture end the drag without change; Ctrl held down keeps it from
// docking. A click without moving does nothing. A floating bar's frame can be sized the same
// way (StartResize), and a double click toggles between the last docked and floating places.

#include "platform/framework/CPoint.h"
#include "platform/framework/CRect.h"
#include "platform/kernel/WinTypes.h"

class CControlBar;
class CDockBar;
class CFrameWnd;
class TrackingOutline;

class CDockContext {
public:
    explicit CDockContext(CControlBar* pBar);
    virtual ~CDockContext();
    CDockContext(const CDockContext&) = delete;
    CDockContext& operator=(const CDockContext&) = delete;

    // Drags the bar from screen point pt (the button is down).
    virtual void StartDrag(CPoint pt);
    // Sizes a floating bar's frame from edge nHitTest (HTLEFT..HTBOTTOM) at screen point pt.
    virtual void StartResize(int nHitTest, CPoint pt);
    // Docks a floating bar where it was docked last, or floats a docked one where it floated.
    virtual void ToggleDocking();

    CControlBar* m_pBar;
    CFrameWnd* m_pDockSite = nullptr;
    DWORD m_dwDockStyle = 0;      // where the bar may dock
    DWORD m_dwOverDockStyle = 0;  // the side it would dock on now, 0 to float
    DWORD m_dwStyle = 0;          // its alignment when the drag began
    CPoint m_ptLast;
    CRect m_rectLast;
    CRect m_rectDragHorz;       // the bar, docked horizontally, under the pointer (screen)
    CRect m_rectDragVert;       // docked vertically
    CRect m_rectFrameDragHorz;  // its floating frame
    BOOL m_bForceFrame = FALSE;  // Ctrl: float whatever is under the pointer
    BOOL m_bDragging = FALSE;

    // Where it was docked and floated last.
    UINT m_uMRUDockID = 0;
    CRect m_rectMRUDockPos;  // in the dock bar's client coordinates
    CPoint m_ptMRUFloatPos;
    BOOL m_bMRUFloated = FALSE;

protected:
    // One step of the drag: the pointer is at pt.
    void Move(CPoint pt);
    // The side the rectangles would dock on now (0: none), and the dock bar.
    DWORD CanDock(CDockBar** ppDockBar);
    void DrawFocusRect();
    void EndDrag();
    void EndResize();

private:
    enum class Mode { None, Drag, Resize };
    // Runs the modal loop of a drag or a resize; TRUE when it ended with the button's release.
    bool Track();
    void Stretch(CPoint pt);

    Mode m_mode = Mode::None;
    bool m_bMoved = false;
    bool m_bDone = false;
    bool m_bAccepted = false;
    int m_nHitTest = 0;
    int m_lengthAsked = 0;    // what a resize asks of the bar
    DWORD m_lengthMode = 0;  // and how (0: nothing yet)
    CPoint m_ptStart;
    CDockBar* m_pOverDockBar = nullptr;
    TrackingOutline* m_pOutline = nullptr;  // during a drag only
};
