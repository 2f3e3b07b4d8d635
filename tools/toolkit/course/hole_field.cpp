#include "tools/toolkit/course/hole_field.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tools {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kLowestGround = 1.0;
constexpr double kFar = 1e6;
constexpr double kShoreShelf = 2.0;
// The water lies this far below the lowest of its banks near the line of play.
constexpr double kWaterBelowBank = 0.5;
// Banks this much farther from the line of play than its closest bank do not set a pond's level.
constexpr double kBankNearPlay = 10.0;
// The far side of a bunker rises to this share of its depth above the bunker's floor and beyond.
constexpr double kBunkerFace = 1.4;
// Trees lower than this cast no shade worth drawing.
constexpr double kShadingTreeHeight = 4.0;

double SmoothStep(double edge0, double edge1, double x) {
    const double t = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

double Bump(const Hill& hill, Vec2 p) {
    const double d = Length(p - hill.at);
    if (d >= hill.radius) {
        return 0;
    }
    return hill.height * 0.5 * (1 + std::cos(kPi * d / hill.radius));
}

Vec2 AreaCentre(const Shape& shape) {
    if (shape.kind == ShapeKind::Ellipse) {
        return shape.centre;
    }
    Vec2 sum;
    for (const Vec2& q : shape.points) {
        sum = sum + q;
    }
    return sum * (1.0 / static_cast<double>(shape.points.size()));
}

// Points around an area's edge, for the level of a pond.
std::vector<Vec2> EdgeSamples(const Shape& shape) {
    std::vector<Vec2> samples;
    if (shape.kind == ShapeKind::Ellipse) {
        const double a = shape.angleDegrees * kPi / 180.0;
        for (int i = 0; i < 48; ++i) {
            const double t = 2 * kPi * i / 48;
            const double lx = shape.radiusA * std::cos(t);
            const double lz = shape.radiusB * std::sin(t);
            samples.push_back({shape.centre.x + lx * std::cos(a) - lz * std::sin(a),
                               shape.centre.z + lx * std::sin(a) + lz * std::cos(a)});
        }
        return samples;
    }
    for (size_t i = 0; i < shape.points.size(); ++i) {
        const Vec2 a = shape.points[i];
        const Vec2 b = shape.points[(i + 1) % shape.points.size()];
        for (int k = 0; k < 4; ++k) {
            samples.push_back(a + (b - a) * (k / 4.0));
        }
    }
    return samples;
}

double MinDistance(const std::vector<Shape>& shapes, Vec2 p) {
    double best = kFar;
    for (const Shape& s : shapes) {
        best = std::min(best, SignedDistance(s, p));
    }
    return best;
}

double FlattenTowards(double height, double plane, double distance, double blend) {
    const double w = 1 - SmoothStep(0, blend, distance);
    return height + (plane - height) * w;
}

double GreenPlane(const HoleField& field, Vec2 p) {
    const GreenDescription& green = field.hole->green;
    const Vec2 d = p - field.greenCentre;
    double h = field.greenHeight + green.tilt.x * d.x + green.tilt.z * d.z;
    for (const Hill& contour : green.contours) {
        h += Bump(contour, p);
    }
    return h;
}

}  // namespace

HoleField MakeHoleField(const HoleDescription& hole) {
    HoleField field;
    field.hole = &hole;
    field.corridor.kind = ShapeKind::Ribbon;
    field.corridor.points = LineOfPlay(hole);
    field.corridor.widths.assign(field.corridor.points.size(), 2 * hole.corridor);
    field.teeHeight = NaturalHeight(field, AreaCentre(hole.teeBox)) + hole.teeRaise;
    field.greenCentre = AreaCentre(hole.green.outline);
    field.greenHeight = NaturalHeight(field, field.greenCentre);
    for (const Shape& other : hole.otherGreens) {
        field.otherGreenHeights.push_back(NaturalHeight(field, AreaCentre(other)));
    }
    for (const Shape& pond : hole.water) {
        // The level follows the banks closest to the line of play, which the player looks over;
        // banks elsewhere may then sit above or below it, and the land meets the water gently.
        const std::vector<Vec2> edge = EdgeSamples(pond);
        double closest = std::numeric_limits<double>::max();
        for (const Vec2& q : edge) {
            closest = std::min(closest, SignedDistance(field.corridor, q));
        }
        double bank = std::numeric_limits<double>::max();
        for (const Vec2& q : edge) {
            if (SignedDistance(field.corridor, q) <= closest + kBankNearPlay) {
                bank = std::min(bank, NaturalHeight(field, q));
            }
        }
        field.waterLevels.push_back(std::max(kLowestGround + 0.5, bank - kWaterBelowBank));
    }
    return field;
}

bool InTreeShade(const HoleField& field, Vec2 p) {
    const double horizontal = std::hypot(kSunDirection[0], kSunDirection[2]);
    const Vec2 away{kSunDirection[0] / horizontal, kSunDirection[2] / horizontal};
    const double reachPerHeight = horizontal / -kSunDirection[1];
    for (const TreePlacement& tree : field.hole->trees) {
        if (tree.height < kShadingTreeHeight) {
            continue;
        }
        // The crown's middle sits at about 0.6 of the height; its shadow falls away from the sun.
        const Vec2 centre = tree.at + away * (0.6 * tree.height * reachPerHeight);
        const double radius = 0.45 * tree.height * tree.kind->widthPerHeight;
        if (Length(p - centre) < radius) {
            return true;
        }
    }
    return false;
}

double NaturalHeight(const HoleField& field, Vec2 p) {
    const GroundDescription& g = field.hole->ground;
    const double phase = g.seed * 1.618;
    double h = g.base + g.tilt.x * p.x + g.tilt.z * p.z;
    h += g.waves * (std::sin(0.021 * p.x + phase) * std::cos(0.017 * p.z + 2 * phase) +
                    0.5 * std::sin(0.043 * (p.x + p.z) + 3 * phase) +
                    0.25 * std::cos(0.071 * p.z - 0.05 * p.x + phase));
    for (const Hill& hill : g.hills) {
        h += Bump(hill, p);
    }
    return h;
}

double GroundHeight(const HoleField& field, Vec2 p) {
    const HoleDescription& hole = *field.hole;
    double h = NaturalHeight(field, p);
    h = FlattenTowards(h, field.teeHeight, SignedDistance(hole.teeBox, p), 5);
    for (size_t i = 0; i < hole.otherGreens.size(); ++i) {
        h = FlattenTowards(h, field.otherGreenHeights[i], SignedDistance(hole.otherGreens[i], p), 6);
    }
    h = FlattenTowards(h, GreenPlane(field, p), SignedDistance(hole.green.outline, p), 10);
    for (const BunkerDescription& bunker : hole.bunkers) {
        const double d = SignedDistance(bunker.outline, p);
        if (d < 0) {
            // Dug in, with the sand rising into a face on the side away from the tee, so that a
            // player coming down the hole sees the sand rather than the lip in front of it.
            const Vec2 centre = AreaCentre(bunker.outline);
            const Vec2 away = centre - hole.tee;
            const double awayLength = std::max(Length(away), 1e-9);
            Vec2 lo, hi;
            ShapeBounds(bunker.outline, lo, hi);
            const double extent = std::max(1.0, 0.5 * std::max(hi.x - lo.x, hi.z - lo.z));
            const double along =
                ((p.x - centre.x) * away.x + (p.z - centre.z) * away.z) / (awayLength * extent);
            const double sunk = SmoothStep(0, 2.5, -d);
            h -= bunker.depth * sunk * (1 - kBunkerFace * SmoothStep(-0.3, 0.9, along));
        }
    }
    for (size_t i = 0; i < hole.water.size(); ++i) {
        const double d = SignedDistance(hole.water[i], p);
        const double level = field.waterLevels[i];
        // The water lies flat a little beyond its edge, so that no triangle of it reaches up
        // the bank; the land then meets the level gently from above or below.
        if (d <= kShoreShelf) {
            h = level;
        } else if (d < kShoreShelf + hole.waterBanks[i]) {
            // Wide banks let a player see the water from the ground before it rather than a trench
            // hidden between its banks; a green on a peninsula keeps narrow ones.
            h = level + (h - level) * SmoothStep(kShoreShelf, kShoreShelf + hole.waterBanks[i], d);
        }
    }
    return std::max(h, kLowestGround);
}

double KindDistance(const HoleField& field, core::SurfaceKind kind, Vec2 p) {
    const HoleDescription& hole = *field.hole;
    switch (kind) {
        case core::kSurfaceWater:
            return MinDistance(hole.water, p);
        case core::kSurfaceBunker: {
            double best = kFar;
            for (const BunkerDescription& b : hole.bunkers) {
                best = std::min(best, SignedDistance(b.outline, p));
            }
            return best;
        }
        case core::kSurfaceGreen:
            return SignedDistance(hole.green.outline, p);
        case core::kSurfaceOtherGreen:
            return MinDistance(hole.otherGreens, p);
        case core::kSurfaceTee:
            return SignedDistance(hole.teeBox, p);
        case core::kSurfaceCartPath:
            return MinDistance(hole.paths, p);
        case core::kSurfaceFairway:
            return MinDistance(hole.fairways, p);
        case core::kSurfaceOutOfBounds:
            return -SignedDistance(field.corridor, p);
        default:
            return kFar;
    }
}

Vec2 KindGradient(const HoleField& field, core::SurfaceKind kind, Vec2 p) {
    constexpr double h = 0.05;
    const double gx = KindDistance(field, kind, {p.x + h, p.z}) - KindDistance(field, kind, {p.x - h, p.z});
    const double gz = KindDistance(field, kind, {p.x, p.z + h}) - KindDistance(field, kind, {p.x, p.z - h});
    const double length = std::sqrt(gx * gx + gz * gz);
    return length < 1e-12 ? Vec2{0, 0} : Vec2{gx / length, gz / length};
}

const std::vector<core::SurfaceKind>& EdgeKinds() {
    static const std::vector<core::SurfaceKind> kinds = {
        core::kSurfaceWater, core::kSurfaceBunker,   core::kSurfaceGreen,   core::kSurfaceOtherGreen,
        core::kSurfaceTee,   core::kSurfaceCartPath, core::kSurfaceFairway, core::kSurfaceOutOfBounds,
    };
    return kinds;
}

core::SurfaceKind SurfaceAt(const HoleField& field, Vec2 p) {
    for (core::SurfaceKind kind : EdgeKinds()) {
        if (KindDistance(field, kind, p) < 0) {
            return kind;
        }
    }
    return core::kSurfaceRough;
}

}  // namespace tools
