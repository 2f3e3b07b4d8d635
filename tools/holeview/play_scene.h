#pragma once
// The HUD state and view a play screen is drawn with, chosen on the command line.

#include <string>

#include "game/screens/hud_state.h"
#include "game/screens/hud_view.h"

namespace holeview {

struct SceneChoice {
    std::string from = "tee";      // viewpoint of the hole view
    std::string language = "ENG";  // strings, guides and faces
    int players = 1;
    int club = 0;
    int lieClass = 0;
    int menuClub = -1;  // >= 0: the club pop-up is open with that club hovered
    int gauge = -1;     // >= 0: swinging, the gauge at that frame
    std::string hover;  // a control name: shot, club, golfer, grid, chat, power, bite, backspin, sidespin
    float windDirection = 0.6f;
    float windSpeed = 1.5f;
    bool beginner = false;
    bool macroMenu = false;
    bool scoreStrip = false;
    // The result screens: a banner for a ball resting on a surface code (TEE, FWY, GRE, ROU, BNK,
    // WAY, WTR, OOB, OGR) or "holed"; a scoreboard for a mode (stroke, skins, vegas).
    std::string banner;
    std::string board;
    int par = 4;
    int strokes = 3;  // the shooter's strokes when holed
    float shotYards = 187.4f;
    std::string fromSurface = "FWY";  // where the banner's shot was played from
    bool nearLongest = false;         // the contest options (nearest for player 1, longest for player 3)
    bool lastHole = false;
    bool extreme = false;   // names of full length, five-digit and negative balances, big scores
    bool noHeader = false;  // the board as drawn when its header picture is missing
};

// Parses "--name value" options from argv[first...]. False on an unknown option.
bool ParseChoice(int argc, char** argv, int first, SceneChoice& choice, std::string& error);

// Fills the view's match facts (players, names, scores, chat, the shot being prepared) for the choice.
void FillSampleView(const SceneChoice& choice, screens::HudView& view);

// The control a hover name stands for (None when unknown).
screens::HudControl HoverControl(const std::string& name);

}  // namespace holeview
