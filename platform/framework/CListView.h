#pragma once
// A view that is a list view control ("SysListView32"): the control draws itself and keeps its
// rows; the view adds what a view has (its document, activation, command routing). Its
// notifications come back to it reflected, so a derived class handles its own custom drawing and
// clicks with ON_NOTIFY_REFLECT. Made from its class record, a splitter can create it as a pane.

#include "platform/framework/CListCtrl.h"
#include "platform/framework/CView.h"

class CListView : public CView {
    DECLARE_DYNCREATE(CListView)

public:
    CListView();
    ~CListView() override;

    // The list's operations on this view's window (not an object of its own in the handle map).
    CListCtrl& GetListCtrl() const;

    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
    void OnDraw(CDC*) override {}
    void PostNcDestroy() override;

protected:
    DECLARE_MESSAGE_MAP()

    void OnPaint();

private:
    mutable CListCtrl m_list;
};
