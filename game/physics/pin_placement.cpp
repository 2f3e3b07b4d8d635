#include "game/physics/pin_placement.h"

#include <algorithm>

#include "game/core/surface_kind.h"

namespace physics {

PinChoice PlacePin(const ShotWorld& world, platform::Vec3 cupPoint, int skyCount, core::Rand15& rand) {
    PinChoice choice;
    bool found = false;
    const bool hasGround = world.grid != nullptr && world.model != nullptr;
    for (int draw = 0; hasGround && draw < kMaxPinDraws && !found; ++draw) {
        const float x = cupPoint.x + static_cast<float>(rand.Next()) * 10.0f / 32767.0f - 5.0f;
        const float z = cupPoint.z + static_cast<float>(rand.Next()) * 10.0f / 32767.0f - 5.0f;
        Ground ground;
        if (GroundAt(world, x, z, &ground) && ground.kind == core::kSurfaceGreen) {
            choice.pin = ground.point;
            found = true;
        }
    }
    if (!found) {
        choice.pin = cupPoint;
        if (hasGround) {
            course::SeatOnTerrain(*world.grid, choice.pin);
        }
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
