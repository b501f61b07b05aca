#include "platform/graphics/MarlettFace.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

struct P {
    double x, y;
};

double Cross(P a, P b, P c) { return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x); }

bool InTriangle(P p, P a, P b, P c) {
    const double d1 = Cross(a, b, p), d2 = Cross(b, c, p), d3 = Cross(c, a, p);
    const bool negative = d1 < 0 || d2 < 0 || d3<0, positive = d1> 0 || d2 > 0 || d3 > 0;
    return !(negative && positive);
}

double SegmentDistance(P p, P a, P b) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double t = std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

// The shape of a symbol in unit coordinates (0..1, y down); null for a blank symbol.
std::function<bool(P)> ShapeOf(char32_t c) {
    auto polyline = [](std::vector<P> points, double width) {
        return [points, width](P p) {
            for (std::size_t i = 0; i + 1 < points.size(); ++i)
                if (SegmentDistance(p, points[i], points[i + 1]) <= width / 2) return true;
            return false;
        };
    };
    auto triangle = [](P a, P b, P c2) { return [a, b, c2](P p) { return InTriangle(p, a, b, c2); }; };
    auto disc = [](double r) { return [r](P p) { return std::hypot(p.x - 0.5, p.y - 0.5) <= r; }; };
    switch (c) {
        case 'a':
            return polyline({{0.22, 0.52}, {0.42, 0.72}, {0.80, 0.30}}, 0.13);
        case 'b':
            return polyline({{0.20, 0.50}, {0.42, 0.74}, {0.82, 0.28}}, 0.17);
        case 'h':
            return disc(0.22);
        case 'i':
            return disc(0.16);
        case '3':
            return triangle({0.30, 0.50}, {0.62, 0.18}, {0.62, 0.82});
        case '4':
            return triangle({0.70, 0.50}, {0.38, 0.18}, {0.38, 0.82});
        case '5':
            return triangle({0.50, 0.30}, {0.18, 0.62}, {0.82, 0.62});
        case '6':
            return triangle({0.50, 0.70}, {0.18, 0.38}, {0.82, 0.38});
        case '7':
            return triangle({0.36, 0.50}, {0.58, 0.28}, {0.58, 0.72});
        case '8':
            return triangle({0.64, 0.50}, {0.42, 0.28}, {0.42, 0.72});
        case 'r':
            return [](P p) {
                return SegmentDistance(p, {0.25, 0.25}, {0.75, 0.75}) <= 0.07 ||
                       SegmentDistance(p, {0.75, 0.25}, {0.25, 0.75}) <= 0.07;
            };
        default:
            return nullptr;
    }
}

}  // namespace

MarlettFace::MarlettFace(int em) : em_(em < 1 ? 1 : em) {
    metrics_.tmAscent = em_;
    metrics_.tmDescent = 0;
    metrics_.tmHeight = em_;
    metrics_.tmAveCharWidth = em_;
    metrics_.tmMaxCharWidth = em_;
    metrics_.tmWeight = FW_NORMAL;
}

std::shared_ptr<MarlettFace> MarlettFace::Make(int pixelHeight) {
    auto face = std::make_shared<MarlettFace>(pixelHeight);
    face->Prepare();
    return face;
}

Glyph MarlettFace::Render(char32_t codepoint) {
    Glyph g;
    g.advance = em_;
    const auto shape = ShapeOf(codepoint);
    if (!shape) return g;
    g.width = g.height = em_;
    g.left = 0;
    g.top = em_;
    g.coverage.resize(static_cast<std::size_t>(em_) * em_);
    constexpr int kSamples = 4;  // 4 x 4 samples a pixel: smooth edges
    for (int y = 0; y < em_; ++y) {
        for (int x = 0; x < em_; ++x) {
            int inside = 0;
            for (int sy = 0; sy < kSamples; ++sy)
                for (int sx = 0; sx < kSamples; ++sx)
                    inside += shape({(x + (sx + 0.5) / kSamples) / em_, (y + (sy + 0.5) / kSamples) / em_});
            g.coverage[static_cast<std::size_t>(y) * em_ + x] =
                static_cast<std::uint8_t>(inside * 255 / (kSamples * kSamples));
        }
    }
    return g;
}
