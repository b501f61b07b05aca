#pragma once
// An image list, destroyed with the object unless detached.

#include "platform/framework/CObject.h"
#include "platform/graphics/GdiTypes.h"

class CBitmap;
class CDC;

class CImageList : public CObject {
    DECLARE_DYNCREATE(CImageList)

public:
    HIMAGELIST m_hImageList = nullptr;

    CImageList() = default;
    ~CImageList() override;

    operator HIMAGELIST() const { return m_hImageList; }
    HIMAGELIST GetSafeHandle() const { return m_hImageList; }

    BOOL Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow);
    // Pictures cx wide from bitmap resource nBitmapID, crMask transparent.
    BOOL Create(UINT nBitmapID, int cx, int nGrow, COLORREF crMask);
    BOOL Attach(HIMAGELIST hImageList);
    HIMAGELIST Detach();
    BOOL DeleteImageList();

    int Add(CBitmap* pbmImage, CBitmap* pbmMask);
    int Add(CBitmap* pbmImage, COLORREF crMask);
    int Add(HICON hIcon);
    int Replace(int nImage, HICON hIcon);
    BOOL Remove(int nImage);
    int GetImageCount() const;
    COLORREF SetBkColor(COLORREF cr);
    BOOL GetIconSize(int* cx, int* cy) const;
    BOOL Draw(CDC* pDC, int nImage, POINT pt, UINT nStyle);

    static CImageList* FromHandle(HIMAGELIST hImageList);
    static void DeleteTempMap();
};
