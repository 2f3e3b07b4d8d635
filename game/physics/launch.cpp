#include "game/physics/launch.h"

#include <algorithm>
#include <cmath>

#include "game/physics/club_table.h"
#include "game/physics/shot_ranges.h"

namespace physics {

namespace {

struct Tolerances {
    float power;      // T1
    float impact;     // T2
    float powerLoss;  // speed fraction lost per unit of power error
};

// Groups of clubs that share a lie penalty: woods, long irons, short irons, PW, SW and putter.
int PenaltyGroup(int club) {
    if (IsWood(club)) {
        return 0;
    }
    if (club <= kClubIron6) {
        return 1;
    }
    if (club <= kClubIron9) {
        return 2;
    }
    return club == kClubPitchingWedge ? 3 : 4;
}

void LoosenForLie(Tolerances& t, int club, int lieClass) {
    const bool wood = IsWood(club);
    switch (lieClass) {
        case kLieTeed:
            if (wood) {
                t.power *= 1.3f;
            } else if (club >= kClubIron3 && club <= kClubIron5) {
                t.power *= 1.1f;
                t.impact *= 1.1f;
            }
            break;
        case kLieClean:
            if (club == kClubDriver) {
                t.power *= 0.7f;
            }
            break;
        case kLieFairwayBad:
            t.power *= 0.8f;
            break;
        case kLieRough:
        case kLieSand:
            if (wood) {
                t.power *= 0.8f;
            }
            break;
        case kLieDeepRough:
            t.power *= wood ? 0.7f : 0.8f;
            break;
        case kLieBuriedSand:
            t.power *= wood ? 0.6f : 0.8f;
            break;
        default:
            break;
    }
}

void LoosenForLevel(Tolerances& t, int club, int gameLevel) {
    float factor = 1.0f;
    float lossFactor = 1.0f;
    if (gameLevel == 2) {
        factor = 3.0f;
        lossFactor = 0.5f;
    } else if (gameLevel == 1) {
        factor = 1.3f;
        lossFactor = 0.7f;
    } else {
        return;
    }
    t.power = std::min(t.power * factor, 15.0f);
    t.impact = std::min(t.impact * factor, 15.0f);
    if (club < kClubPitchingWedge) {
        t.powerLoss *= lossFactor;
    }
}

float LiePenalty(int club, int lieClass) {
    static const float kFairwayBad[5] = {0.88f, 0.85f, 0.81f, 0.75f, 0.79f};
    static const float kRough[5] = {0.96f, 0.95f, 0.93f, 0.91f, 0.94f};
    static const float kDeepRough[5] = {0.92f, 0.90f, 0.89f, 0.83f, 0.86f};
    float factor = (lieClass != kLieTeed && club == kClubDriver) ? 0.2f : 1.0f;
    switch (lieClass) {
        case kLieFairwayBad:
            return factor * kFairwayBad[PenaltyGroup(club)];
        case kLieRough:
            return factor * kRough[PenaltyGroup(club)];
        case kLieDeepRough:
            return factor * kDeepRough[PenaltyGroup(club)];
        case kLieSand:
            return factor * 0.7f;
        case kLieBuriedSand:
            return factor * (club == kClubSandWedge ? 0.5f : 0.1f);
        default:
            return factor;
    }
}

float CopySignNonZero(float magnitude, float sign) {
    return sign < 0.0f ? -magnitude : magnitude;
}

float ClampMagnitude(float value, float limit) {
    return std::clamp(value, -limit, limit);
}

// Backspin and sidespin choices 0-4; 2 is none.
const float kBackspinLoft[5] = {0.8f, 0.9f, 1.0f, 1.1f, 1.2f};
const float kSpinSpeed[5] = {0.9f, 0.95f, 1.0f, 0.95f, 0.9f};
const float kSidespinCurve[5] = {-4.0f, -2.0f, 0.0f, 2.0f, 4.0f};

struct Flight {
    float speed = 0.0f;
    float elevation = 0.0f;
    float push = 0.0f;
    float curve = 0.0f;
};

// The sideways error of a mis-struck ball: a hard push to one side, softened by a random amount.
float MishitPush(float push, float impactError, core::Rand15& rand) {
    if (impactError >= 15.0f || std::fabs(push) > kMaxSideAngle) {
        push = CopySignNonZero(kMaxSideAngle, push);
        push *= 1.0f - static_cast<float>(rand.Next()) * 0.7f / 32767.0f;
    }
    return push;
}

void SplitPushAndCurve(Flight& f, const ShotInput& shot, float p1, core::Rand15& rand) {
    const int club = shot.club;
    if (IsWood(club)) {
        f.curve = 0.7f * f.push;
        f.push = 0.3f * f.push;
        if (p1 > kGaugeTopMark && rand.Next() % 10 < 6) {
            f.curve = std::fabs(f.curve);
        }
    } else if (club <= kClubSandWedge) {
        const float magnitude = std::fabs(0.1f * f.push);
        f.curve = rand.Next() % 10 >= 5 ? magnitude : -magnitude;
        f.push = 0.9f * f.push;
    } else if (shot.lieClass != kLiePutting) {
        f.push += static_cast<float>(rand.Next()) * 30.0f / 32767.0f - 15.0f;
        f.speed *= 0.5f;
    }
}

void ApplySpin(Flight& f, SpinChoice spin) {
    const int back = std::min<int>(spin.backspin, 4);
    const int side = std::min<int>(spin.sidespin, 4);
    f.elevation *= kBackspinLoft[back];
    f.speed *= kSpinSpeed[back];
    f.curve += kSidespinCurve[side];
    f.speed *= kSpinSpeed[side];
    if (back != 2 && side != 2) {
        f.speed *= 1.1f;
    }
}

// Uneven ground: uphill lofts the ball, a sideways lean pushes it, and a stance against the slope
// costs speed. A teed ball and a ball in sand ignore the slope.
void ApplySlope(Flight& f, ShotInput& shot) {
    if (shot.lieClass == kLieTeed || shot.lieClass == kLieSand || shot.lieClass == kLieBuriedSand) {
        return;
    }
    const bool wood = IsWood(shot.club);
    if (wood) {
        shot.slopeForward = std::clamp(shot.slopeForward, -0.5f, 0.1f);
    }
    f.elevation += 10.0f * shot.slopeForward;
    if (wood) {
        f.speed *= 1.0f + shot.slopeForward;
    }
    f.push += 40.0f * shot.slopeSide;
    if (wood && shot.slopeSide < 0.0f) {
        f.speed *= shot.slopeSide < -0.5f ? 0.5f : 1.0f + shot.slopeSide;
    } else if (!wood && shot.slopeSide > 0.0f) {
        f.speed *= shot.slopeSide > 0.5f ? 0.5f : 1.0f - shot.slopeSide;
    }
}

float PowerShotFactor(int gameLevel) {
    if (gameLevel == 2) {
        return 1.2f;
    }
    return gameLevel == 1 ? 1.3f : 1.4f;
}

}  // namespace

void Launch(ShotInput& shot, const LaunchConditions& conditions, core::Rand15& rand) {
    const GaugeReadings& g = conditions.gauge;
    const int club = shot.club;
    const int lie = shot.lieClass;
    const ClubSpec& row = ClubRow(club);
    const float e1 = g.powerError;
    const float e2 = g.impactError;
    const float d2 = g.impactSigned;

    const bool duff = e1 > 15.0f && club < kClubPitchingWedge;
    const bool shortClub = club >= kClubPitchingWedge;

    Tolerances tol{row.powerTolerance, row.impactTolerance, row.powerLoss};
    if (!duff && !shortClub) {
        LoosenForLie(tol, club, lie);
    }
    LoosenForLevel(tol, club, conditions.gameLevel);

    Flight f;
    f.elevation = row.loft;
    if (duff) {
        if (IsIron(club)) {
            f.elevation *= 0.5f;
        }
        f.speed = (1.0f - (e1 - 14.0f) * 0.013f) * 0.4f * row.speed;
        shot.bite = 0;
    } else if (e1 < tol.power || shortClub) {
        f.speed = (1.0f - tol.powerLoss * e1) * row.speed;
    } else {
        f.speed = (1.0f - tol.powerLoss * tol.power) * row.speed * row.overPowerFactor *
                  (1.0f - row.mishitLoss * e1);
    }

    f.push = row.curvePerError * d2;
    if (e2 >= tol.impact) {
        if (lie == kLieTeed && IsWood(club) && d2 > 0.0f) {
            // Clicked early off the tee with a wood: the ball is skied.
            f.elevation = e2 / 2.0f + 50.0f;
            f.speed *= 0.5f;
        } else {
            f.elevation = (1.0f - e2 / 16.0f) * row.mishitLoft;
        }
        f.push = MishitPush(f.push, e2, rand);
        f.speed *= (1.0f - row.mishitLoss * e2) * 0.5f;
    }

    if (!duff) {
        f.speed *= LiePenalty(club, lie);
    }
    SplitPushAndCurve(f, shot, g.p1, rand);
    ApplySpin(f, conditions.spin);
    ApplySlope(f, shot);

    f.speed = std::clamp(f.speed, kMinLaunchSpeed, kMaxSwingSpeed);
    f.push = ClampMagnitude(f.push, kMaxSideAngle);
    f.curve = ClampMagnitude(f.curve, kMaxSideAngle);
    f.elevation = std::clamp(f.elevation, 0.0f, kMaxElevation);

    shot.wind = WindVector(conditions.wind);
    if (conditions.gameLevel == 2) {
        f.push *= 0.5f;
        f.curve *= 0.5f;
    }

    shot.launchSpeed = f.speed;
    shot.elevation = f.elevation;
    shot.curveRate = f.curve;
    shot.push = f.push;
    shot.powerError = e1;
    if (club != kClubPutter && (duff || e1 > 50.0f)) {
        shot.swingKind = kSwingMishit;
    }
    if (shot.powerShot) {
        shot.launchSpeed *= PowerShotFactor(conditions.gameLevel);
    }
}

}  // namespace physics
