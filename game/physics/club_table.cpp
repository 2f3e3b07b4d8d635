#include "game/physics/club_table.h"

namespace physics {

// clang-format off
const ClubSpec kClubSpecs[kClubCount] = {
    // name       nickname          code   carry  loft    speed   rate  powTol powLoss overF mishit impTol curve  mishitLoft
    {"Wood 1",  "Driver",         "W1", 245.f, 10.f,   114.1f, 80.f,  3.f, 0.03f,  0.3f, 0.05f,  3.f, 3.8f,  1.f},
    {"Wood 3",  "Spoon",          "W3", 230.f, 10.4f,  108.2f, 85.f,  3.f, 0.035f, 0.4f, 0.04f,  4.f, 3.8f,  1.5f},
    {"Wood 4",  "Buffy",          "W4", 215.f, 12.35f, 99.8f,  80.f,  4.f, 0.03f,  0.4f, 0.04f,  5.f, 4.5f,  2.f},
    {"Wood 5",  "Cleek",          "W5", 200.f, 14.3f,  92.2f,  75.f,  4.f, 0.03f,  0.4f, 0.04f,  5.f, 4.5f,  2.f},
    {"Iron 3",  "Middle Mashy",   "I3", 180.f, 14.95f, 84.3f,  90.f,  2.f, 0.03f,  0.5f, 0.06f,  3.f, 6.f,   5.f},
    {"Iron 4",  "Mashy Iron",     "I4", 170.f, 17.55f, 79.2f,  85.f,  3.f, 0.03f,  0.5f, 0.06f,  3.f, 6.f,   6.f},
    {"Iron 5",  "Mashy",          "I5", 160.f, 20.15f, 74.8f,  80.f,  4.f, 0.025f, 0.5f, 0.055f, 3.f, 6.f,   7.f},
    {"Iron 6",  "Spade Mashy",    "I6", 150.f, 22.75f, 71.f,   75.f,  5.f, 0.025f, 0.6f, 0.055f, 4.f, 5.f,   8.f},
    {"Iron 7",  "Massie Niblick", "I7", 140.f, 25.35f, 67.4f,  70.f,  6.f, 0.025f, 0.6f, 0.055f, 4.f, 5.f,   9.f},
    {"Iron 8",  "Pitcher",        "I8", 130.f, 27.95f, 64.f,   65.f,  7.f, 0.02f,  0.6f, 0.05f,  5.f, 4.5f,  10.f},
    {"Iron 9",  "Niblick",        "I9", 120.f, 30.55f, 62.1f,  60.f,  8.f, 0.02f,  0.6f, 0.05f,  5.f, 4.5f,  11.f},
    {"P/Wedge", "Pitching",       "PW", 100.f, 35.1f,  55.5f,  50.f, 15.f, 0.011f, 1.f,  0.011f, 5.f, 4.f,   12.f},
    {"S/Wedge", "Sand Wedge",     "SW", 50.f,  37.7f,  33.2f,  50.f, 15.f, 0.011f, 1.f,  0.011f, 3.f, 5.f,   10.f},
    {"Putter",  "",               "P ", 30.f,  0.f,    15.6f,  40.f, 15.f, 0.011f, 1.f,  0.011f, 4.f, 2.f,   0.f},
};
// clang-format on

const uint32_t kClubSwingKinds[kClubCount] = {
    kSwingWood, kSwingWood, kSwingWood, kSwingWood, kSwingIron,  kSwingIron,  kSwingIron,
    kSwingIron, kSwingIron, kSwingIron, kSwingIron, kSwingWedge, kSwingWedge, kSwingPutter,
};

const ClubSpec& ClubRow(int club) {
    return kClubSpecs[club];
}

uint8_t SwingKindOfClub(int club) {
    return static_cast<uint8_t>(kClubSwingKinds[club]);
}

}  // namespace physics
