#pragma once
// A SIZE with arithmetic.

#include "platform/graphics/GdiTypes.h"

class CSize : public SIZE {
public:
    constexpr CSize() : SIZE{0, 0} {}
    constexpr CSize(int cx, int cy) : SIZE{cx, cy} {}
    constexpr CSize(SIZE s) : SIZE(s) {}
    constexpr explicit CSize(POINT p) : SIZE{p.x, p.y} {}

    friend constexpr bool operator==(const CSize& a, const CSize& b) { return a.cx == b.cx && a.cy == b.cy; }
    friend constexpr CSize operator+(CSize a, SIZE b) { return CSize(a.cx + b.cx, a.cy + b.cy); }
    friend constexpr CSize operator-(CSize a, SIZE b) { return CSize(a.cx - b.cx, a.cy - b.cy); }
};
