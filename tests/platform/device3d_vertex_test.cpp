#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

#include "platform/device3d_pipeline.h"

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
    TransformVertices(stage, in.data(), static_cast<uint32_t>(in.size()), out.data(), codes.data());
    for (size_t i = 0; i < in.size(); ++i) {
        ASSERT_EQ(codes[i], ClipCode(out[i])) << "vertex " << in[i].x << ", " << in[i].y << ", " << in[i].z;
    }
    // A vertex right of the view but inside the guard band, and one beyond the far plane.
    EXPECT_EQ(codes[0], ClipCode(ClipVertex{0, 0, 0, 1}));
    const DeviceVertex right{2.0f, 0.0f, 0.0f, 0, 0, 1, 0, 0}, far{0.0f, 0.0f, 4.0f, 0, 0, 1, 0, 0};
    ClipVertex o[2];
    uint16_t c[2];
    TransformVertices(stage, &right, 1, o, c);
    TransformVertices(stage, &far, 1, o + 1, c + 1);
    EXPECT_EQ(c[0], 0x200u);
    EXPECT_EQ(c[1], 2u);
}

}  // namespace
}  // namespace platform::device_detail
