#include "widgets/CreateSideBarSplitter.h"

#include "platform/framework/AfxRes.h"
#include "platform/framework/CRect.h"
#include "platform/graphics/Images.h"

BOOL CreateSideBarSplitter(CWnd* frame, CSplitterWnd& splitter, const CRuntimeClass* viewClass,
                           CCreateContext* pContext, CSideBarCtrl& sideBar, CImageList& largeIcons,
                           CImageList& smallIcons, UINT icon, LPCSTR folder, LPCSTR item) {
    if (!splitter.CreateStatic(frame, 1, 2, WS_CHILD | WS_VISIBLE, AFX_IDW_PANE_FIRST) ||
        !splitter.CreateView(0, 1, viewClass, CSize(0, 0), pContext) ||
        !sideBar.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), &splitter, splitter.IdFromRowCol(0, 0),
                        CSideBarCtrl::MarkSelection))
        return FALSE;
    sideBar.ModifyStyleEx(WS_EX_STATICEDGE, 0, SWP_FRAMECHANGED);
    sideBar.SetOwner(frame);

    smallIcons.Create(16, 16, ILC_COLORDDB | ILC_MASK, 2, 1);
    largeIcons.Create(32, 32, ILC_COLORDDB | ILC_MASK, 2, 1);
    largeIcons.Add(LoadIconA(nullptr, MAKEINTRESOURCEA(icon)));
    smallIcons.Add(LoadIconA(nullptr, MAKEINTRESOURCEA(icon)));
    sideBar.SetDefaultImageList(&largeIcons, CSideBarCtrl::LargeImageList);
    sideBar.SetDefaultImageList(&smallIcons, CSideBarCtrl::SmallImageList);
    sideBar.AppendFolder(folder, 0);
    sideBar.InsertFolderItem(0, 0, item, 0, 0);
    sideBar.SelectFolder(0);
    return TRUE;
}
