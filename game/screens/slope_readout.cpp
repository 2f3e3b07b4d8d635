#include "game/screens/slope_readout.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace screens {
namespace {

float GroundAt(const course::TerrainGrid& grid, float x, float z) {
    platform::Vec3 p{x, 0.0f, z};
    course::SeatOnTerrain(grid, p);
    return p.y;
}

// trunc(d x 2000) as a signed 32-bit value; steeper than the type holds is cut to its range.
int Readout(float difference) {
    const double value = std::trunc(static_cast<double>(difference) * 2000.0);
    if (!std::isfinite(value)) {
        return 0;
    }
    constexpr double kMax = std::numeric_limits<int32_t>::max();
    constexpr double kMin = std::numeric_limits<int32_t>::min();
    return static_cast<int>(value > kMax ? kMax : value < kMin ? kMin : value);
}

}  // namespace

SlopeReadout ReadSlopes(const course::TerrainGrid& grid, platform::Vec3 anchor, platform::Vec3 aim,
                        platform::Vec3 target) {
    const float dx = aim.x - anchor.x;
    const float dz = aim.z - anchor.z;
    const float length = std::sqrt(dx * dx + dz * dz);
    if (!(length > 0.0f) || !std::isfinite(length)) {
        return {};
    }
    constexpr float kStep = 0.03f;
    const float ux = dx / length, uz = dz / length;
    const float wx = -uz, wz = ux;  // the direction of play turned by -90 degrees about the vertical
    const float right = GroundAt(grid, target.x + kStep * wx, target.z + kStep * wz);
    const float left = GroundAt(grid, target.x - kStep * wx, target.z - kStep * wz);
    const float beyond = GroundAt(grid, target.x + kStep * ux, target.z + kStep * uz);
    const float shortOf = GroundAt(grid, target.x - kStep * ux, target.z - kStep * uz);
    return {Readout(right - left), Readout(shortOf - beyond)};
}

}  // namespace screens
