#pragma once
// Drawing: objects, device contexts, clipping and the primitives, on 32-bit surfaces.

#include "platform/graphics/GdiTypes.h"

// Objects.
HGDIOBJ GetStockObject(int which);
HPEN CreatePen(int style, int width, COLORREF color);
HBRUSH CreateSolidBrush(COLORREF color);
HFONT CreateFontIndirectA(const LOGFONTA* font);
// FALSE for a stock object, an object still selected into a context, or no object.
BOOL DeleteObject(HGDIOBJ object);
// Fills a LOGFONTA, BITMAP (bits included) or the region's bounds; returns the bytes written.
int GetObjectA(HGDIOBJ object, int size, void* out);
DWORD GetObjectType(HGDIOBJ object);

// Contexts.
HDC CreateCompatibleDC(HDC reference);
BOOL DeleteDC(HDC hdc);
HGDIOBJ SelectObject(HDC hdc, HGDIOBJ object);
HGDIOBJ GetCurrentObject(HDC hdc, UINT type);
int SaveDC(HDC hdc);
BOOL RestoreDC(HDC hdc, int level);
int GetDeviceCaps(HDC hdc, int index);
COLORREF SetTextColor(HDC hdc, COLORREF color);
COLORREF GetTextColor(HDC hdc);
COLORREF SetBkColor(HDC hdc, COLORREF color);
COLORREF GetBkColor(HDC hdc);
int SetBkMode(HDC hdc, int mode);
int GetBkMode(HDC hdc);
BOOL SetViewportOrgEx(HDC hdc, int x, int y, POINT* previous);
BOOL OffsetViewportOrgEx(HDC hdc, int dx, int dy, POINT* previous);

// Bitmaps.
HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height);
// 32 bits a pixel (0x00RRGGBB), rows top to bottom; `bits` may be null (black).
HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
BOOL BitBlt(HDC to, int x, int y, int width, int height, HDC from, int fromX, int fromY, DWORD rop);
BOOL PatBlt(HDC hdc, int x, int y, int width, int height, DWORD rop);

// Regions and clipping (rectangle regions and their unions).
HRGN CreateRectRgn(int left, int top, int right, int bottom);
HRGN CreateRectRgnIndirect(const RECT* r);
BOOL SetRectRgn(HRGN region, int left, int top, int right, int bottom);
int CombineRgn(HRGN to, HRGN a, HRGN b, int mode);
BOOL PtInRegion(HRGN region, int x, int y);
int GetRgnBox(HRGN region, RECT* box);
int SelectClipRgn(HDC hdc, HRGN region);
int ExcludeClipRect(HDC hdc, int left, int top, int right, int bottom);
int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom);
int GetClipBox(HDC hdc, RECT* box);

// Primitives. A brush argument may also be a system colour index + 1.
int FillRect(HDC hdc, const RECT* r, HBRUSH brush);
int FrameRect(HDC hdc, const RECT* r, HBRUSH brush);
BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom);
BOOL MoveToEx(HDC hdc, int x, int y, POINT* previous);
// A line to (x, y), that point left out.
BOOL LineTo(HDC hdc, int x, int y);
COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color);
COLORREF GetPixel(HDC hdc, int x, int y);
