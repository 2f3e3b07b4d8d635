#include "tools/toolkit/course/terrain_mesh.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

namespace tools {
namespace {

// Keeps the ground a little inside the terrain grid, whose upper bounds are exclusive.
constexpr double kGridMinX = -199.5, kGridMaxX = 199.5, kGridMinZ = -99.5, kGridMaxZ = 699.5;
constexpr double kMarginBeyondBounds = 40;
constexpr int kMaxTrianglesPerGroup = 20000;

// Yards one texture repeat covers, by surface kind.
constexpr double kTextureYards[9] = {8, 16, 8, 8, 6, 4, 20, 10, 8};

struct GridPoint {
    Vec2 p;
    double y = 0;
    double nx = 0, ny = 1, nz = 0;
};

// Moves a point lying within half a grid step of an area's edge onto that edge, when the edge there
// really separates two kinds of ground. The edge is found by Newton steps along the distance's
// gradient, since the distance of a turned ellipse is only exact on the edge itself.
Vec2 SnapToEdge(const HoleField& field, Vec2 p, double reach) {
    constexpr double h = 0.01;
    for (course::SurfaceKind kind : EdgeKinds()) {
        if (std::fabs(KindDistance(field, kind, p)) >= 2 * reach) {
            continue;
        }
        Vec2 q = p;
        for (int step = 0; step < 4; ++step) {
            const double d = KindDistance(field, kind, q);
            const double gx =
                (KindDistance(field, kind, {q.x + h, q.z}) - KindDistance(field, kind, {q.x - h, q.z})) /
                (2 * h);
            const double gz =
                (KindDistance(field, kind, {q.x, q.z + h}) - KindDistance(field, kind, {q.x, q.z - h})) /
                (2 * h);
            const double lengthSquared = gx * gx + gz * gz;
            if (lengthSquared < 1e-12) {
                break;
            }
            q = q - Vec2{gx, gz} * (d / lengthSquared);
        }
        if (Length(q - p) >= reach || std::fabs(KindDistance(field, kind, q)) > 0.01) {
            continue;
        }
        const Vec2 g = KindGradient(field, kind, q);
        if (SurfaceAt(field, q + g * 0.3) != SurfaceAt(field, q - g * 0.3)) {
            return q;
        }
    }
    return p;
}

GridPoint MakeGridPoint(const HoleField& field, Vec2 p) {
    GridPoint point;
    point.p = p;
    point.y = GroundHeight(field, p);
    constexpr double h = 0.5;
    const double dx = (GroundHeight(field, {p.x + h, p.z}) - GroundHeight(field, {p.x - h, p.z})) / (2 * h);
    const double dz = (GroundHeight(field, {p.x, p.z + h}) - GroundHeight(field, {p.x, p.z - h})) / (2 * h);
    const double length = std::sqrt(dx * dx + 1 + dz * dz);
    point.nx = -dx / length;
    point.ny = 1 / length;
    point.nz = -dz / length;
    return point;
}

// Twice the triangle's area as seen from above; positive when (B - A) x (C - A) points up.
double UpwardArea(Vec2 a, Vec2 b, Vec2 c) {
    return (b.z - a.z) * (c.x - a.x) - (b.x - a.x) * (c.z - a.z);
}

// Moving points onto edges can fold a triangle over (or squash it flat) where two moved points
// come close. Such triangles get their points back at the grid; the unmoved grid folds nothing,
// so this ends.
void UndoFoldingSnaps(const std::vector<Vec2>& gridPositions, const std::vector<int>& corners, double spacing,
                      const HoleField& field, std::vector<GridPoint>& points) {
    const double minimum = 0.01 * spacing * spacing;
    bool changed = true;
    while (changed) {
        changed = false;
        for (size_t t = 0; t < corners.size(); t += 3) {
            const int* tri = &corners[t];
            if (UpwardArea(points[tri[0]].p, points[tri[1]].p, points[tri[2]].p) >= minimum) {
                continue;
            }
            for (int k = 0; k < 3; ++k) {
                const Vec2 home = gridPositions[tri[k]];
                if (points[tri[k]].p.x != home.x || points[tri[k]].p.z != home.z) {
                    points[tri[k]] = MakeGridPoint(field, home);
                    changed = true;
                }
            }
        }
    }
}

struct KindGroupBuilder {
    course::FnxGroup group;
    std::map<int, uint16_t> vertexOfPoint;
};

void StartGroup(std::vector<KindGroupBuilder>& groups, course::SurfaceKind kind, uint16_t material) {
    KindGroupBuilder builder;
    std::snprintf(builder.group.name, sizeof builder.group.name, "%s%02d", course::kSurfaceCodes[kind],
                  static_cast<int>(groups.size()) + 1);
    builder.group.materialIndex = material;
    groups.push_back(std::move(builder));
}

uint16_t VertexFor(KindGroupBuilder& builder, int pointIndex, const GridPoint& point, double yards) {
    const auto found = builder.vertexOfPoint.find(pointIndex);
    if (found != builder.vertexOfPoint.end()) {
        return found->second;
    }
    course::FnxVertex v;
    v.x = static_cast<float>(point.p.x);
    v.y = static_cast<float>(point.y);
    v.z = static_cast<float>(point.p.z);
    v.nx = static_cast<float>(point.nx);
    v.ny = static_cast<float>(point.ny);
    v.nz = static_cast<float>(point.nz);
    v.u = static_cast<float>(point.p.x / yards);
    v.v = static_cast<float>(-point.p.z / yards);
    const auto index = static_cast<uint16_t>(builder.group.vertices.size());
    builder.group.vertices.push_back(v);
    builder.vertexOfPoint.emplace(pointIndex, index);
    return index;
}

}  // namespace

TerrainRegion MakeTerrainRegion(const HoleField& field) {
    TerrainRegion region;
    region.reach = field.hole->corridor + kMarginBeyondBounds;
    Vec2 lo{1e9, 1e9};
    Vec2 hi{-1e9, -1e9};
    for (const Vec2& q : field.corridor.points) {
        lo = {std::min(lo.x, q.x), std::min(lo.z, q.z)};
        hi = {std::max(hi.x, q.x), std::max(hi.z, q.z)};
    }
    region.min = {std::max(kGridMinX, lo.x - region.reach), std::max(kGridMinZ, lo.z - region.reach)};
    region.max = {std::min(kGridMaxX, hi.x + region.reach), std::min(kGridMaxZ, hi.z + region.reach)};
    return region;
}

bool InsideRegion(const HoleField& field, const TerrainRegion& region, Vec2 p) {
    if (p.x < region.min.x || p.x > region.max.x || p.z < region.min.z || p.z > region.max.z) {
        return false;
    }
    return SignedDistance(field.corridor, p) <= region.reach - field.hole->corridor;
}

void AppendTerrainGroups(const HoleField& field, const TerrainRegion& region,
                         const uint16_t materialOfKind[9], course::FnxModel& model) {
    const double s = region.spacing;
    const int columns = static_cast<int>(std::floor((region.max.x - region.min.x) / s));
    const int rows = static_cast<int>(std::floor((region.max.z - region.min.z) / s));
    const int stride = columns + 1;
    std::vector<Vec2> gridPositions(static_cast<size_t>(stride) * (rows + 1));
    std::vector<GridPoint> points(gridPositions.size());
    for (int j = 0; j <= rows; ++j) {
        for (int i = 0; i <= columns; ++i) {
            const size_t index = static_cast<size_t>(j) * stride + i;
            gridPositions[index] = {region.min.x + i * s, region.min.z + j * s};
            const bool onBorder = i == 0 || j == 0 || i == columns || j == rows;
            const Vec2 p = onBorder ? gridPositions[index] : SnapToEdge(field, gridPositions[index], 0.5 * s);
            points[index] = MakeGridPoint(field, p);
        }
    }

    // Two triangles per meshed cell, each wound so that its face normal (B - A) x (C - A) points up.
    std::vector<int> corners;
    for (int j = 0; j < rows; ++j) {
        for (int i = 0; i < columns; ++i) {
            const Vec2 centre{region.min.x + (i + 0.5) * s, region.min.z + (j + 0.5) * s};
            if (!InsideRegion(field, region, centre)) {
                continue;
            }
            const int p00 = j * stride + i;
            const int p10 = p00 + 1;
            const int p01 = p00 + stride;
            const int p11 = p01 + 1;
            const int split[2][6] = {{p00, p01, p10, p10, p01, p11}, {p00, p11, p10, p00, p01, p11}};
            const int* cell = split[(i + j) % 2];
            corners.insert(corners.end(), cell, cell + 6);
        }
    }
    UndoFoldingSnaps(gridPositions, corners, s, field, points);

    std::map<int, std::vector<int>> trianglesOfKind;  // kind -> point indices, three per triangle
    for (size_t t = 0; t < corners.size(); t += 3) {
        const Vec2 c =
            (points[corners[t]].p + points[corners[t + 1]].p + points[corners[t + 2]].p) * (1.0 / 3.0);
        std::vector<int>& list = trianglesOfKind[SurfaceAt(field, c)];
        list.insert(list.end(), corners.begin() + static_cast<long>(t),
                    corners.begin() + static_cast<long>(t) + 3);
    }

    for (const auto& [kindValue, corners] : trianglesOfKind) {
        const auto kind = static_cast<course::SurfaceKind>(kindValue);
        std::vector<KindGroupBuilder> groups;
        for (size_t t = 0; t < corners.size(); t += 3) {
            if (groups.empty() || groups.back().group.indices.size() >= 3u * kMaxTrianglesPerGroup) {
                StartGroup(groups, kind, materialOfKind[kindValue]);
            }
            KindGroupBuilder& builder = groups.back();
            for (int k = 0; k < 3; ++k) {
                const int pointIndex = corners[t + k];
                builder.group.indices.push_back(
                    VertexFor(builder, pointIndex, points[pointIndex], kTextureYards[kindValue]));
            }
        }
        for (KindGroupBuilder& builder : groups) {
            builder.group.vertexCount = static_cast<uint16_t>(builder.group.vertices.size());
            builder.group.indexCount = static_cast<uint16_t>(builder.group.indices.size());
            model.groups.push_back(std::move(builder.group));
        }
    }
}

}  // namespace tools
