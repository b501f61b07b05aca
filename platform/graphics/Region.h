#pragma once
// An area as disjoint rectangles: clipping areas and invalid areas. Small by design: areas here
// are a handful of rectangles (a window less its children, a few invalidated strips).

#include <vector>

#include "platform/graphics/GdiTypes.h"

class Region {
public:
    Region() = default;
    explicit Region(const RECT& r);

    bool IsEmpty() const { return rects_.empty(); }
    const std::vector<RECT>& Rects() const { return rects_; }
    RECT Bounds() const;
    bool Contains(POINT p) const;
    bool Intersects(const RECT& r) const;

    void Clear() { rects_.clear(); }
    void Set(const RECT& r);
    void Add(const RECT& r);
    void Add(const Region& other);
    void Subtract(const RECT& r);
    void Subtract(const Region& other);
    void Intersect(const RECT& r);
    void Intersect(const Region& other);
    void Offset(int dx, int dy);

private:
    std::vector<RECT> rects_;
};
