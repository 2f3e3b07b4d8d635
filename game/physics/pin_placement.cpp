#include "game/physics/pin_placement.h"

#include <algorithm>

#include "game/course/surface_kind.h"

namespace physics {

int GroundSurfaceAt(const course::TerrainGrid& grid, platform::Vec3& p) {
    int group = -1;
    if (grid.model == nullptr || !course::TerrainHeightAt(grid, p, nullptr, &group)) {
        return course::kSurfaceNone;
    }
    return course::SurfaceKindOfGroup(*grid.model, group);
}

PinChoice PlacePin(const course::TerrainGrid& grid, platform::Vec3 cupPoint, int skyCount, Rand15& rand) {
    PinChoice choice;
    bool found = false;
    for (int draw = 0; draw < kMaxPinDraws && !found; ++draw) {
        platform::Vec3 p = cupPoint;
        p.x = cupPoint.x + static_cast<float>(rand.Next()) * 10.0f / 32767.0f - 5.0f;
        p.z = cupPoint.z + static_cast<float>(rand.Next()) * 10.0f / 32767.0f - 5.0f;
        if (GroundSurfaceAt(grid, p) == course::kSurfaceGreen) {
            choice.pin = p;
            found = true;
        }
    }
    if (!found) {
        choice.pin = cupPoint;
        course::SeatOnTerrain(grid, choice.pin);
    }
    const int skies = std::clamp(skyCount, 1, 256);
    choice.sky = static_cast<uint8_t>(std::min(rand.Next() * skies / 32767, skies - 1));
    return choice;
}

void ApplyPin(HoleMarks& marks, platform::Vec3& pin, platform::Vec3 newPin) {
    if (marks.layupPoint.x == pin.x && marks.layupPoint.z == pin.z) {
        marks.layupPoint = newPin;
    }
    pin = newPin;
}

}  // namespace physics
