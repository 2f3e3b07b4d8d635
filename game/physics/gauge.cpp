#include "game/physics/gauge.h"

#include <cmath>

#include "game/core/surface_kind.h"
#include "game/physics/club_table.h"

namespace physics {

namespace {

// The rate stays an integer: every factor truncates toward zero before the next one applies.
void Scale(int& rate, double factor) {
    rate = static_cast<int>(rate * factor);
}

double SpinRateFactor(uint8_t spin) {
    if (spin == 0 || spin == 4) {
        return 1.2;
    }
    if (spin == 1 || spin == 3) {
        return 1.1;
    }
    return 1.0;
}

void ScaleForLie(int& rate, int club, int lieClass) {
    const bool wood = IsWood(club);
    const bool ironOrWedge = club >= kClubIron3 && club <= kClubSandWedge;
    switch (lieClass) {
        case kLieTeed:
            if (club == kClubWood3) {
                Scale(rate, 0.8);
            } else if (club >= kClubIron3 && club <= kClubIron6) {
                Scale(rate, 0.9);
            }
            break;
        case kLieClean:
            if (club >= kClubWood3 && club <= kClubWood5) {
                Scale(rate, 1.1);
            }
            break;
        case kLieFairwayBad:
        case kLieRough:
        case kLieDeepRough: {
            // Poor lies slow the gauge: {irons and wedges, woods}; the putter is not slowed.
            static const double kFactors[3][2] = {{1.3, 1.4}, {1.15, 1.3}, {1.2, 1.4}};
            const double* factors = kFactors[lieClass - kLieFairwayBad];
            if (ironOrWedge) {
                Scale(rate, factors[0]);
            } else if (wood) {
                Scale(rate, factors[1]);
            }
            break;
        }
        case kLieSand:
            Scale(rate, 1.6);
            break;
        case kLieBuriedSand:
            Scale(rate, 2.0);
            break;
        default:
            break;
    }
}

void ScaleForLevel(int& rate, int gameLevel, const ShotInput& shot) {
    const bool putting = shot.lieClass == kLiePutting;
    if (gameLevel == 2) {
        Scale(rate, 0.4);
    } else if (gameLevel == 1) {
        Scale(rate, 0.8);
        if (putting && shot.pinDistance <= 1.5f) {
            Scale(rate, 0.8);
        }
    } else if (gameLevel == 0 && putting) {
        if (shot.pinDistance <= 1.5f) {
            Scale(rate, 0.6);
        } else if (shot.pinDistance <= 4.5f) {
            Scale(rate, 0.8);
        }
    }
}

}  // namespace

int GaugeRate(ShotInput& shot, int gameLevel, SpinChoice spin) {
    int rate = static_cast<int>(ClubRow(shot.club).gaugeRate);
    ScaleForLie(rate, shot.club, shot.lieClass);
    ScaleForLevel(rate, gameLevel, shot);
    if (shot.powerShot) {
        Scale(rate, 1.5);
    }
    if (shot.club < kClubIron6 || shot.club == kClubPutter) {
        shot.bite = 0;
    }
    if (shot.bite) {
        const bool heavy = shot.surface == core::kSurfaceBunker || shot.lieClass == kLieDeepRough;
        Scale(rate, heavy ? 1.4 : 1.2);
    }
    Scale(rate, SpinRateFactor(spin.backspin));
    Scale(rate, SpinRateFactor(spin.sidespin));
    if (spin.backspin != 2 && spin.sidespin != 2) {
        Scale(rate, 0.9);
    }
    return rate;
}

bool GaugeTopReached(uint32_t gaugeStartMs, uint32_t nowMs, int gaugeRate) {
    const uint32_t fullScaleMs =
        static_cast<uint32_t>(kGaugeFullScale * 1000 / (gaugeRate > 0 ? gaugeRate : 1));
    return nowMs - gaugeStartMs > fullScaleMs;
}

bool GaugeBottomReached(uint32_t gaugeStartMs, uint32_t gaugeTopMs, uint32_t nowMs) {
    return gaugeTopMs - gaugeStartMs < nowMs - gaugeTopMs;
}

void StartGauge(GaugeState& gauge, uint32_t nowMs, int gaugeRate) {
    gauge = GaugeState{};
    gauge.gaugeStart = gauge.gaugeTop = gauge.gaugeEnd = nowMs;
    gauge.gaugeRate = gaugeRate;
    gauge.gaugeRising = true;
}

bool GaugeFrame(GaugeState& gauge, uint32_t nowMs) {
    if (gauge.launched) {
        return false;
    }
    if (gauge.gaugeRising) {
        gauge.gaugeTop = nowMs;
        gauge.gaugeEnd = nowMs;
        if (GaugeTopReached(gauge.gaugeStart, nowMs, gauge.gaugeRate)) {
            gauge.gaugeRising = false;
        }
        return false;
    }
    gauge.gaugeEnd = nowMs;
    gauge.launched = GaugeBottomReached(gauge.gaugeStart, gauge.gaugeTop, nowMs);
    return gauge.launched;
}

bool GaugeClick(GaugeState& gauge, uint32_t nowMs) {
    if (gauge.launched) {
        return false;
    }
    if (gauge.gaugeRising) {
        gauge.gaugeTop = nowMs;
        gauge.gaugeEnd = nowMs;
        gauge.gaugeRising = false;
        return false;
    }
    gauge.gaugeEnd = nowMs;
    gauge.launched = true;
    return true;
}

GaugeReadings ReadGauge(uint32_t gaugeStartMs, uint32_t gaugeTopMs, uint32_t gaugeEndMs, int gaugeRate) {
    const float msPerUnit = 1000.0f / static_cast<float>(gaugeRate > 0 ? gaugeRate : 1);
    GaugeReadings r;
    r.p1 = static_cast<float>(gaugeTopMs - gaugeStartMs) / msPerUnit;
    r.p2 = r.p1 - static_cast<float>(gaugeEndMs - gaugeTopMs) / msPerUnit;
    r.powerError = std::fabs(r.p1 - kGaugeTopMark);
    r.impactSigned = r.p2 - kGaugeImpactMark;
    r.impactError = std::fabs(r.impactSigned);
    if (r.impactSigned > 15.0f) {
        r.impactSigned = 15.0f;
        r.impactError = 15.0f;
    }
    return r;
}

}  // namespace physics
