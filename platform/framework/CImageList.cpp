#include "platform/framework/CImageList.h"

#include "platform/framework/CBitmap.h"
#include "platform/framework/CDC.h"
#include "platform/framework/CHandleMap.h"
#include "platform/graphics/ImageList.h"

IMPLEMENT_DYNCREATE(CImageList, CObject)

namespace {

thread_local CHandleMap<CImageList, HIMAGELIST, &CImageList::m_hImageList> tMap;

}  // namespace

CImageList::~CImageList() { DeleteImageList(); }

BOOL CImageList::Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow) {
    return Attach(ImageList_Create(cx, cy, nFlags, nInitial, nGrow));
}

BOOL CImageList::Create(UINT nBitmapID, int cx, int nGrow, COLORREF crMask) {
    CBitmap bitmap;
    BITMAP info{};
    if (!bitmap.LoadBitmap(nBitmapID) || !bitmap.GetBitmap(&info) || cx <= 0) return FALSE;
    if (!Create(cx, info.bmHeight, ILC_COLOR32 | ILC_MASK, info.bmWidth / cx, nGrow)) return FALSE;
    if (Add(&bitmap, crMask) >= 0) return TRUE;
    DeleteImageList();
    return FALSE;
}

BOOL CImageList::Attach(HIMAGELIST hImageList) {
    if (!hImageList || m_hImageList || !tMap.SetPermanent(hImageList, this)) return FALSE;
    m_hImageList = hImageList;
    return TRUE;
}

HIMAGELIST CImageList::Detach() {
    HIMAGELIST list = m_hImageList;
    if (list && tMap.FromHandlePermanent(list) == this) tMap.RemovePermanent(list);
    m_hImageList = nullptr;
    return list;
}

BOOL CImageList::DeleteImageList() { return m_hImageList ? ImageList_Destroy(Detach()) : FALSE; }

int CImageList::Add(CBitmap* pbmImage, CBitmap* pbmMask) {
    return ImageList_Add(m_hImageList, pbmImage ? pbmImage->m_hObject : nullptr,
                         pbmMask ? pbmMask->m_hObject : nullptr);
}
int CImageList::Add(CBitmap* pbmImage, COLORREF crMask) {
    return ImageList_AddMasked(m_hImageList, pbmImage ? pbmImage->m_hObject : nullptr, crMask);
}
int CImageList::Add(HICON hIcon) { return ImageList_AddIcon(m_hImageList, hIcon); }
int CImageList::Replace(int nImage, HICON hIcon) { return ImageList_ReplaceIcon(m_hImageList, nImage, hIcon); }
BOOL CImageList::Remove(int nImage) { return ImageList_Remove(m_hImageList, nImage); }
int CImageList::GetImageCount() const { return ImageList_GetImageCount(m_hImageList); }
COLORREF CImageList::SetBkColor(COLORREF cr) { return ImageList_SetBkColor(m_hImageList, cr); }
BOOL CImageList::GetIconSize(int* cx, int* cy) const { return ImageList_GetIconSize(m_hImageList, cx, cy); }
BOOL CImageList::Draw(CDC* pDC, int nImage, POINT pt, UINT nStyle) {
    return pDC && ImageList_Draw(m_hImageList, nImage, pDC->m_hDC, pt.x, pt.y, nStyle);
}

CImageList* CImageList::FromHandle(HIMAGELIST hImageList) { return tMap.FromHandle(hImageList); }
void CImageList::DeleteTempMap() { tMap.DeleteTemp(); }
