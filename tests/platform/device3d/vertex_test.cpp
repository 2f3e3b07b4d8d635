#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "platform/device3d/pipeline.h"
#include "platform/device3d/project.h"

namespace platform::device_detail {
namespace {

// Positions on and around every clip plane and side, at the edge of a float's range and not a
// number: the clip codes the vertex stage gives are those of ClipCode for the position it gives.
TEST(VertexStage, ClipCodesOfTransformedVerticesAreThoseOfTheirPositions) {
    VertexStage stage{};
    // x and y as given, z as given, w = z / 4 + 1: so that w runs through its own limits too.
    stage.worldViewProjection = IdentityMatrix();
    stage.worldViewProjection.m[2][3] = 0.25f;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const float values[] = {0.0f,  -0.0f,    1.0f,     -1.0f, 1.25f,  -1.25f, 8.0f,   -8.0f, 10.0f, -10.0f,
                            -4.0f, -3.9999f, -4.0001f, 1e-5f, -1e-5f, 3e38f,  -3e38f, inf,   -inf,  nan};
    std::vector<DeviceVertex> in;
    for (float x : values) {
        for (float z : values) {
            in.push_back({x, z * 0.5f, z, 0, 0, 1, 0, 0});
            in.push_back({-x * 8.0f, x, z, 0, 0, 1, 0, 0});
        }
    }
    std::vector<ClipVertex> out(in.size());
    std::vector<uint16_t> codes(in.size());
    std::vector<ScreenVertex> screen(in.size());
    std::vector<SnappedPoint> snapped(in.size());
    const Projector project(DeviceViewport{0, 0, 64, 48, 0.0f, 1.0f});
    TransformVertices(stage, project, in.data(), static_cast<uint32_t>(in.size()), out.data(), codes.data(),
                      screen.data(), snapped.data());
    for (size_t i = 0; i < in.size(); ++i) {
        ASSERT_EQ(codes[i], ClipCode(out[i])) << "vertex " << in[i].x << ", " << in[i].y << ", " << in[i].z;
    }
    // A vertex right of the view but inside the guard band, and one beyond the far plane.
    EXPECT_EQ(codes[0], ClipCode(ClipVertex{0, 0, 0, 1}));
    const DeviceVertex right{2.0f, 0.0f, 0.0f, 0, 0, 1, 0, 0}, far{0.0f, 0.0f, 4.0f, 0, 0, 1, 0, 0};
    ClipVertex o[2];
    uint16_t c[2];
    ScreenVertex v[2];
    SnappedPoint p[2];
    TransformVertices(stage, project, &right, 1, o, c, v, p);
    TransformVertices(stage, project, &far, 1, o + 1, c + 1, v + 1, p + 1);
    EXPECT_EQ(c[0], 0x200u);
    EXPECT_EQ(c[1], 2u);
}

uint32_t Bits(float v) {
    return std::bit_cast<uint32_t>(v);
}

// The vertex stage works on several vertices at a time: each vertex's clip-space position must
// be the scalar sum of its own coordinates, and the position on screen of each vertex that
// crosses no clip plane (and its snapped point, and whether it is usable) that of
// Projector::Position, bit for bit (the pictures depend on it), for
// any count (the last vertices of a draw that do not fill a group) and at the rounding edges of the
// snapped grid.
TEST(VertexStage, PositionsOnScreenAreThoseOfOneVertexAtATime) {
    std::mt19937 random(23);
    std::uniform_real_distribution<float> coordinate(-40.0f, 40.0f), entry(-2.0f, 2.0f);
    VertexStage stage{};
    for (auto& row : stage.worldViewProjection.m) {
        for (float& e : row) {
            e = entry(random);
        }
    }
    std::vector<DeviceVertex> in;
    for (int i = 0; i < 300; ++i) {
        in.push_back({coordinate(random), coordinate(random), coordinate(random), 0, 0, 1, 0, 0});
    }
    // A view one pixel wide with the identity transform: sx * 16 and sy * 16 run over integers and
    // halves, on both sides of zero (the view starts at -5).
    VertexStage identity{};
    identity.worldViewProjection = IdentityMatrix();
    std::vector<DeviceVertex> grid;
    for (int k = -144; k <= 144; ++k) {
        grid.push_back({static_cast<float>(k) / 16.0f, static_cast<float>(-k) / 16.0f, 0.5f, 0, 0, 1, 0, 0});
    }
    grid.push_back({std::numeric_limits<float>::quiet_NaN(), 0.0f, 0.5f, 0, 0, 1, 0, 0});

    const auto check = [](const VertexStage& s, const DeviceViewport& viewport,
                          const std::vector<DeviceVertex>& all, uint32_t count) {
        const Projector project(viewport);
        std::vector<ClipVertex> out(count);
        std::vector<uint16_t> codes(count);
        std::vector<ScreenVertex> screen(count);
        std::vector<SnappedPoint> snapped(count);
        TransformVertices(s, project, all.data(), count, out.data(), codes.data(), screen.data(),
                          snapped.data());
        const auto& m = s.worldViewProjection.m;
        for (uint32_t i = 0; i < count; ++i) {
            const DeviceVertex& v = all[i];
            SCOPED_TRACE(testing::Message() << "vertex " << i << " of " << count);
            ASSERT_EQ(Bits(out[i].x), Bits(v.x * m[0][0] + v.y * m[1][0] + v.z * m[2][0] + m[3][0]));
            ASSERT_EQ(Bits(out[i].y), Bits(v.x * m[0][1] + v.y * m[1][1] + v.z * m[2][1] + m[3][1]));
            ASSERT_EQ(Bits(out[i].z), Bits(v.x * m[0][2] + v.y * m[1][2] + v.z * m[2][2] + m[3][2]));
            ASSERT_EQ(Bits(out[i].w), Bits(v.x * m[0][3] + v.y * m[1][3] + v.z * m[2][3] + m[3][3]));
            ASSERT_EQ(codes[i] & ~kUnusableBit, ClipCode(out[i]));
            if ((codes[i] & kClipPlaneBits) != 0) {
                continue;
            }
            ScreenVertex expected{};
            project.Position(out[i], expected);
            ASSERT_EQ(Bits(screen[i].sx), Bits(expected.sx));
            ASSERT_EQ(Bits(screen[i].sy), Bits(expected.sy));
            ASSERT_EQ(Bits(screen[i].sz), Bits(expected.sz));
            ASSERT_EQ(Bits(screen[i].rhw), Bits(expected.rhw));
            ASSERT_EQ(screen[i].usable, expected.usable);
            ASSERT_EQ(screen[i].fx, expected.fx);
            ASSERT_EQ(screen[i].fy, expected.fy);
            ASSERT_EQ(snapped[i].fx, expected.fx);
            ASSERT_EQ(snapped[i].fy, expected.fy);
            ASSERT_EQ((codes[i] & kUnusableBit) == 0, expected.usable);
        }
    };
    const DeviceViewport inset{3, 7, 236, 176, 0.1f, 0.9f};
    for (uint32_t count = 1; count <= 9; ++count) {
        check(stage, inset, in, count);
    }
    check(stage, inset, in, static_cast<uint32_t>(in.size()));
    const auto gridCount = static_cast<uint32_t>(grid.size());
    check(identity, DeviceViewport{-5, -5, 1, 1, 0.0f, 1.0f}, grid, gridCount);
    // Beyond the limit of usable coordinates across and down (with the guard band, a vertex inside
    // it may lie eight views out).
    check(identity, DeviceViewport{-200000, 100, 400000, 30, 0.25f, 0.75f}, grid, gridCount);
    check(identity, DeviceViewport{0, -100, 40, 300000, 0.25f, 0.75f}, grid, gridCount);
}

}  // namespace
}  // namespace platform::device_detail
