#include "game/physics/lie_class.h"

#include "game/core/geometry.h"
#include "game/core/surface_kind.h"
#include "game/physics/shot_input.h"

namespace physics {

namespace {

uint8_t FairwayLie(const LieSituation& s, int dTee, int dPin, core::Rand15& rand) {
    // A ball that just came out of water or from out of bounds is dropped clean.
    if (s.lastContactSurface == core::kSurfaceWater || s.lastContactSurface == core::kSurfaceOutOfBounds) {
        return kLieClean;
    }
    bool bad = false;
    if (dTee < 100 || dPin < 100) {
        bad = rand.Next() % 100 == 50;
    } else if ((s.par == 4 || s.par == 5) && dTee > 200 && dTee < 270) {
        // Where most drives land the fairway is worn.
        bad = rand.Next() % 10 == 5;
    } else {
        bad = rand.Next() % 50 == 10;
    }
    if (bad) {
        return kLieFairwayBad;
    }
    return rand.Next() % 100 == 50 ? kLieRough : kLieClean;
}

uint8_t RoughLie(int dPin, core::Rand15& rand) {
    const bool deep = (dPin > 50 && dPin < 80) ? rand.Next() % 3 == 1 : rand.Next() % 5 == 2;
    return deep ? kLieDeepRough : kLieRough;
}

uint8_t SandLie(const LieSituation& s, int dPin, core::Rand15& rand) {
    // A ball played out of a bunker into a bunker again sits up.
    if (s.prevSurface == core::kSurfaceBunker) {
        return kLieSand;
    }
    const bool buried = dPin < 80 ? rand.Next() % 10 < 6 : rand.Next() % 10 < 2;
    return buried ? kLieBuriedSand : kLieSand;
}

}  // namespace

uint8_t DrawLieClass(const LieSituation& s, core::Rand15& rand) {
    const int dTee = core::WholeYards(core::Distance3(s.teePoint, s.ball));
    const int dPin = core::WholeYards(core::Distance3(s.ball, s.pin));
    switch (s.surface) {
        case core::kSurfaceGreen:
            return kLiePutting;
        case core::kSurfaceTee:
            return s.ball.x == s.teePoint.x && s.ball.z == s.teePoint.z ? kLieTeed : kLieClean;
        case core::kSurfaceFairway:
            return FairwayLie(s, dTee, dPin, rand);
        case core::kSurfaceRough:
            return RoughLie(dPin, rand);
        case core::kSurfaceBunker:
            return SandLie(s, dPin, rand);
        default:
            return kLieClean;
    }
}

}  // namespace physics
