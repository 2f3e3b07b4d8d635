#include "game/course/course_objects.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "tests/course/model_fixtures.h"

namespace course {
namespace {

using fixtures::AddFlatQuad;
using fixtures::AddGroup;
using fixtures::V;

// An upright picture in the plane z = zc, from x0 to x1 and y0 to y1, u across and v down.
core::FnxGroup& AddPicture(core::FnxModel& model, const char* name, float x0, float x1, float y0, float y1,
                           float zc, uint16_t material = 0) {
    return AddGroup(model, name,
                    {V(x0, y1, zc, 0, 0), V(x1, y1, zc, 1, 0), V(x0, y0, zc, 0, 1), V(x1, y0, zc, 1, 1)},
                    {0, 1, 2, 2, 1, 3}, material);
}

struct Hole {
    core::FnxModel model;
    TerrainGrid grid;
    CourseObjects objects;
};

void Prepare(Hole& hole) {
    hole.grid = BuildTerrainGrid(hole.model);
    PrepareObjects(hole.model, hole.grid, hole.objects);
}

// Flat fairway at y = 1.
Hole WithGround() {
    Hole hole;
    AddFlatQuad(hole.model, "FWY", -50, -50, 50, 100, 1.0f);
    return hole;
}

TEST(CourseObjects, PreparationMeasuresAndSeats) {
    Hole hole = WithGround();
    AddGroup(hole.model, "RSTtreeE", {V(-1, 3, 4), V(1, 3, 6), V(0, 8, 5)}, {0, 1, 2});  // 2 above the ground
    AddGroup(hole.model, "SSTrock", {V(-1, 3, 4), V(1, 3, 6), V(0, 8, 5)}, {0, 1, 2});
    AddGroup(hole.model, "RSTfar", {V(299, 3, 4), V(301, 3, 6), V(300, 8, 5)}, {0, 1, 2});  // no ground
    Prepare(hole);
    const CourseObjects& o = hole.objects;
    EXPECT_FALSE(o.isObject[0]);
    EXPECT_EQ(o.centres[1].x, 0.0f);
    EXPECT_EQ(o.centres[1].z, 5.0f);
    EXPECT_EQ(o.centres[1].y, 1.0f);
    EXPECT_FLOAT_EQ(o.bounds[1].radius, std::sqrt(2.0f));
    EXPECT_EQ(o.bounds[1].attribute, 'E');
    EXPECT_EQ(o.bounds[1].minCorner.y, 1.0f);
    EXPECT_EQ(o.bounds[1].maxCorner.y, 6.0f);
    EXPECT_EQ(hole.model.groups[1].vertices[0].y, 1.0f);
    EXPECT_EQ(hole.model.groups[1].vertices[2].y, 6.0f);
    // A fixed object stays where it was modelled; so does an upright one with no ground under it.
    EXPECT_EQ(o.centres[2].y, 3.0f);
    EXPECT_EQ(hole.model.groups[2].vertices[0].y, 3.0f);
    EXPECT_EQ(o.bounds[2].attribute, 'k');
    EXPECT_EQ(hole.model.groups[3].vertices[0].y, 3.0f);
    EXPECT_EQ(o.bounds[3].minCorner.y, 3.0f);
}

TEST(CourseObjects, TurningToTheView) {
    Hole hole = WithGround();
    AddPicture(hole.model, "RSTa", -1, 1, 1, 3, 10);
    AddPicture(hole.model, "SSTb", -1, 1, 1, 3, 20);
    Prepare(hole);
    const std::vector<core::FnxVertex> modelled = hole.model.groups[1].vertices;
    const Vec3 pin{5, 1, 30};

    // Looking along +z and along +x both give the angle 0: nothing turns, the flag stands at the pin.
    TurnObjectsToView(hole.model, hole.objects, {0, 5, 0}, {0, 0, 10}, pin);
    EXPECT_EQ(hole.objects.LastFlagAngle, 0.0f);
    TurnObjectsToView(hole.model, hole.objects, {0, 5, 0}, {10, 0, 0}, pin);
    EXPECT_EQ(hole.objects.LastFlagAngle, 0.0f);
    EXPECT_EQ(std::memcmp(hole.model.groups[1].vertices.data(), modelled.data(),
                          modelled.size() * sizeof(core::FnxVertex)),
              0);
    EXPECT_EQ(hole.objects.FlagVertices[0].x, 3.5f);
    EXPECT_EQ(hole.objects.FlagVertices[0].y, 4.0f);
    EXPECT_EQ(hole.objects.FlagVertices[3].x, 6.5f);
    EXPECT_EQ(hole.objects.FlagVertices[3].v, 1.0f);

    // Looking along -x: half a turn about the object's centre.
    TurnObjectsToView(hole.model, hole.objects, {0, 5, 0}, {-10, 0, 0}, pin);
    EXPECT_FLOAT_EQ(hole.objects.LastFlagAngle, 3.1415927f);
    const core::FnxVertex& corner = hole.model.groups[1].vertices[0];
    EXPECT_NEAR(corner.x, 1.0f, 1e-5f);
    EXPECT_NEAR(corner.z, 10.0f, 1e-5f);
    EXPECT_NEAR(corner.nz, 0.0f, 1e-6f);
    EXPECT_NEAR(hole.objects.FlagVertices[0].x, 6.5f, 1e-5f);
    EXPECT_NEAR(hole.objects.FlagVertices[0].nz, 1.0f, 1e-6f);
    EXPECT_EQ(hole.model.groups[2].vertices[0].x, -1.0f);  // fixed objects never turn

    // The same view again turns nothing; a view straight down keeps the last angle.
    const std::vector<core::FnxVertex> turned = hole.model.groups[1].vertices;
    TurnObjectsToView(hole.model, hole.objects, {0, 5, 0}, {-10, 0, 0}, pin);
    TurnObjectsToView(hole.model, hole.objects, {3, 50, 3}, {3, 0, 3}, pin);
    EXPECT_EQ(std::memcmp(hole.model.groups[1].vertices.data(), turned.data(),
                          turned.size() * sizeof(core::FnxVertex)),
              0);
    EXPECT_TRUE(std::isfinite(hole.objects.FlagVertices[0].x));
}

// Facing objects from their prepared form gives the same vertices whatever they faced before, so
// clients whose views turned differently still agree; fixed objects stay as modelled.
TEST(CourseObjects, FacingFromThePreparedFormForgetsEarlierTurns) {
    Hole hole = WithGround();
    AddPicture(hole.model, "RSTa", -1, 1, 1, 3, 10);
    AddPicture(hole.model, "SSTb", -1, 1, 1, 3, 20);
    Prepare(hole);
    const core::FnxModel seated = hole.model;
    core::FnxModel direct = seated;
    core::FnxModel wandered = seated;
    FaceObjects(direct, seated, hole.objects, 0.7f);
    FaceObjects(wandered, seated, hole.objects, -2.9f);
    FaceObjects(wandered, seated, hole.objects, 1.3f);
    FaceObjects(wandered, seated, hole.objects, 0.7f);
    const auto& a = direct.groups[1].vertices;
    EXPECT_EQ(std::memcmp(a.data(), wandered.groups[1].vertices.data(), a.size() * sizeof(a[0])), 0);
    EXPECT_NEAR(a[0].x, -std::cos(0.7f), 1e-5f);  // the corner at x -1 turned about (0, 10)
    EXPECT_NEAR(a[0].z, 10.0f + std::sin(0.7f), 1e-5f);
    EXPECT_EQ(direct.groups[2].vertices[0].x, -1.0f);
    // The angle is the one the view turns to; straight down keeps the fallback.
    EXPECT_FLOAT_EQ(ViewAngle({0, 5, 0}, {-10, 0, 0}, 0.5f), 3.1415927f);
    EXPECT_EQ(ViewAngle({3, 50, 3}, {3, 0, 3}, 0.5f), 0.5f);
}

// A picture whose left half (u < 0.5) is transparent.
bool RightHalfOpaque(uint16_t, float u, float) {
    return u >= 0.5f;
}

TEST(CourseObjects, BallStopsOnlyAtOpaqueTexels) {
    Hole hole = WithGround();
    AddPicture(hole.model, "RSTpostE", -2, 2, 1, 5, 10);
    Prepare(hole);
    ObjectHit hit;
    float seenU = -1.0f, seenV = -1.0f;
    const TexelOpacity recordingOpacity = [&](uint16_t, float u, float v) {
        seenU = u;
        seenV = v;
        return RightHalfOpaque(0, u, v);
    };
    ASSERT_TRUE(ObjectSegmentHit(hole.model, hole.objects, recordingOpacity, {1, 2, 9}, {1, 2, 11}, &hit));
    EXPECT_EQ(hit.attribute, 'E');
    EXPECT_FLOAT_EQ(hit.point.z, 10.0f);
    EXPECT_FLOAT_EQ(seenU, 0.75f);
    EXPECT_FLOAT_EQ(seenV, 0.75f);  // y 2 of 1..5, from the top
    EXPECT_FALSE(ObjectSegmentHit(hole.model, hole.objects, RightHalfOpaque, {-1, 2, 9}, {-1, 2, 11}, &hit));
    // Without a texel lookup every object is solid.
    EXPECT_TRUE(ObjectSegmentHit(hole.model, hole.objects, nullptr, {-1, 2, 9}, {-1, 2, 11}, nullptr));
}

TEST(CourseObjects, PreTestsAndModelOrder) {
    Hole hole = WithGround();
    AddPicture(hole.model, "SSTfarB", -2, 2, 1, 5, 12);  // farther along the path, first in the model
    AddPicture(hole.model, "SSTnearA", -2, 2, 1, 5, 11);
    Prepare(hole);
    ObjectHit hit;
    // Both are crossed; the first in the model is reported, not the nearest.
    ASSERT_TRUE(ObjectSegmentHit(hole.model, hole.objects, nullptr, {0, 2, 10.5f}, {0, 2, 12.5f}, &hit));
    EXPECT_EQ(hit.attribute, 'B');
    // The radius is checked at the start only: a fast ball from outside passes through.
    EXPECT_FALSE(ObjectSegmentHit(hole.model, hole.objects, nullptr, {0, 2, 5}, {0, 2, 15}, &hit));
    // Both ends above the object.
    EXPECT_FALSE(ObjectSegmentHit(hole.model, hole.objects, nullptr, {0, 6, 10.5f}, {0, 5.5f, 12.5f}, &hit));
    // One end within the height is enough.
    EXPECT_TRUE(ObjectSegmentHit(hole.model, hole.objects, nullptr, {0, 7, 10.5f}, {0, 4, 12.5f}, &hit));
}

}  // namespace
}  // namespace course
