#pragma once
// The ground-plan shapes a hole is drawn with, and their signed distance: negative inside,
// positive outside, in yards. Ellipses (greens, bunkers, ponds), closed outlines (any area) and
// ribbons (fairways and paths: a line with a width that may change from point to point).

#include <vector>

namespace tools {

struct Vec2 {
    double x = 0;
    double z = 0;
};

inline Vec2 operator+(Vec2 a, Vec2 b) {
    return {a.x + b.x, a.z + b.z};
}
inline Vec2 operator-(Vec2 a, Vec2 b) {
    return {a.x - b.x, a.z - b.z};
}
inline Vec2 operator*(Vec2 a, double s) {
    return {a.x * s, a.z * s};
}
double Length(Vec2 a);
double DistanceToSegment(Vec2 p, Vec2 a, Vec2 b, double* along = nullptr);

enum class ShapeKind { Ellipse, Outline, Ribbon };

struct Shape {
    ShapeKind kind = ShapeKind::Ellipse;
    Vec2 centre;                 // ellipse
    double radiusA = 1;          // ellipse: half-width along its turned x axis
    double radiusB = 1;          // ellipse: half-length along its turned z axis
    double angleDegrees = 0;     // ellipse: turn, counter-clockwise seen from above
    std::vector<Vec2> points;    // outline corners, or the ribbon's centre line
    std::vector<double> widths;  // ribbon: full width at each point
};

double SignedDistance(const Shape& shape, Vec2 p);

// A shape's extent in the ground plane.
void ShapeBounds(const Shape& shape, Vec2& min, Vec2& max);

}  // namespace tools
