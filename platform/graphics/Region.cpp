#include "platform/graphics/Region.h"

#include <algorithm>

#include "platform/graphics/Rects.h"

namespace {

// Appends the parts of `a` outside `cut`.
void PiecesOutside(const RECT& a, const RECT& cut, std::vector<RECT>& out) {
    RECT overlap;
    if (!IntersectRect(&overlap, &a, &cut)) {
        out.push_back(a);
        return;
    }
    if (a.top < overlap.top) out.push_back(RECT{a.left, a.top, a.right, overlap.top});
    if (overlap.bottom < a.bottom) out.push_back(RECT{a.left, overlap.bottom, a.right, a.bottom});
    if (a.left < overlap.left) out.push_back(RECT{a.left, overlap.top, overlap.left, overlap.bottom});
    if (overlap.right < a.right) out.push_back(RECT{overlap.right, overlap.top, a.right, overlap.bottom});
}

}  // namespace

Region::Region(const RECT& r) { Set(r); }

RECT Region::Bounds() const {
    RECT b{};
    for (const RECT& r : rects_) UnionRect(&b, &b, &r);
    return b;
}

bool Region::Contains(POINT p) const {
    return std::any_of(rects_.begin(), rects_.end(), [&](const RECT& r) { return PtInRect(&r, p); });
}

bool Region::Intersects(const RECT& r) const {
    RECT ignored;
    return std::any_of(rects_.begin(), rects_.end(), [&](const RECT& a) { return IntersectRect(&ignored, &a, &r); });
}

void Region::Set(const RECT& r) {
    rects_.clear();
    if (!IsRectEmpty(&r)) rects_.push_back(r);
}

void Region::Add(const RECT& r) {
    if (IsRectEmpty(&r)) return;
    std::vector<RECT> pieces{r};
    for (const RECT& existing : rects_) {
        std::vector<RECT> rest;
        for (const RECT& p : pieces) PiecesOutside(p, existing, rest);
        pieces.swap(rest);
        if (pieces.empty()) return;
    }
    rects_.insert(rects_.end(), pieces.begin(), pieces.end());
}

void Region::Add(const Region& other) {
    for (const RECT& r : other.rects_) Add(r);
}

void Region::Subtract(const RECT& r) {
    if (IsRectEmpty(&r)) return;
    std::vector<RECT> rest;
    rest.reserve(rects_.size() + 4);
    for (const RECT& a : rects_) PiecesOutside(a, r, rest);
    rects_.swap(rest);
}

void Region::Subtract(const Region& other) {
    for (const RECT& r : other.rects_) Subtract(r);
}

void Region::Intersect(const RECT& r) {
    std::vector<RECT> kept;
    for (const RECT& a : rects_) {
        RECT o;
        if (IntersectRect(&o, &a, &r)) kept.push_back(o);
    }
    rects_.swap(kept);
}

void Region::Intersect(const Region& other) {
    std::vector<RECT> kept;
    for (const RECT& a : rects_) {
        for (const RECT& b : other.rects_) {
            RECT o;
            if (IntersectRect(&o, &a, &b)) kept.push_back(o);
        }
    }
    rects_.swap(kept);  // pieces of disjoint rectangles stay disjoint
}

void Region::Offset(int dx, int dy) {
    for (RECT& r : rects_) OffsetRect(&r, dx, dy);
}
