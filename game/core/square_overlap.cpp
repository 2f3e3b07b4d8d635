#include "game/core/square_overlap.h"

#include <cmath>
#include <initializer_list>

namespace core {

namespace {

struct LineXZ {
    bool vertical = false;
    float m = 0.0f;  // z = m x + k; both 0 for a vertical segment
    float k = 0.0f;
};

LineXZ LineThrough(PointXZ a, PointXZ b) {
    LineXZ line;
    if (a.x == b.x) {
        line.vertical = true;
        return line;
    }
    line.m = static_cast<float>((double(b.z) - a.z) / (double(b.x) - a.x));
    line.k = static_cast<float>(double(a.z) - double(line.m) * a.x);
    return line;
}

float DistanceXZ(PointXZ a, PointXZ b) {
    const double dx = double(a.x) - b.x;
    const double dz = double(a.z) - b.z;
    return static_cast<float>(std::sqrt(dx * dx + dz * dz));
}

}  // namespace

bool SegmentsCrossXZ(PointXZ s0, PointXZ s1, PointXZ t0, PointXZ t1) {
    const LineXZ s = LineThrough(s0, s1);
    const LineXZ t = LineThrough(t0, t1);
    if (s.m == t.m) {
        return false;
    }
    PointXZ x;
    if (s.vertical) {
        x.x = s0.x;
        x.z = static_cast<float>(double(t.m) * x.x + t.k);
    } else if (t.vertical) {
        x.x = t0.x;
        x.z = static_cast<float>(double(s.m) * x.x + s.k);
    } else {
        x.x = static_cast<float>((double(t.k) - s.k) / (double(s.m) - t.m));
        x.z = static_cast<float>(double(s.m) * x.x + s.k);
    }
    const float via = static_cast<float>(double(DistanceXZ(x, s0)) + DistanceXZ(s1, x));
    return via <= DistanceXZ(s1, s0);
}

bool TriangleOverlapsSquare(Vec3 lo, Vec3 hi, Vec3 a, Vec3 b, Vec3 c) {
    for (const Vec3& v : {a, b, c}) {
        if (lo.x <= v.x && v.x <= hi.x && lo.z <= v.z && v.z <= hi.z) {
            return true;
        }
    }
    const PointXZ ga = GroundPoint(a), gb = GroundPoint(b), gc = GroundPoint(c);
    const PointXZ corners[4] = {{lo.x, lo.z}, {lo.x, hi.z}, {hi.x, lo.z}, {hi.x, hi.z}};
    for (const PointXZ& corner : corners) {
        if (PointInTriangleXZ(ga, gb, gc, corner)) {
            return true;
        }
    }
    const PointXZ triangleEdges[3][2] = {{ga, gb}, {ga, gc}, {gc, gb}};
    const PointXZ squareEdges[4][2] = {{corners[0], corners[2]},   // bottom
                                       {corners[0], corners[1]},   // left
                                       {corners[2], corners[3]},   // right
                                       {corners[1], corners[3]}};  // top
    for (const auto& t : triangleEdges) {
        for (const auto& s : squareEdges) {
            if (SegmentsCrossXZ(s[0], s[1], t[0], t[1])) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace core
