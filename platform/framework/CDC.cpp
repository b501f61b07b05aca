#include "platform/framework/CDC.h"

#include "platform/framework/CBitmap.h"
#include "platform/framework/CBrush.h"
#include "platform/framework/CFont.h"
#include "platform/framework/CHandleMap.h"
#include "platform/framework/CPen.h"
#include "platform/graphics/Edges.h"
#include "platform/graphics/Gdi.h"
#include "platform/graphics/Images.h"
#include "platform/graphics/TextOutput.h"

IMPLEMENT_DYNCREATE(CDC, CObject)

namespace {

thread_local CHandleMap<CDC, HDC, &CDC::m_hDC> tMap;

}  // namespace

CDC::~CDC() { DeleteDC(); }

BOOL CDC::Attach(HDC hdc) {
    if (!hdc || m_hDC || !tMap.SetPermanent(hdc, this)) return FALSE;
    m_hDC = hdc;
    return TRUE;
}

HDC CDC::Detach() {
    HDC hdc = m_hDC;
    if (hdc && tMap.FromHandlePermanent(hdc) == this) tMap.RemovePermanent(hdc);
    m_hDC = nullptr;
    return hdc;
}

BOOL CDC::CreateCompatibleDC(CDC* reference) {
    return Attach(::CreateCompatibleDC(reference ? reference->m_hDC : nullptr));
}

BOOL CDC::DeleteDC() { return m_hDC ? ::DeleteDC(Detach()) : FALSE; }

CDC* CDC::FromHandle(HDC hdc) { return tMap.FromHandle(hdc); }

void CDC::DeleteTempMap() { tMap.DeleteTemp(); }

CPen* CDC::SelectObject(CPen* pen) { return CPen::FromHandle(SelectObject(pen ? pen->m_hObject : nullptr)); }
CBrush* CDC::SelectObject(CBrush* brush) {
    return CBrush::FromHandle(SelectObject(brush ? brush->m_hObject : nullptr));
}
CFont* CDC::SelectObject(CFont* font) { return CFont::FromHandle(SelectObject(font ? font->m_hObject : nullptr)); }
CBitmap* CDC::SelectObject(CBitmap* bitmap) {
    return CBitmap::FromHandle(SelectObject(bitmap ? bitmap->m_hObject : nullptr));
}
HGDIOBJ CDC::SelectObject(HGDIOBJ object) { return m_hDC && object ? ::SelectObject(m_hDC, object) : nullptr; }
CGdiObject* CDC::SelectStockObject(int index) { return CGdiObject::FromHandle(SelectObject(GetStockObject(index))); }
int CDC::SaveDC() { return ::SaveDC(m_hDC); }
BOOL CDC::RestoreDC(int level) { return ::RestoreDC(m_hDC, level); }
int CDC::GetDeviceCaps(int index) const { return ::GetDeviceCaps(m_hDC, index); }

COLORREF CDC::SetTextColor(COLORREF color) { return ::SetTextColor(m_hDC, color); }
COLORREF CDC::GetTextColor() const { return ::GetTextColor(m_hDC); }
COLORREF CDC::SetBkColor(COLORREF color) { return ::SetBkColor(m_hDC, color); }
COLORREF CDC::GetBkColor() const { return ::GetBkColor(m_hDC); }
int CDC::SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
int CDC::GetBkMode() const { return ::GetBkMode(m_hDC); }
BOOL CDC::TextOut(int x, int y, LPCSTR text, int length) { return TextOutA(m_hDC, x, y, text, length); }
BOOL CDC::TextOut(int x, int y, const std::string& text) {
    return TextOutA(m_hDC, x, y, text.c_str(), static_cast<int>(text.size()));
}
BOOL CDC::ExtTextOut(int x, int y, UINT options, LPCRECT rect, const std::string& text, const int* dx) {
    return ExtTextOutA(m_hDC, x, y, options, rect, text.c_str(), static_cast<UINT>(text.size()), dx);
}
int CDC::DrawText(LPCSTR text, int length, LPRECT rect, UINT format) {
    return DrawTextA(m_hDC, text, length, rect, format);
}
int CDC::DrawText(const std::string& text, LPRECT rect, UINT format) {
    return DrawTextA(m_hDC, text.c_str(), static_cast<int>(text.size()), rect, format);
}
CSize CDC::GetTextExtent(LPCSTR text, int length) const {
    SIZE size{0, 0};
    GetTextExtentPoint32A(m_hDC, text, length, &size);
    return CSize(size);
}
CSize CDC::GetTextExtent(const std::string& text) const {
    return GetTextExtent(text.c_str(), static_cast<int>(text.size()));
}
BOOL CDC::GetTextMetrics(TEXTMETRICA* metrics) const { return GetTextMetricsA(m_hDC, metrics); }

void CDC::FillRect(LPCRECT rect, CBrush* brush) {
    if (brush) ::FillRect(m_hDC, rect, brush->m_hObject);
}
void CDC::FillSolidRect(LPCRECT rect, COLORREF color) {
    // As the platform does it: an opaque text run of nothing in the background colour.
    const COLORREF old = ::SetBkColor(m_hDC, color);
    ExtTextOutA(m_hDC, 0, 0, ETO_OPAQUE, rect, nullptr, 0, nullptr);
    ::SetBkColor(m_hDC, old);
}
void CDC::FillSolidRect(int x, int y, int width, int height, COLORREF color) {
    const CRect r(x, y, x + width, y + height);
    FillSolidRect(&r, color);
}
void CDC::FrameRect(LPCRECT rect, CBrush* brush) {
    if (brush) ::FrameRect(m_hDC, rect, brush->m_hObject);
}
void CDC::Draw3dRect(LPCRECT rect, COLORREF topLeft, COLORREF bottomRight) {
    ::Draw3dRect(m_hDC, rect, topLeft, bottomRight);
}
void CDC::Draw3dRect(int x, int y, int width, int height, COLORREF topLeft, COLORREF bottomRight) {
    const CRect r(x, y, x + width, y + height);
    ::Draw3dRect(m_hDC, &r, topLeft, bottomRight);
}
BOOL CDC::DrawEdge(LPRECT rect, UINT edge, UINT flags) { return ::DrawEdge(m_hDC, rect, edge, flags); }
BOOL CDC::DrawFrameControl(LPRECT rect, UINT type, UINT state) { return ::DrawFrameControl(m_hDC, rect, type, state); }
BOOL CDC::Rectangle(int left, int top, int right, int bottom) { return ::Rectangle(m_hDC, left, top, right, bottom); }
BOOL CDC::Rectangle(LPCRECT rect) { return ::Rectangle(m_hDC, rect->left, rect->top, rect->right, rect->bottom); }
CPoint CDC::MoveTo(int x, int y) {
    POINT previous{0, 0};
    MoveToEx(m_hDC, x, y, &previous);
    return CPoint(previous);
}
BOOL CDC::LineTo(int x, int y) { return ::LineTo(m_hDC, x, y); }
COLORREF CDC::SetPixel(int x, int y, COLORREF color) { return ::SetPixel(m_hDC, x, y, color); }
COLORREF CDC::GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }
BOOL CDC::DrawIcon(int x, int y, HICON icon) { return ::DrawIcon(m_hDC, x, y, icon); }
BOOL CDC::BitBlt(int x, int y, int width, int height, CDC* source, int sourceX, int sourceY, DWORD rop) {
    return ::BitBlt(m_hDC, x, y, width, height, source ? source->m_hDC : nullptr, sourceX, sourceY, rop);
}
BOOL CDC::PatBlt(int x, int y, int width, int height, DWORD rop) { return ::PatBlt(m_hDC, x, y, width, height, rop); }

int CDC::IntersectClipRect(int left, int top, int right, int bottom) {
    return ::IntersectClipRect(m_hDC, left, top, right, bottom);
}
int CDC::IntersectClipRect(LPCRECT rect) { return IntersectClipRect(rect->left, rect->top, rect->right, rect->bottom); }
int CDC::ExcludeClipRect(int left, int top, int right, int bottom) {
    return ::ExcludeClipRect(m_hDC, left, top, right, bottom);
}
int CDC::ExcludeClipRect(LPCRECT rect) { return ExcludeClipRect(rect->left, rect->top, rect->right, rect->bottom); }
int CDC::SelectClipRgn(HRGN region) { return ::SelectClipRgn(m_hDC, region); }
int CDC::GetClipBox(LPRECT rect) const { return ::GetClipBox(m_hDC, rect); }
CPoint CDC::SetViewportOrg(int x, int y) {
    POINT previous{0, 0};
    SetViewportOrgEx(m_hDC, x, y, &previous);
    return CPoint(previous);
}
