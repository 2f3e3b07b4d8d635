#include "tools/toolkit/course/shapes.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tools {
namespace {

constexpr double kPi = 3.14159265358979323846;

// Distance of an ellipse: exact enough near the edge, where it matters, by scaling the radial
// distance with the local radius.
double EllipseDistance(const Shape& e, Vec2 p) {
    const double a = e.angleDegrees * kPi / 180.0;
    const Vec2 d = p - e.centre;
    const double lx = d.x * std::cos(a) + d.z * std::sin(a);
    const double lz = -d.x * std::sin(a) + d.z * std::cos(a);
    const double r = std::sqrt(lx * lx + lz * lz);
    if (r < 1e-9) {
        return -std::min(e.radiusA, e.radiusB);
    }
    const double nx = lx / e.radiusA;
    const double nz = lz / e.radiusB;
    const double scaled = std::sqrt(nx * nx + nz * nz);
    const double edgeRadius = r / scaled;
    return r - edgeRadius;
}

double OutlineDistance(const Shape& o, Vec2 p) {
    double best = std::numeric_limits<double>::max();
    bool inside = false;
    const size_t n = o.points.size();
    for (size_t i = 0, j = n - 1; i < n; j = i++) {
        const Vec2 a = o.points[j];
        const Vec2 b = o.points[i];
        best = std::min(best, DistanceToSegment(p, a, b));
        if ((b.z > p.z) != (a.z > p.z) && p.x < (a.x - b.x) * (p.z - b.z) / (a.z - b.z) + b.x) {
            inside = !inside;
        }
    }
    return inside ? -best : best;
}

double RibbonDistance(const Shape& r, Vec2 p) {
    double best = std::numeric_limits<double>::max();
    for (size_t i = 0; i + 1 < r.points.size(); ++i) {
        double along = 0;
        const double d = DistanceToSegment(p, r.points[i], r.points[i + 1], &along);
        const double width = r.widths[i] + (r.widths[i + 1] - r.widths[i]) * along;
        best = std::min(best, d - width / 2);
    }
    return best;
}

}  // namespace

double Length(Vec2 a) {
    return std::sqrt(a.x * a.x + a.z * a.z);
}

double DistanceToSegment(Vec2 p, Vec2 a, Vec2 b, double* along) {
    const Vec2 ab = b - a;
    const double lengthSquared = ab.x * ab.x + ab.z * ab.z;
    double t = 0;
    if (lengthSquared > 0) {
        t = std::clamp(((p.x - a.x) * ab.x + (p.z - a.z) * ab.z) / lengthSquared, 0.0, 1.0);
    }
    if (along != nullptr) {
        *along = t;
    }
    return Length(p - (a + ab * t));
}

double SignedDistance(const Shape& shape, Vec2 p) {
    switch (shape.kind) {
        case ShapeKind::Ellipse:
            return EllipseDistance(shape, p);
        case ShapeKind::Outline:
            return OutlineDistance(shape, p);
        case ShapeKind::Ribbon:
            return RibbonDistance(shape, p);
    }
    return 0;
}

void ShapeBounds(const Shape& shape, Vec2& min, Vec2& max) {
    if (shape.kind == ShapeKind::Ellipse) {
        const double r = std::max(shape.radiusA, shape.radiusB);
        min = {shape.centre.x - r, shape.centre.z - r};
        max = {shape.centre.x + r, shape.centre.z + r};
        return;
    }
    double pad = 0;
    for (double w : shape.widths) {
        pad = std::max(pad, w / 2);
    }
    min = {std::numeric_limits<double>::max(), std::numeric_limits<double>::max()};
    max = {-std::numeric_limits<double>::max(), -std::numeric_limits<double>::max()};
    for (const Vec2& q : shape.points) {
        min = {std::min(min.x, q.x - pad), std::min(min.z, q.z - pad)};
        max = {std::max(max.x, q.x + pad), std::max(max.z, q.z + pad)};
    }
}

}  // namespace tools
