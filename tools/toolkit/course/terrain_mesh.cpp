#include "tools/toolkit/course/terrain_mesh.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

namespace tools {
namespace {

// The land reaches this far beyond the terrain grid, so that the ball always finds ground inside
// the grid and the backdrop can stand outside it.
constexpr double kLandBeyondGrid = 45;
// The fine mesh reaches this far beyond the out-of-bounds line.
constexpr double kFineBeyondBounds = 20;
constexpr int kMaxTrianglesPerGroup = 20000;
// Grid points this share of their grid step from an area's edge are moved onto it.
constexpr double kSnapReach = 0.5;

constexpr double kOffWholeYards = 0.37;

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
    for (core::SurfaceKind kind : EdgeKinds()) {
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

// The game's probe may find no triangle at all for a point exactly on a corner of the mesh. Points
// that descriptions and players use are often whole or half yards (the tee, the aim point, the pin),
// so no corner gets such an x: corners moved onto an area's edge are shifted a hair along x.
Vec2 OffHalfYards(Vec2 p) {
    const double halves = p.x * 2;
    if (std::fabs(halves - std::round(halves)) < 2e-3) {
        p.x += 3e-3;
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
void UndoFoldingSnaps(const std::vector<Vec2>& gridPositions, const std::vector<int>& corners,
                      const HoleField& field, std::vector<GridPoint>& points) {
    bool changed = true;
    while (changed) {
        changed = false;
        for (size_t t = 0; t < corners.size(); t += 3) {
            const int* tri = &corners[t];
            const double unmoved =
                UpwardArea(gridPositions[tri[0]], gridPositions[tri[1]], gridPositions[tri[2]]);
            if (UpwardArea(points[tri[0]].p, points[tri[1]].p, points[tri[2]].p) >= 0.02 * unmoved) {
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

// Whether a triangle reaches over an area's edge: the ground near one of its corners is of another
// kind than at its middle.
bool Straddling(const HoleField& field, const std::vector<GridPoint>& points, const int* triangle) {
    const Vec2 a = points[triangle[0]].p, b = points[triangle[1]].p, c = points[triangle[2]].p;
    const Vec2 middle = (a + b + c) * (1.0 / 3.0);
    const core::SurfaceKind kind = SurfaceAt(field, middle);
    for (const Vec2& corner : {a, b, c}) {
        if (SurfaceAt(field, corner + (middle - corner) * 0.2) != kind) {
            return true;
        }
    }
    return false;
}

// The kind that covers most of a triangle, from seven points spread over it.
core::SurfaceKind MostCoveringKind(const HoleField& field, const std::vector<GridPoint>& points,
                                   const int* triangle) {
    const Vec2 a = points[triangle[0]].p, b = points[triangle[1]].p, c = points[triangle[2]].p;
    const Vec2 middle = (a + b + c) * (1.0 / 3.0);
    const Vec2 samples[7] = {middle,
                             a + (middle - a) * 0.4,
                             b + (middle - b) * 0.4,
                             c + (middle - c) * 0.4,
                             middle + ((a + b) * 0.5 - middle) * 0.6,
                             middle + ((b + c) * 0.5 - middle) * 0.6,
                             middle + ((c + a) * 0.5 - middle) * 0.6};
    std::map<int, int> votes;
    for (const Vec2& q : samples) {
        ++votes[SurfaceAt(field, q)];
    }
    int best = SurfaceAt(field, middle);
    for (const auto& [kind, count] : votes) {
        if (count > votes[best]) {
            best = kind;
        }
    }
    return static_cast<core::SurfaceKind>(best);
}

struct KindGroupBuilder {
    core::FnxGroup group;
    std::map<int, uint16_t> vertexOfPoint;
};

void StartGroup(std::vector<KindGroupBuilder>& groups, core::SurfaceKind kind, uint16_t material,
                int number) {
    KindGroupBuilder builder;
    std::snprintf(builder.group.name, sizeof builder.group.name, "%s%02d", core::kSurfaceCodes[kind], number);
    builder.group.materialIndex = material;
    groups.push_back(std::move(builder));
}

uint16_t VertexFor(KindGroupBuilder& builder, int pointIndex, const GridPoint& point, double yards) {
    const auto found = builder.vertexOfPoint.find(pointIndex);
    if (found != builder.vertexOfPoint.end()) {
        return found->second;
    }
    core::FnxVertex v;
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
    region.min = {kTerrainGridMinX - kLandBeyondGrid, kTerrainGridMinZ - kLandBeyondGrid};
    region.max = {kTerrainGridMaxX + kLandBeyondGrid, kTerrainGridMaxZ + kLandBeyondGrid};
    const double reach = field.hole->corridor + kFineBeyondBounds;
    Vec2 lo{1e9, 1e9};
    Vec2 hi{-1e9, -1e9};
    for (const Vec2& q : field.corridor.points) {
        lo = {std::min(lo.x, q.x), std::min(lo.z, q.z)};
        hi = {std::max(hi.x, q.x), std::max(hi.z, q.z)};
    }
    // The game's ground probe counts a point lying exactly on an edge that runs along z as outside
    // both triangles beside it. Fine grid lines a fraction of a yard off the whole yards keep the
    // tee, the aim point and the pin, which descriptions give in whole yards, off such edges.
    region.fineMin = {std::max(region.min.x, std::floor(lo.x - reach) + kOffWholeYards),
                      std::max(region.min.z, lo.z - reach)};
    region.fineMax = {std::min(region.max.x, hi.x + reach), std::min(region.max.z, hi.z + reach)};
    return region;
}

std::vector<double> MeshLines(double lo, double hi, double fineLo, double fineHi, double fine,
                              double coarse) {
    std::vector<double> lines;
    auto span = [&lines](double from, double to, double most) {
        const int steps = std::max(1, static_cast<int>(std::ceil((to - from) / most - 1e-9)));
        for (int k = 0; k < steps; ++k) {
            lines.push_back(from + (to - from) * k / steps);
        }
    };
    fineLo = std::clamp(fineLo, lo, hi);
    fineHi = std::clamp(fineHi, fineLo, hi);
    if (fineLo > lo) {
        span(lo, fineLo, coarse);
    }
    if (fineHi > fineLo) {
        span(fineLo, fineHi, fine);
    }
    if (hi > fineHi) {
        span(fineHi, hi, coarse);
    }
    lines.push_back(hi);
    return lines;
}

bool InsideRegion(const TerrainRegion& region, Vec2 p) {
    return p.x >= region.min.x && p.x <= region.max.x && p.z >= region.min.z && p.z <= region.max.z;
}

void AppendTerrainGroups(const HoleField& field, const TerrainRegion& region,
                         const GroundMaterials& materials, core::FnxModel& model) {
    const std::vector<double> xs = MeshLines(region.min.x, region.max.x, region.fineMin.x, region.fineMax.x,
                                             region.spacing, region.coarseSpacing);
    const std::vector<double> zs = MeshLines(region.min.z, region.max.z, region.fineMin.z, region.fineMax.z,
                                             region.spacing, region.coarseSpacing);
    const int columns = static_cast<int>(xs.size()) - 1;
    const int rows = static_cast<int>(zs.size()) - 1;
    const int stride = columns + 1;
    std::vector<Vec2> gridPositions(static_cast<size_t>(stride) * (rows + 1));
    std::vector<GridPoint> points(gridPositions.size());
    for (int j = 0; j <= rows; ++j) {
        for (int i = 0; i <= columns; ++i) {
            const size_t index = static_cast<size_t>(j) * stride + i;
            gridPositions[index] = OffHalfYards({xs[i], zs[j]});
            const bool onBorder = i == 0 || j == 0 || i == columns || j == rows;
            Vec2 p = gridPositions[index];
            if (!onBorder) {
                const double step =
                    std::min({xs[i] - xs[i - 1], xs[i + 1] - xs[i], zs[j] - zs[j - 1], zs[j + 1] - zs[j]});
                p = OffHalfYards(SnapToEdge(field, p, kSnapReach * step));
            }
            points[index] = MakeGridPoint(field, p);
        }
    }

    // Two triangles per cell, each wound so that its face normal (B - A) x (C - A) points up.
    std::vector<int> corners;
    corners.reserve(static_cast<size_t>(columns) * rows * 6);
    for (int j = 0; j < rows; ++j) {
        for (int i = 0; i < columns; ++i) {
            const int p00 = j * stride + i;
            const int p10 = p00 + 1;
            const int p01 = p00 + stride;
            const int p11 = p01 + 1;
            const int split[2][6] = {{p00, p01, p10, p10, p01, p11}, {p00, p11, p10, p00, p01, p11}};
            // The diagonal that follows an area's edge best, so that fewer triangles reach over it.
            int choice = (i + j) % 2;
            const int usual =
                Straddling(field, points, split[choice]) + Straddling(field, points, split[choice] + 3);
            if (usual > 0) {
                const int other = Straddling(field, points, split[1 - choice]) +
                                  Straddling(field, points, split[1 - choice] + 3);
                choice = other < usual ? 1 - choice : choice;
            }
            const int* cell = split[choice];
            corners.insert(corners.end(), cell, cell + 6);
        }
    }
    UndoFoldingSnaps(gridPositions, corners, field, points);

    // Groups by surface kind, the shaded ground of a kind after its sunny ground.
    std::map<int, std::vector<int>> trianglesOfKey;  // kind * 2 + shaded -> point indices, three per triangle
    for (size_t t = 0; t < corners.size(); t += 3) {
        const Vec2 c =
            (points[corners[t]].p + points[corners[t + 1]].p + points[corners[t + 2]].p) * (1.0 / 3.0);
        const int kind = Straddling(field, points, &corners[t]) ? MostCoveringKind(field, points, &corners[t])
                                                                : SurfaceAt(field, c);
        const bool shaded = materials.shaded[kind] != materials.sunny[kind] && InTreeShade(field, c);
        std::vector<int>& list = trianglesOfKey[kind * 2 + (shaded ? 1 : 0)];
        list.insert(list.end(), corners.begin() + static_cast<long>(t),
                    corners.begin() + static_cast<long>(t) + 3);
    }

    int number = 0;
    for (const auto& [key, keyCorners] : trianglesOfKey) {
        const auto kind = static_cast<core::SurfaceKind>(key / 2);
        const uint16_t material = key % 2 == 1 ? materials.shaded[kind] : materials.sunny[kind];
        std::vector<KindGroupBuilder> groups;
        for (size_t t = 0; t < keyCorners.size(); t += 3) {
            if (groups.empty() || groups.back().group.indices.size() >= 3u * kMaxTrianglesPerGroup) {
                StartGroup(groups, kind, material, ++number);
            }
            KindGroupBuilder& builder = groups.back();
            for (int k = 0; k < 3; ++k) {
                const int pointIndex = keyCorners[t + k];
                builder.group.indices.push_back(
                    VertexFor(builder, pointIndex, points[pointIndex], kTextureYards[kind]));
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
