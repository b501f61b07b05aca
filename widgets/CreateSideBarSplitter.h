#pragma once
// A frame's client area as a static splitter of one row and two columns: a view in the right
// column and, in the left, a side bar without the static edge whose notices go to the frame,
// showing one folder that holds one item. The caller lays the columns out.

#include "platform/framework/CImageList.h"
#include "platform/framework/CSplitterWnd.h"
#include "widgets/CSideBarCtrl.h"

struct CCreateContext;
struct CRuntimeClass;

// The view is made from viewClass with pContext. Icon resource `icon` goes into largeIcons
// (32 x 32) and smallIcons (16 x 16), which the bar uses as they are: the caller keeps them as
// long as the bar. The folder and the item show picture 0. FALSE when a window cannot be made.
BOOL CreateSideBarSplitter(CWnd* frame, CSplitterWnd& splitter, const CRuntimeClass* viewClass,
                           CCreateContext* pContext, CSideBarCtrl& sideBar, CImageList& largeIcons,
                           CImageList& smallIcons, UINT icon, LPCSTR folder, LPCSTR item);
