#pragma once
// The kinds of ground a ball can touch. The code doubles as the row of the surface response table
// and travels in the shot record as one byte.

#include <cstdint>

namespace course {

enum SurfaceKind : int8_t {
    kSurfaceNone = -1,
    kSurfaceTee = 0,
    kSurfaceFairway = 1,
    kSurfaceGreen = 2,
    kSurfaceRough = 3,
    kSurfaceBunker = 4,
    kSurfaceCartPath = 5,
    kSurfaceWater = 6,
    kSurfaceOutOfBounds = 7,
    kSurfaceOtherGreen = 8,
};

inline constexpr int kSurfaceKindCount = 9;

}  // namespace course
