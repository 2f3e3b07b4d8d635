#pragma once
// Every picture the HUD draws. Loaded once when the match data is known; a picture that cannot be
// read stays an empty record (nothing is drawn for it) and is named once on standard error.

#include <cstdint>
#include <string>

#include "game/present/fni_image.h"

namespace screens {

enum class HudPicture : uint8_t {
    Shot,
    ShotOn,
    NoWind,
    Wind,
    Club,
    ClubOn,
    ClubBack,
    Wait,
    Ball,
    Divot,
    OtherBalls,
    MapBall,
    MapFlag,
    MapHole,
    Water,
    Pole,
    MapPole,
    LieSheet,
    GolferOn,
    GolferOnHover,
    GolferOff,
    GolferOffHover,
    GridOn,
    GridOnHover,
    GridOff,
    GridOffHover,
    BiteOff,
    BiteOffHover,
    BiteOn,
    BiteOnHover,
    Power,
    PowerHover,
    Chat,
    ChatHover,
    BackspinUp,
    BackspinUpPressed,
    BackspinDown,
    BackspinDownPressed,
    SidespinLeft,
    SidespinLeftPressed,
    SidespinRight,
    SidespinRightPressed,
    ArrowBig0,
    ArrowBig1,
    ArrowSmall0,
    ArrowSmall1,
    Give,
    GiveOn,
    Close,
    Tee,
    Mower,
    MowerSmall,
    Sand,
    SandSmall,
    Levels,
    Count
};
inline constexpr int kHudPictureCount = static_cast<int>(HudPicture::Count);
inline constexpr int kGaugeFrames = 121;
inline constexpr int kClubMenuFrames = 3;
inline constexpr int kSpinSteps = 5;
inline constexpr int kGuides = 3;
inline constexpr int kPoses = 5;
inline constexpr int kCharacters = 8;
inline constexpr int kSwingFrameHeight = 320;

// File name (without ".fni") and whether the picture is kept compressed.
const char* HudPictureName(HudPicture picture, bool championship);
bool HudPictureCompressed(HudPicture picture);

struct HudSprites {
    present::FniImage pictures[kHudPictureCount];
    present::FniImage gauge[kGaugeFrames];
    present::FniImage clubIcons[14];
    present::FniImage clubMenu[kClubMenuFrames];
    present::FniImage backspinSteps[kSpinSteps];
    present::FniImage sidespinSteps[kSpinSteps];
    present::FniImage guides[kGuides];
    present::FniImage small[2][kCharacters][kPoses];  // gender, character, pose
    bool smallLoaded[2][kCharacters] = {};
    present::FniImage swingSheet;  // the current player's swing
    int swingKey = -1;             // gender * 100 + pose * 10 + character of the loaded sheet
    std::string gameDir;           // "" is the current directory
    std::string language = "ENG";
};

inline const present::FniImage& Picture(const HudSprites& sprites, HudPicture picture) {
    return sprites.pictures[static_cast<int>(picture)];
}

// Loads everything but the golfers (from gameDir/Image and its language folder).
void LoadHudSprites(HudSprites& sprites, const std::string& gameDir, const std::string& language,
                    bool championship);
// The five Small sprites of a (gender, character) set, once however many players use it.
void LoadGolferSet(HudSprites& sprites, bool gender, int character);
// The swing sheet of a player for a pose; kept while the same one is asked for again.
void LoadSwingSheet(HudSprites& sprites, bool gender, int pose, int character);
// Frees every record (each becomes empty).
void FreeHudSprites(HudSprites& sprites);

// The pose of a club: woods 0, irons 1, wedges 2, the putter 4.
int ClubPose(int club);
// The pose letters in pose order.
inline constexpr char kPoseLetters[kPoses + 1] = "DILSP";

}  // namespace screens
