#include "game/core/geometry.h"

#include <cmath>

namespace core {

float Dot(Vec3 a, Vec3 b) {
    return static_cast<float>(double(a.x) * b.x + double(a.y) * b.y + double(a.z) * b.z);
}

Vec3 Cross(Vec3 a, Vec3 b) {
    return {static_cast<float>(double(a.y) * b.z - double(a.z) * b.y),
            static_cast<float>(double(a.z) * b.x - double(a.x) * b.z),
            static_cast<float>(double(a.x) * b.y - double(a.y) * b.x)};
}

float Distance3(Vec3 p, Vec3 q) {
    const double dx = double(p.x) - q.x;
    const double dy = double(p.y) - q.y;
    const double dz = double(p.z) - q.z;
    return static_cast<float>(std::sqrt(dx * dx + dy * dy + dz * dz));
}

float DistanceXZ(Vec3 p, Vec3 q) {
    const double dx = double(p.x) - q.x;
    const double dz = double(p.z) - q.z;
    return static_cast<float>(std::sqrt(dx * dx + dz * dz));
}

bool SegmentPlane(Vec3 a, Vec3 b, Vec3 c, Vec3 p, Vec3 q, Vec3* out) {
    const Vec3 n = Cross(b - a, c - a);
    if (n.x == 0.0f && n.y == 0.0f && n.z == 0.0f) {
        return false;  // zero area: no plane
    }
    const float d = -Dot(n, a);
    if (p.x == q.x && p.z == q.z) {
        if (n.y == 0.0f) {
            return false;  // a wall: a vertical segment runs along it, never through it
        }
        const double height = -(double(n.x) * p.x + double(n.z) * p.z + d) / n.y;
        *out = {p.x, static_cast<float>(height), p.z};
        return true;
    }
    const float sp = Dot(n, p);
    const float sq = Dot(n, q);
    float t = 0.0f;
    if (sp == sq) {
        // Parallel to the plane: only a segment lying in the plane meets it (at q).
        if (static_cast<float>(double(sq) + d) != 0.0f) {
            return false;
        }
    } else {
        t = static_cast<float>(-(double(sq) + d) / (double(sp) - sq));
    }
    if (std::fabs(t) > 1.0f) {
        return false;
    }
    const double s = 1.0 - double(t);
    *out = {static_cast<float>(double(t) * p.x + s * q.x), static_cast<float>(double(t) * p.y + s * q.y),
            static_cast<float>(double(t) * p.z + s * q.z)};
    return true;
}

bool BarycentricWeights(Vec3 a, Vec3 b, Vec3 c, Vec3 p, double* wb, double* wc) {
    const Vec3 e0 = b - a, e1 = c - a, e2 = p - a;
    const double d00 = Dot(e0, e0), d01 = Dot(e0, e1), d11 = Dot(e1, e1);
    const double d20 = Dot(e2, e0), d21 = Dot(e2, e1);
    const double denominator = d00 * d11 - d01 * d01;
    if (denominator == 0.0) {
        return false;
    }
    *wb = (d11 * d20 - d01 * d21) / denominator;
    *wc = (d00 * d21 - d01 * d20) / denominator;
    return true;
}

bool SegmentTriangleSolid(Vec3 a, Vec3 b, Vec3 c, Vec3 p, Vec3 q, Vec3* out) {
    Vec3 crossing;
    if (!SegmentPlane(a, b, c, p, q, &crossing) || !(Distance3(p, crossing) <= Distance3(p, q))) {
        return false;
    }
    double wb = 0.0, wc = 0.0;
    constexpr double kEdge = 1e-6;  // points on an edge count as inside despite rounding
    if (!BarycentricWeights(a, b, c, crossing, &wb, &wc) || wb < -kEdge || wc < -kEdge ||
        wb + wc > 1.0 + kEdge) {
        return false;
    }
    *out = crossing;
    return true;
}

int FarthestCorner(Vec3 point, Vec3 a, Vec3 b, Vec3 c) {
    const float da = Distance3(point, a);
    const float db = Distance3(point, b);
    const float dc = Distance3(point, c);
    if (da >= db && da >= dc) {
        return 0;
    }
    return db >= dc ? 1 : 2;
}

namespace {

// Whether p lies on the same side of the edge's line as the centroid c.
bool EdgePasses(PointXZ e1, PointXZ e2, PointXZ c, PointXZ p) {
    if (e1.x == e2.x) {
        // A point exactly on an edge along z counts as inside, as it does on every other edge:
        // otherwise a probe along such an edge would fall through both triangles that share it.
        return p.x == e1.x || (p.x < e1.x && c.x < e1.x) || (p.x > e1.x && c.x > e1.x);
    }
    const float m = static_cast<float>((double(e2.z) - e1.z) / (double(e2.x) - e1.x));
    const float k = static_cast<float>(double(e1.z) - double(m) * e1.x);
    const float lineAtCentroid = static_cast<float>(double(m) * c.x + k);
    const float lineAtPoint = static_cast<float>(double(m) * p.x + k);
    if (lineAtCentroid >= c.z) {
        return lineAtPoint >= p.z;
    }
    return lineAtPoint <= p.z;
}

}  // namespace

bool PointInTriangleXZ(PointXZ a, PointXZ b, PointXZ c, PointXZ p) {
    const PointXZ centroid{static_cast<float>((double(a.x) + b.x + c.x) / 3.0),
                           static_cast<float>((double(a.z) + b.z + c.z) / 3.0)};
    return EdgePasses(a, b, centroid, p) && EdgePasses(b, c, centroid, p) && EdgePasses(c, a, centroid, p);
}

bool SegmentTriangle(Vec3 a, Vec3 b, Vec3 c, Vec3 p, Vec3 q, Vec3* out) {
    Vec3 crossing;
    if (!SegmentPlane(a, b, c, p, q, &crossing)) {
        return false;
    }
    if (!(Distance3(p, crossing) <= Distance3(p, q))) {
        return false;
    }
    if (!PointInTriangleXZ(GroundPoint(a), GroundPoint(b), GroundPoint(c), GroundPoint(crossing))) {
        return false;
    }
    *out = crossing;
    return true;
}

}  // namespace core
