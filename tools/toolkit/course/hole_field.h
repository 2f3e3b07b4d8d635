#pragma once
// The ground of a described hole as two functions of the ground-plan position: its height and its
// surface kind. The land rolls gently and carries the described hills; tees and greens are
// flattened into their own planes and blended into the land around them, bunkers are dug in, and
// ponds lie flat below their banks.

#include <vector>

#include "game/core/surface_kind.h"
#include "tools/toolkit/course/hole_description.h"

namespace tools {

struct HoleField {
    const HoleDescription* hole = nullptr;
    Shape corridor;  // inside: in bounds
    double teeHeight = 0;
    double greenHeight = 0;
    Vec2 greenCentre;
    std::vector<double> otherGreenHeights;
    std::vector<double> waterLevels;
};

// The direction the sunlight travels in (x, y, z), shared by the hole's light and the tree shade.
inline constexpr double kSunDirection[3] = {0.35, -0.75, 0.55};

HoleField MakeHoleField(const HoleDescription& hole);

// Whether the ground at p lies in the shade of a tree's crown (bushes and shrubs cast none).
bool InTreeShade(const HoleField& field, Vec2 p);

double NaturalHeight(const HoleField& field, Vec2 p);
double GroundHeight(const HoleField& field, Vec2 p);
core::SurfaceKind SurfaceAt(const HoleField& field, Vec2 p);

// Signed distance to the edge of the areas of one kind (negative inside); a large positive value
// for kinds that have no edge of their own (rough).
double KindDistance(const HoleField& field, core::SurfaceKind kind, Vec2 p);
Vec2 KindGradient(const HoleField& field, core::SurfaceKind kind, Vec2 p);

// The kinds whose edges shape the ground, most important first.
const std::vector<core::SurfaceKind>& EdgeKinds();

}  // namespace tools
