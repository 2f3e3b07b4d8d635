// sprites hud HUD_ART_DIR IMAGE_DIR
//   every HUD picture of the game's image folder (buttons from buttons.json and icons/, the shot
//   button and gauge frames, wind, level badges, club pop-up, markers, spin steps, effects, and the
//   beginner guides per language from guides.json, the scoreboard header)
// sprites golfers CHARACTERS.json SWING_TIMING.json M|W GOLFER_DIR
//   the Small sprites and swing sheets of one gender
#include <cstdio>
#include <string>
#include <string_view>

#include "tools/sprites/board_art.h"
#include "tools/sprites/button_art.h"
#include "tools/sprites/golfer_art.h"
#include "tools/sprites/guide_art.h"
#include "tools/sprites/hud_art.h"

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: sprites hud HUD_ART_DIR IMAGE_DIR\n"
                 "       sprites golfers CHARACTERS.json SWING_TIMING.json M|W GOLFER_DIR\n");
    return 2;
}

int Hud(const std::string& art, const std::string& out) {
    std::string error;
    const bool made = sprites::MakeButtons(art + "/buttons.json", art + "/icons", out, error) &&
                      sprites::MakeGauge(out, error) && sprites::MakeWind(out, error) &&
                      sprites::MakeLevelBadges(out, error) && sprites::MakeClubArt(out, error) &&
                      sprites::MakeMarkers(out, error) && sprites::MakeSpinSteps(out, error) &&
                      sprites::MakeEffects(out, error) && sprites::MakeScoreHeader(out, error) &&
                      sprites::MakeGuides(art + "/guides.json", out, error);
    if (!made) {
        std::fprintf(stderr, "sprites: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string_view command = argc > 1 ? argv[1] : "";
    if (command == "hud" && argc == 4) {
        return Hud(argv[2], argv[3]);
    }
    if (command == "golfers" && argc == 6 &&
        (std::string_view(argv[4]) == "M" || std::string_view(argv[4]) == "W")) {
        std::string error;
        if (!sprites::MakeGolfers(argv[2], argv[3], argv[4], argv[5], error)) {
            std::fprintf(stderr, "sprites: %s\n", error.c_str());
            return 1;
        }
        return 0;
    }
    return Usage();
}
