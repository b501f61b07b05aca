#pragma once
// Paints a list view's rows in report view: only the rows the update area meets, each with the
// colours custom drawing gives it (NM_CUSTOMDRAW: the whole control, each row, each cell when
// asked), the selection, the hot row, the focus, the icons and the grid lines.

#include "platform/controls/ListView.h"

class ListViewPainter {
public:
    explicit ListViewPainter(ListView& list) : list_(list) {}

    void Paint(HDC hdc, const RECT& update);

private:
    // One custom-draw stage; the colours go in and come back as the parent set them.
    LRESULT Stage(DWORD stage, const RECT& rc, int row, UINT& itemState, LPARAM param, int subItem, COLORREF& text,
                  COLORREF& back);
    void PaintRow(int row, const RECT& update);
    void PaintGrid(const RECT& update);
    void Fill(const RECT& r, COLORREF color);
    void DottedFrame(const RECT& r, COLORREF color);

    ListView& list_;
    HDC hdc_ = nullptr;
    RECT client_{0, 0, 0, 0};
    bool itemStages_ = false;
};
