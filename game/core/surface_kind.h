#pragma once
// The kinds of ground a ball can touch. The code doubles as the row of the surface response table
// and travels in the shot record as one byte.

#include <cstdint>

#include "game/core/fnx_model.h"

namespace core {

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

// The three letters a terrain group's name starts with, by kind.
inline constexpr const char* kSurfaceCodes[kSurfaceKindCount] = {"TEE", "FWY", "GRE", "ROU", "BNK",
                                                                 "WAY", "WTR", "OOB", "OGR"};

// The kind a terrain group's name announces by its first three characters ("TEE", "FWY", ... in
// any case), or kSurfaceNone.
SurfaceKind SurfaceKindOfName(const char* name);
// The kind of the model's group; kSurfaceNone for an index that is not a group.
SurfaceKind SurfaceKindOfGroup(const FnxModel& model, int group);

}  // namespace core
