#include "tools/toolkit/course/scenery.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

namespace tools {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kStakeSpacing = 25;
constexpr double kBackdropTopV = 0.03;
constexpr double kBackdropBottomV = 0.97;

core::FnxVertex Vertex(double x, double y, double z, double nx, double ny, double nz, double u, double v) {
    return {static_cast<float>(x),  static_cast<float>(y),  static_cast<float>(z), static_cast<float>(nx),
            static_cast<float>(ny), static_cast<float>(nz), static_cast<float>(u), static_cast<float>(v)};
}

// A quad from four vertices given top-left, top-right, bottom-left, bottom-right as the viewer
// sees its front, drawn as two clockwise triangles.
void AppendQuad(core::FnxGroup& group, const core::FnxVertex corners[4]) {
    const auto base = static_cast<uint16_t>(group.vertices.size());
    group.vertices.insert(group.vertices.end(), corners, corners + 4);
    for (int k : {0, 1, 2, 2, 1, 3}) {
        group.indices.push_back(static_cast<uint16_t>(base + k));
    }
}

core::FnxGroup NamedGroup(const std::string& name, uint16_t material) {
    core::FnxGroup group;
    std::snprintf(group.name, sizeof group.name, "%s", name.c_str());
    group.materialIndex = material;
    return group;
}

void Finish(core::FnxGroup& group, core::FnxModel& model) {
    group.vertexCount = static_cast<uint16_t>(group.vertices.size());
    group.indexCount = static_cast<uint16_t>(group.indices.size());
    model.groups.push_back(std::move(group));
}

// An upright box (no bottom face) with the whole picture on each side face and on the top.
void AppendBox(core::FnxGroup& group, Vec2 at, double bottom, double halfX, double halfZ, double height) {
    const double x0 = at.x - halfX, x1 = at.x + halfX, z0 = at.z - halfZ, z1 = at.z + halfZ;
    const double y0 = bottom, y1 = bottom + height;
    const core::FnxVertex faces[5][4] = {
        {Vertex(x0, y1, z0, 0, 0, -1, 0, 0), Vertex(x1, y1, z0, 0, 0, -1, 1, 0),
         Vertex(x0, y0, z0, 0, 0, -1, 0, 1), Vertex(x1, y0, z0, 0, 0, -1, 1, 1)},
        {Vertex(x1, y1, z1, 0, 0, 1, 0, 0), Vertex(x0, y1, z1, 0, 0, 1, 1, 0),
         Vertex(x1, y0, z1, 0, 0, 1, 0, 1), Vertex(x0, y0, z1, 0, 0, 1, 1, 1)},
        {Vertex(x0, y1, z1, -1, 0, 0, 0, 0), Vertex(x0, y1, z0, -1, 0, 0, 1, 0),
         Vertex(x0, y0, z1, -1, 0, 0, 0, 1), Vertex(x0, y0, z0, -1, 0, 0, 1, 1)},
        {Vertex(x1, y1, z0, 1, 0, 0, 0, 0), Vertex(x1, y1, z1, 1, 0, 0, 1, 0),
         Vertex(x1, y0, z0, 1, 0, 0, 0, 1), Vertex(x1, y0, z1, 1, 0, 0, 1, 1)},
        {Vertex(x0, y1, z1, 0, 1, 0, 0, 0), Vertex(x1, y1, z1, 0, 1, 0, 1, 0),
         Vertex(x0, y1, z0, 0, 1, 0, 0, 1), Vertex(x1, y1, z0, 0, 1, 0, 1, 1)},
    };
    for (const auto& face : faces) {
        AppendQuad(group, face);
    }
}

bool TreeMayStandOn(core::SurfaceKind kind) {
    return kind == core::kSurfaceRough || kind == core::kSurfaceOutOfBounds || kind == core::kSurfaceFairway;
}

}  // namespace

bool AppendTrees(const HoleField& field, const TerrainRegion& region, const SceneryMaterials& materials,
                 core::FnxModel& model, std::string& error) {
    int number = 0;
    for (const TreePlacement& tree : field.hole->trees) {
        const core::SurfaceKind ground = SurfaceAt(field, tree.at);
        if (!InsideRegion(region, tree.at) || !TreeMayStandOn(ground)) {
            char where[96];
            std::snprintf(where, sizeof where, "a %s at (%.1f, %.1f) would stand %s", tree.kind->name,
                          tree.at.x, tree.at.z, InsideRegion(region, tree.at) ? "on " : "off the ground");
            error = field.hole->path + ":" + std::to_string(tree.line) + ": " + where +
                    (InsideRegion(region, tree.at) ? core::kSurfaceCodes[ground] : "");
            return false;
        }
        const double width = tree.height * tree.kind->widthPerHeight;
        const double y = GroundHeight(field, tree.at) - 0.2;
        const double x0 = tree.at.x - width / 2;
        const double x1 = tree.at.x + width / 2;
        const double z = tree.at.z;
        // Facing -z, the way a viewer looking along the hole sees it; normals point up so that the
        // picture is lit like the ground around it whichever way it is turned.
        const core::FnxVertex corners[4] = {Vertex(x0, y + tree.height, z, 0, 1, 0, 0, 0),
                                            Vertex(x1, y + tree.height, z, 0, 1, 0, 1, 0),
                                            Vertex(x0, y, z, 0, 1, 0, 0, 1), Vertex(x1, y, z, 0, 1, 0, 1, 1)};
        char name[18];
        std::snprintf(name, sizeof name, "RST%s%03d%c", tree.kind->name, ++number, tree.kind->attribute);
        core::FnxGroup group = NamedGroup(name, materials.trees[tree.kind->picture]);
        AppendQuad(group, corners);
        Finish(group, model);
    }
    return true;
}

void AppendStakes(const HoleField& field, const TerrainRegion& region, const SceneryMaterials& materials,
                  core::FnxModel& model) {
    const std::vector<Vec2>& line = field.corridor.points;
    const double reach = field.hole->corridor;
    std::vector<Vec2> candidates;
    for (size_t s = 0; s + 1 < line.size(); ++s) {
        const Vec2 d = line[s + 1] - line[s];
        const double length = Length(d);
        const Vec2 side{-d.z / length, d.x / length};
        for (double t = 0; t <= length; t += kStakeSpacing) {
            const Vec2 p = line[s] + d * (t / length);
            candidates.push_back(p + side * reach);
            candidates.push_back(p - side * reach);
        }
    }
    // Around the ends: behind the tee and beyond the green.
    for (int end = 0; end < 2; ++end) {
        const Vec2 centre = end == 0 ? line.front() : line.back();
        const int steps = static_cast<int>(kPi * reach / kStakeSpacing);
        for (int k = 0; k <= 2 * steps; ++k) {
            const double a = kPi * k / steps;
            candidates.push_back(centre + Vec2{std::cos(a), std::sin(a)} * reach);
        }
    }
    // One group per stake: the renderer leaves out an object near the viewer as a whole, and the
    // ball is tested only against objects whose radius it is in, so each stake stands alone.
    int number = 0;
    for (const Vec2& p : candidates) {
        // Only stakes that really stand on the boundary, on dry meshed ground.
        if (std::fabs(SignedDistance(field.corridor, p)) > 0.5 || !InsideRegion(region, p) ||
            SurfaceAt(field, p) == core::kSurfaceWater) {
            continue;
        }
        char name[18];
        std::snprintf(name, sizeof name, "SSTstake%03dS", ++number % 1000);
        core::FnxGroup stake = NamedGroup(name, materials.stake);
        AppendBox(stake, p, GroundHeight(field, p) - 0.2, 0.05, 0.05, 1.2);
        Finish(stake, model);
    }
}

void AppendTeeSign(const HoleField& field, const SceneryMaterials& materials, core::FnxModel& model) {
    const HoleDescription& hole = *field.hole;
    const Vec2 towardAim = field.corridor.points[1] - hole.tee;
    const double length = Length(towardAim);
    const Vec2 side{towardAim.z / length, -towardAim.x / length};
    // Beside the tee box, on the left of a player facing the hole, clear of the tee itself.
    Vec2 at = hole.tee + side * 4.0;
    for (int k = 0; k < 20 && KindDistance(field, core::kSurfaceTee, at) < 1.5; ++k) {
        at = at + side;
    }
    const double ground = GroundHeight(field, at);
    core::FnxGroup sign = NamedGroup("SSTteesignS", materials.signWood);
    AppendBox(sign, at, ground - 0.1, 0.6, 0.06, 0.9);
    Finish(sign, model);
}

void AppendBackdrop(const HoleField& field, const SceneryMaterials& materials, core::FnxModel& model) {
    // Rings around the hole outside the game's terrain grid, seen from inside: far hills, and a
    // tree line in front of them. Each picture is as tall as it looks from the middle of the line
    // of play at the same angle, whatever its distance, and repeats a whole number of times
    // around the ring so that its ends meet without a seam.
    const std::vector<Vec2>& line = field.corridor.points;
    Vec2 middle;
    for (const Vec2& q : line) {
        middle = middle + q;
    }
    middle = middle * (1.0 / static_cast<double>(line.size()));
    struct Layer {
        const char* name;
        uint16_t material;
        double beyondGrid;     // yards outside the terrain grid
        double bottomPerYard;  // bottom and top above the ground for its distance from the middle
        double topPerYard;
        double repeatPerRadian;  // picture repeats per radian of the ring, as seen from the middle
    };
    // Clouds farthest out, drawn first, from just above the horizon to high in the sky; the sky
    // picture behind the scene shows through their gaps.
    std::vector<Layer> layers;
    if (materials.backdropClouds != core::kNoMaterial) {
        layers.push_back({"BAKclouds", materials.backdropClouds, 70, 0.02, 0.55, 0.5});
    }
    layers.push_back({"BAKhills", materials.backdropHills, 38, 0, 0.07, 0.8});
    layers.push_back({"BAKtreeline", materials.backdropTreeLine, 22, 0, 0.04, 2.4});
    // Each hole turns its rings a little differently, so that its backdrop is its own.
    const double turn = 0.37 * field.hole->ground.seed;
    for (const Layer& layer : layers) {
        const Vec2 lo{kTerrainGridMinX - layer.beyondGrid, kTerrainGridMinZ - layer.beyondGrid};
        const Vec2 hi{kTerrainGridMaxX + layer.beyondGrid, kTerrainGridMaxZ + layer.beyondGrid};
        constexpr int kSteps = 144;
        std::vector<Vec2> ring;
        for (int k = 0; k < kSteps; ++k) {
            const double a = 2 * kPi * k / kSteps + turn;
            const Vec2 dir{std::cos(a), std::sin(a)};
            // Out from the middle to the rectangle around the grid.
            double t = 1e9;
            if (std::fabs(dir.x) > 1e-9) {
                t = std::min(t, ((dir.x > 0 ? hi.x : lo.x) - middle.x) / dir.x);
            }
            if (std::fabs(dir.z) > 1e-9) {
                t = std::min(t, ((dir.z > 0 ? hi.z : lo.z) - middle.z) / dir.z);
            }
            ring.push_back(middle + dir * t);
        }
        const double repeats = std::max(1.0, std::round(2 * kPi * layer.repeatPerRadian));
        core::FnxGroup group = NamedGroup(layer.name, layer.material);
        for (int k = 0; k < kSteps; ++k) {
            const Vec2 a = ring[k];
            const Vec2 b = ring[(k + 1) % kSteps];
            const double u0 = repeats * k / kSteps;
            const double u1 = repeats * (k + 1) / kSteps;
            const double ya = GroundHeight(field, a) - 1.5 + layer.bottomPerYard * Length(a - middle);
            const double yb = GroundHeight(field, b) - 1.5 + layer.bottomPerYard * Length(b - middle);
            const double ha = (layer.topPerYard - layer.bottomPerYard) * Length(a - middle);
            const double hb = (layer.topPerYard - layer.bottomPerYard) * Length(b - middle);
            // The back is added too so that no camera sees through it. The picture's top and
            // bottom rows are kept off the edges: filtering with wrapped coordinates would
            // otherwise draw a faint line of the ground colour along the sky.
            const core::FnxVertex front[4] = {Vertex(a.x, ya + ha, a.z, 0, 1, 0, u0, kBackdropTopV),
                                              Vertex(b.x, yb + hb, b.z, 0, 1, 0, u1, kBackdropTopV),
                                              Vertex(a.x, ya, a.z, 0, 1, 0, u0, kBackdropBottomV),
                                              Vertex(b.x, yb, b.z, 0, 1, 0, u1, kBackdropBottomV)};
            const core::FnxVertex back[4] = {front[1], front[0], front[3], front[2]};
            AppendQuad(group, front);
            AppendQuad(group, back);
        }
        Finish(group, model);
    }
}

void AppendLights(core::FnxModel& model) {
    auto light = [](const char* name, double dx, double dy, double dz, double r, double g, double b) {
        core::FnxLight l;
        std::snprintf(l.name, sizeof l.name, "%s", name);
        l.type = 3;
        const double length = std::sqrt(dx * dx + dy * dy + dz * dz);
        l.direction[0] = static_cast<float>(dx / length);
        l.direction[1] = static_cast<float>(dy / length);
        l.direction[2] = static_cast<float>(dz / length);
        l.position[1] = 500;
        l.color = {static_cast<float>(r), static_cast<float>(g), static_cast<float>(b), 1.0f};
        return l;
    };
    model.lights.push_back(
        light("sun", kSunDirection[0], kSunDirection[1], kSunDirection[2], 0.88, 0.85, 0.76));
    model.lights.push_back(light("fill", -0.45, -0.5, -0.6, 0.30, 0.34, 0.42));
}

}  // namespace tools
