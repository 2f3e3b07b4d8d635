#include "game/screens/hud_sprites.h"

#include <cstdio>

namespace screens {
namespace {

// The impact animations are cut into frames when drawn, which only an expanded picture allows.
struct PictureEntry {
    const char* name;
    bool compressed;
};

constexpr PictureEntry kPictures[kHudPictureCount] = {
    {"BShot", true},
    {"BShotOn", true},
    {"NoWind", false},
    {"AWind", false},
    {"BClub", true},
    {"BClubOn", true},
    {"BClubBk", true},
    {"PWait", true},
    {"ABall", false},
    {"PDivot", false},
    {"OtBall", false},
    {"MkBall", false},
    {"MkFlag", true},
    {"MkHole", true},
    {"AWater", false},
    {"APoll", false},
    {"SPoll", false},
    {"GlaKind", false},
    {"BGolfOn", true},
    {"BGolfOnU", true},
    {"BGolfOf", true},
    {"BGolfOfU", true},
    {"BGridOn", true},
    {"BGridOnU", true},
    {"BGridOf", true},
    {"BGridOfU", true},
    {"BSpinFalse", true},
    {"BSpinFalseOver", true},
    {"BSpinTrue", true},
    {"BSpinTrueOver", true},
    {"BPow", true},
    {"BPowOn", true},
    {"BChat", true},
    {"BChatD", true},
    {"BAngleUp", true},
    {"BAngleUpD", true},
    {"BAngleDn", true},
    {"BAngleDnD", true},
    {"BCurveLeft", true},
    {"BCurveLeftD", true},
    {"BCurveRight", true},
    {"BCurveRightD", true},
    {"BeginerArrowBig0", true},
    {"BeginerArrowBig1", true},
    {"BeginerArrowSmall0", true},
    {"BeginerArrowSmall1", true},
    {"BGive", true},
    {"BGiveOn", true},
    {"BClose", true},
    {"ATee", false},
    {"AMower", false},
    {"AMowerS", false},
    {"ASand", false},
    {"ASandS", false},
    {"ULevel", false},
};

std::string Join(const std::string& dir, const std::string& name) {
    return dir.empty() ? name : dir + "/" + name;
}

// Loads one picture; a failure leaves the record empty and is reported once.
void LoadOne(present::FniImage& image, const std::string& path, bool compressed) {
    present::FreeFni(image);
    if (present::LoadFni(image, path.c_str(), compressed) != 0) {
        std::fprintf(stderr, "HUD picture missing or unreadable: %s\n", path.c_str());
    }
}

}  // namespace

const char* HudPictureName(HudPicture picture, bool championship) {
    if (picture == HudPicture::Levels && championship) {
        return "ChampULevel";
    }
    return kPictures[static_cast<int>(picture)].name;
}

bool HudPictureCompressed(HudPicture picture) {
    return kPictures[static_cast<int>(picture)].compressed;
}

int ClubPose(int club) {
    if (club <= 3) {
        return 0;
    }
    if (club <= 10) {
        return 1;
    }
    return club <= 12 ? 2 : 4;
}

void LoadHudSprites(HudSprites& sprites, const std::string& gameDir, const std::string& language,
                    bool championship) {
    sprites.gameDir = gameDir;
    sprites.language = language;
    const std::string image = Join(gameDir, "Image");
    char name[64];
    for (int i = 0; i < kHudPictureCount; ++i) {
        const auto picture = static_cast<HudPicture>(i);
        LoadOne(sprites.pictures[i], Join(image, HudPictureName(picture, championship)) + ".fni",
                HudPictureCompressed(picture));
    }
    for (int frame = 0; frame < kGaugeFrames; ++frame) {
        std::snprintf(name, sizeof name, "Shot/AShot%03d.fni", frame);
        LoadOne(sprites.gauge[frame], Join(image, name), true);
    }
    for (int club = 0; club < 14; ++club) {
        std::snprintf(name, sizeof name, "BClub_%02d.fni", club);
        LoadOne(sprites.clubIcons[club], Join(image, name), true);
    }
    for (int frame = 0; frame < kClubMenuFrames; ++frame) {
        std::snprintf(name, sizeof name, "BClubM%d.fni", frame);
        LoadOne(sprites.clubMenu[frame], Join(image, name), true);
    }
    for (int step = 0; step < kSpinSteps; ++step) {
        std::snprintf(name, sizeof name, "BAngleStep%d.fni", step);
        LoadOne(sprites.backspinSteps[step], Join(image, name), true);
        std::snprintf(name, sizeof name, "BCurveStep%d.fni", step);
        LoadOne(sprites.sidespinSteps[step], Join(image, name), true);
    }
    for (int guide = 0; guide < kGuides; ++guide) {
        std::snprintf(name, sizeof name, "BeginerGuide%d.fni", guide);
        LoadOne(sprites.guides[guide], Join(Join(image, language), name), true);
    }
}

void LoadGolferSet(HudSprites& sprites, bool gender, int character) {
    if (character < 0 || character >= kCharacters || sprites.smallLoaded[gender][character]) {
        return;
    }
    sprites.smallLoaded[gender][character] = true;
    char name[64];
    for (int pose = 0; pose < kPoses; ++pose) {
        std::snprintf(name, sizeof name, "Golfer/Small/%s%c%02d.fni", gender ? "W" : "M", kPoseLetters[pose],
                      character);
        LoadOne(sprites.small[gender][character][pose], Join(sprites.gameDir, name), true);
    }
}

void LoadSwingSheet(HudSprites& sprites, bool gender, int pose, int character) {
    if (character < 0 || character >= kCharacters || pose < 0 || pose >= kPoses) {
        present::FreeFni(sprites.swingSheet);
        sprites.swingKey = -1;
        return;
    }
    const int key = (gender ? 100 : 0) + pose * 10 + character;
    if (key == sprites.swingKey) {
        return;
    }
    sprites.swingKey = key;
    char name[64];
    std::snprintf(name, sizeof name, "Golfer/%s%c%02d.fni", gender ? "W" : "M", kPoseLetters[pose],
                  character);
    LoadOne(sprites.swingSheet, Join(sprites.gameDir, name), false);
}

void FreeHudSprites(HudSprites& sprites) {
    auto freeAll = [](present::FniImage* images, int count) {
        for (int i = 0; i < count; ++i) {
            present::FreeFni(images[i]);
        }
    };
    freeAll(sprites.pictures, kHudPictureCount);
    freeAll(sprites.gauge, kGaugeFrames);
    freeAll(sprites.clubIcons, 14);
    freeAll(sprites.clubMenu, kClubMenuFrames);
    freeAll(sprites.backspinSteps, kSpinSteps);
    freeAll(sprites.sidespinSteps, kSpinSteps);
    freeAll(sprites.guides, kGuides);
    freeAll(&sprites.small[0][0][0], 2 * kCharacters * kPoses);
    present::FreeFni(sprites.swingSheet);
    for (auto& row : sprites.smallLoaded) {
        for (bool& loaded : row) {
            loaded = false;
        }
    }
    sprites.swingKey = -1;
}

}  // namespace screens
