#include "game/physics/auto_club.h"

#include <algorithm>

#include "game/core/geometry.h"
#include "game/core/surface_kind.h"
#include "game/physics/club_table.h"
#include "game/physics/shot_input.h"

namespace physics {

namespace {

struct ClubStep {
    float over;  // the club is taken for distances strictly above this
    uint8_t club;
};

constexpr ClubStep kFromTheTee[] = {
    {220, kClubWood3}, {205, kClubWood4}, {185, kClubWood5},        {175, kClubIron3},
    {165, kClubIron4}, {155, kClubIron5}, {145, kClubIron6},        {135, kClubIron7},
    {125, kClubIron8}, {105, kClubIron9}, {50, kClubPitchingWedge},
};
constexpr ClubStep kFromTheFairway[] = {
    {185, kClubWood5}, {175, kClubIron3}, {165, kClubIron4}, {155, kClubIron5},        {145, kClubIron6},
    {135, kClubIron7}, {125, kClubIron8}, {105, kClubIron9}, {50, kClubPitchingWedge},
};
constexpr ClubStep kFromTheRough[] = {
    {145, kClubIron5}, {135, kClubIron6}, {125, kClubIron7},
    {115, kClubIron8}, {90, kClubIron9},  {50, kClubPitchingWedge},
};

template <int N>
uint8_t Pick(const ClubStep (&steps)[N], float distance, uint8_t otherwise) {
    for (const ClubStep& step : steps) {
        if (distance > step.over) {
            return step.club;
        }
    }
    return otherwise;
}

}  // namespace

uint8_t AutomaticClub(uint8_t surface, uint8_t lieClass, float d, uint8_t currentClub) {
    uint8_t club = currentClub;
    if (surface == core::kSurfaceTee) {
        club = Pick(kFromTheTee, d, club);
    }
    if (lieClass == kLieTeed) {
        club = d > 235.0f ? uint8_t{kClubDriver} : Pick(kFromTheTee, d, club);
    }
    if (surface == core::kSurfaceFairway) {
        club = Pick(kFromTheFairway, d, kClubSandWedge);
    }
    if (surface == core::kSurfaceRough) {
        club = Pick(kFromTheRough, d, kClubSandWedge);
    }
    if (surface == core::kSurfaceBunker) {
        club = kClubSandWedge;
    }
    return club;
}

int GaugeHintMark(int club, float pinDistance) {
    int extra = 0;
    switch (club) {
        case kClubPitchingWedge:
            extra = 6;
            break;
        case kClubSandWedge:
            extra = 3;
            break;
        case kClubPutter:
            extra = 1;
            break;
        default:
            return 8;
    }
    const int unit = static_cast<int>(ClubRow(club).carry) >> 3;
    return std::clamp(core::WholeYards(pinDistance + static_cast<float>(extra)) / unit, 1, 8);
}

}  // namespace physics
