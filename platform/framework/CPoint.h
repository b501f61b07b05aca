#pragma once
// A POINT with arithmetic.

#include "platform/graphics/GdiTypes.h"

class CPoint : public POINT {
public:
    constexpr CPoint() : POINT{0, 0} {}
    constexpr CPoint(int x, int y) : POINT{x, y} {}
    constexpr CPoint(POINT p) : POINT(p) {}
    constexpr CPoint(SIZE s) : POINT{s.cx, s.cy} {}

    void Offset(int dx, int dy) {
        x += dx;
        y += dy;
    }
    void SetPoint(int nx, int ny) {
        x = nx;
        y = ny;
    }
    operator POINT*() { return this; }
    operator const POINT*() const { return this; }

    friend constexpr bool operator==(const CPoint& a, const CPoint& b) { return a.x == b.x && a.y == b.y; }
    friend constexpr CPoint operator+(CPoint a, SIZE s) { return CPoint(a.x + s.cx, a.y + s.cy); }
    friend constexpr CPoint operator-(CPoint a, SIZE s) { return CPoint(a.x - s.cx, a.y - s.cy); }
    CPoint& operator+=(SIZE s) {
        x += s.cx;
        y += s.cy;
        return *this;
    }
    CPoint& operator-=(SIZE s) {
        x -= s.cx;
        y -= s.cy;
        return *this;
    }
};
