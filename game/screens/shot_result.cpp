#include "game/screens/shot_result.h"

#include <cmath>
#include <cstdio>

#include "game/core/surface_kind.h"
#include "game/physics/lie_table.h"
#include "game/present/draw_primitives.h"
#include "game/rules/result_names.h"
#include "game/screens/score_text.h"

namespace screens {
namespace {

constexpr float kInsetMinYards = 10.0f;
constexpr int kBigTextDrop = 5;
constexpr int kDistanceDrop = 45;
constexpr int kNameX = kBadgeX + 44;

std::string LieName(int surface) {
    if (surface < 0 || surface >= core::kSurfaceKindCount) {
        return "";
    }
    return physics::LieRow(surface).name;
}

std::string DistanceLine(float yards) {
    char line[40];
    if (!std::isfinite(yards)) {
        yards = 0.0f;
    }
    if (yards < 5.0f) {
        std::snprintf(line, sizeof line, "%4.2fyd Shot", static_cast<double>(yards));
    } else {
        std::snprintf(line, sizeof line, "%3dyd Shot", static_cast<int>(std::fmin(yards, 99999.0f)));
    }
    return line;
}

}  // namespace

ShotResultLines ComposeShotResult(const ShotOutcome& outcome) {
    ShotResultLines lines;
    if (!outcome.holed) {
        lines.headline = LieName(outcome.restSurface);
        if (outcome.restSurface != core::kSurfaceOutOfBounds) {
            lines.distance = DistanceLine(outcome.yards);
        }
        return lines;
    }
    lines.headline = rules::ResultName(outcome.par, outcome.strokes);
    if (lines.headline.empty()) {
        // Beyond the table (a par other than 3-5, or more strokes than it lists): the score to par.
        char toPar[16];
        FormatToPar(toPar, sizeof toPar, outcome.strokes - outcome.par);
        lines.headline = toPar;
    }
    if (outcome.startSurface != core::kSurfaceGreen) {
        lines.distance = DistanceLine(outcome.yards);
    }
    return lines;
}

bool InsetFramed(float yardsFromStart, int restSurface, int startSurface) {
    const bool lost = restSurface == core::kSurfaceWater || restSurface == core::kSurfaceOutOfBounds;
    return (yardsFromStart > kInsetMinYards && !lost) || startSurface == core::kSurfaceGreen;
}

void DrawResultScene(HudCanvas& canvas, const ResultScene& scene) {
    if (canvas.display.backBuffer == nullptr) {
        return;
    }
    DrawShotSprites(canvas, scene.picture);
    if (scene.divot) {
        const present::FniImage& divot = Picture(canvas.sprites, HudPicture::Divot);
        DrawPicture(*canvas.display.backBuffer, divot, kBallScreenX - divot.width / 2,
                    kBallScreenY - divot.height / 2);
    }
    if (scene.insetFrame) {
        DrawInsetFrame(canvas);
    }
    DrawMapPanel(canvas);
}

void DrawShotResultBanner(HudCanvas& canvas, const ShotResultView& view) {
    if (canvas.display.backBuffer == nullptr) {
        return;
    }
    platform::DrawSurface& back = *canvas.display.backBuffer;
    present::FillRect(back, kNameBox, kPanelColour);
    DrawLevelBadge(canvas, kBadgeX, kBadgeY, view.shooterLevel);
    present::SetTextFont(canvas.text, canvas.face, 10, 20, true);
    const std::string name =
        FitToWidth(view.shooterName, canvas.text.codePage, kNameBox.right - 4 - kNameX,
                   [&](const std::string& t) { return present::TextWidth(canvas.text, t.c_str()); });
    present::DrawTextAt(canvas.text, back, kNameX, kNameBox.top + 3, kWhite, name.c_str(),
                        present::kAlignLeft);
    present::DarkenRect(back, kBanner);
    DrawChatLines(canvas);
    const ShotResultLines lines = ComposeShotResult(view.outcome);
    const int middle = back.width / 2;
    const int top = kBanner.top + kBigTextDrop;
    present::SetTextFont(canvas.text, "Arial", 16, 32, true);
    present::DrawTextAt(canvas.text, back, middle, top, kYellow, lines.headline.c_str(),
                        present::kAlignCenter);
    if (!lines.distance.empty()) {
        present::SetTextFont(canvas.text, "Arial", 12, 30, false);
        present::DrawTextAt(canvas.text, back, middle, top + kDistanceDrop, kWhite, lines.distance.c_str(),
                            present::kAlignCenter);
    }
}

}  // namespace screens
