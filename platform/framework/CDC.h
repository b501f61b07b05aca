#pragma once
// A device context and the drawing calls as members. A CDC deletes the context it holds when it
// goes (a memory context from CreateCompatibleDC, or one attached); the window variants release
// theirs instead (CPaintDC, CClientDC, CWindowDC).

#include <string>

#include "platform/framework/AfxPriv.h"
#include "platform/framework/CObject.h"
#include "platform/framework/CPoint.h"
#include "platform/framework/CRect.h"
#include "platform/framework/CSize.h"
#include "platform/graphics/GdiTypes.h"

class CBitmap;
class CBrush;
class CFont;
class CGdiObject;
class CPen;

class CDC : public CObject {
    DECLARE_DYNCREATE(CDC)

public:
    HDC m_hDC = nullptr;

    CDC() = default;
    ~CDC() override;

    operator HDC() const { return m_hDC; }
    HDC GetSafeHdc() const { return m_hDC; }

    BOOL Attach(HDC hdc);
    HDC Detach();
    BOOL CreateCompatibleDC(CDC* reference);
    BOOL DeleteDC();
    static CDC* FromHandle(HDC hdc);  // the owner, else a temporary until the next idle time
    static void DeleteTempMap();

    // Objects: each returns the object it replaced (a temporary wrapper when nobody owns it).
    CPen* SelectObject(CPen* pen);
    CBrush* SelectObject(CBrush* brush);
    CFont* SelectObject(CFont* font);
    CBitmap* SelectObject(CBitmap* bitmap);
    HGDIOBJ SelectObject(HGDIOBJ object);
    CGdiObject* SelectStockObject(int index);
    int SaveDC();
    BOOL RestoreDC(int level);
    int GetDeviceCaps(int index) const;

    // Colours and text.
    COLORREF SetTextColor(COLORREF color);
    COLORREF GetTextColor() const;
    COLORREF SetBkColor(COLORREF color);
    COLORREF GetBkColor() const;
    int SetBkMode(int mode);
    int GetBkMode() const;
    BOOL TextOut(int x, int y, LPCSTR text, int length);
    BOOL TextOut(int x, int y, const std::string& text);
    BOOL ExtTextOut(int x, int y, UINT options, LPCRECT rect, const std::string& text, const int* dx = nullptr);
    int DrawText(LPCSTR text, int length, LPRECT rect, UINT format);
    int DrawText(const std::string& text, LPRECT rect, UINT format);
    CSize GetTextExtent(LPCSTR text, int length) const;
    CSize GetTextExtent(const std::string& text) const;
    BOOL GetTextMetrics(TEXTMETRICA* metrics) const;

    // Shapes.
    void FillRect(LPCRECT rect, CBrush* brush);
    void FillSolidRect(LPCRECT rect, COLORREF color);
    void FillSolidRect(int x, int y, int width, int height, COLORREF color);
    void FrameRect(LPCRECT rect, CBrush* brush);
    void Draw3dRect(LPCRECT rect, COLORREF topLeft, COLORREF bottomRight);
    void Draw3dRect(int x, int y, int width, int height, COLORREF topLeft, COLORREF bottomRight);
    BOOL DrawEdge(LPRECT rect, UINT edge, UINT flags);
    BOOL DrawFrameControl(LPRECT rect, UINT type, UINT state);
    BOOL Rectangle(int left, int top, int right, int bottom);
    BOOL Rectangle(LPCRECT rect);
    CPoint MoveTo(int x, int y);
    BOOL LineTo(int x, int y);
    COLORREF SetPixel(int x, int y, COLORREF color);
    COLORREF GetPixel(int x, int y) const;
    BOOL DrawIcon(int x, int y, HICON icon);
    BOOL BitBlt(int x, int y, int width, int height, CDC* source, int sourceX, int sourceY, DWORD rop);
    BOOL PatBlt(int x, int y, int width, int height, DWORD rop);

    // Clipping and origin.
    int IntersectClipRect(int left, int top, int right, int bottom);
    int IntersectClipRect(LPCRECT rect);
    int ExcludeClipRect(int left, int top, int right, int bottom);
    int ExcludeClipRect(LPCRECT rect);
    int SelectClipRgn(HRGN region);
    int GetClipBox(LPRECT rect) const;
    CPoint SetViewportOrg(int x, int y);
};
