#pragma once
// A header control ("SysHeader32"): its messages as members.

#include "platform/controls/Header.h"
#include "platform/framework/CWnd.h"

class CImageList;

class CHeaderCtrl : public CWnd {
    DECLARE_DYNAMIC(CHeaderCtrl)

public:
    CHeaderCtrl();
    ~CHeaderCtrl() override;

    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    int GetItemCount() const;
    int InsertItem(int nPos, HDITEMA* phdi);
    BOOL DeleteItem(int nPos);
    BOOL GetItem(int nPos, HDITEMA* pHeaderItem) const;
    BOOL SetItem(int nPos, HDITEMA* pHeaderItem);
    BOOL GetItemRect(int nIndex, LPRECT lpRect) const;
    // The items' indexes in the order they show.
    BOOL GetOrderArray(int* piArray, int iCount) const;
    BOOL SetOrderArray(int iCount, int* piArray);
    int OrderToIndex(int nOrder) const;
    int HitTest(HDHITTESTINFO* pHeaderHitTestInfo) const;
    CImageList* SetImageList(CImageList* pImageList);
    CImageList* GetImageList() const;
};
