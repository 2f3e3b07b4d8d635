// The play screen's HUD as the frame loop asks for it: the pictures, the full redraw over a new
// render of the view, and the per-frame overlay. What the HUD shows is gathered from the client's
// records into a HudView first.
#include "game/shell/view/hud_screens.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "game/core/surface_kind.h"
#include "game/course/camera.h"
#include "game/course/scene_renderer.h"
#include "game/physics/auto_club.h"
#include "game/physics/club_table.h"
#include "game/physics/lie_table.h"
#include "game/present/text.h"
#include "game/rules/concede.h"
#include "game/screens/hud_controls.h"
#include "game/screens/hud_draw.h"
#include "game/screens/map_aim.h"
#include "game/screens/replay_view.h"
#include "game/screens/scoreboard.h"
#include "game/screens/shot_effects.h"
#include "game/screens/shot_result.h"
#include "game/screens/slope_readout.h"
#include "game/shell/chat/chat_display.h"
#include "game/shell/client.h"

namespace shell {
namespace {

constexpr uint32_t kOverlayRefreshMs = 100;
constexpr int kSlopeTitleStrings[2] = {28, 29};
constexpr int kSplashFrames = 10;

const char* LanguageOf(const Client& client) {
    return client.config.options.language[0] != '\0' ? client.config.options.language : "ENG";
}

float Yards(platform::Vec3 a, platform::Vec3 b) {
    return std::hypot(a.x - b.x, a.z - b.z);
}

// The chat history's lines, oldest first as the HUD draws them upwards from the bottom.
void FillChatLines(const ChatHistory& history, screens::HudView& view) {
    static_assert(screens::kHudChatLines == kChatHistoryLines);
    for (int i = 0; i < kChatHistoryLines; ++i) {
        const ChatLine& line = history.lines[kChatHistoryLines - 1 - i];
        view.chat[i] = {line.text, line.colour};
    }
}

// The players as the match file names them.
void FillPlayers(const Client& client, screens::HudView& view) {
    view.playerCount = 0;
    for (int slot = 0; slot < kPlayerSlots; ++slot) {
        const PlayerInfo& info = client.config.players[slot];
        screens::HudPlayerBar& bar = view.players[slot];
        bar.present = info.name[0] != '\0';
        if (!bar.present) {
            continue;
        }
        ++view.playerCount;
        std::strncpy(bar.name, info.name, sizeof bar.name - 1);
        bar.colourIndex = info.colour & 3;
        bar.level = info.level;
        bar.gender = info.sex != 0;
        bar.character = info.characterType;
        bar.ready = true;
    }
}

// The view's aim and the map: the target's projection with the main camera, map positions.
void FillAim(Client& client, screens::HudView& view, platform::Vec3 ball, platform::Vec3 target) {
    const course::ViewState& camera = client.view;
    view.viewHeading =
        std::atan2(camera.CameraAim.x - camera.CameraAnchor.x, camera.CameraAim.z - camera.CameraAnchor.z);
    view.targetDistance = Yards(ball, target);
    int pixel[2] = {};
    float depth = 0.0f;
    if (client.display.device != nullptr &&
        course::ProjectToScreen(*client.display.device, target, nullptr, pixel, &depth)) {
        view.targetProjected = true;
        view.targetScreenX = pixel[0];
        view.targetScreenY = pixel[1];
        view.targetDepth = depth;
    }
    view.mapPinX = screens::kMapPanelX + camera.MapPinPos[0];
    view.mapPinY = screens::kMapPanelY + camera.MapPinPos[1];
    const course::HoleState& hole = client.hole;
    screens::MapFrame frame;
    if (screens::MakeMapFrame(camera.MapTeePos, hole.TeePoint.x, hole.TeePoint.z, camera.MapPinPos,
                              hole.MapPinPoint.z, frame)) {
        screens::CourseToMap(frame, target.x, target.z, view.mapTargetX, view.mapTargetY);
        for (int slot = 0; slot < screens::kHudPlayers; ++slot) {
            const platform::Vec3 at = slot == view.currentSlot ? ball : client.scene.balls[slot].position;
            screens::CourseToMap(frame, at.x, at.z, view.players[slot].mapX, view.players[slot].mapY);
        }
    }
    if (hole.prepared) {
        const screens::SlopeReadout slopes =
            screens::ReadSlopes(hole.grid, camera.CameraAnchor, camera.CameraAim, target);
        view.slopeAcross = slopes.across;
        view.slopeAlong = slopes.along;
    }
}

screens::HudCanvas CanvasFor(Client& client, const screens::HudView& view) {
    return {client.display,   client.text, client.config.hudFace, ChatFace(client), client.hud.sprites,
            client.hud.state, view};
}

// The match's own facts: whose turn, the shot being prepared, scores and the buttons it offers.
void FillMatchFacts(const Client& client, screens::HudView& view) {
    const rules::MatchState& m = client.match;
    const int shooter = m.shooter >= 0 && m.shooter < kPlayerSlots ? m.shooter : 0;
    view.localSlot = m.localSlot;
    view.currentSlot = shooter;
    // The local player's turn only when the match names him as the shooter: with no shooter (or
    // an observer) nobody's controls are offered.
    view.localTurn = !view.observer && m.localSlot != rules::kNoPlayer && m.shooter == m.localSlot;
    view.turnActive = client.turn.active;
    view.club = m.shot.club < physics::kClubCount ? m.shot.club : 0;
    view.lieClass = m.shot.lieClass;
    // The lie the shot is played from: the simulation moves the shot's surface to where the ball
    // comes to rest before the replay, which neither the shot line nor the green's panels may
    // give away.
    const uint8_t lie = m.shot.startSurface;
    view.lieName = lie;
    view.lieNameText = physics::LieRow(lie).name;
    view.onGreen = lie == core::kSurfaceGreen;
    view.backspin = m.spin.backspin;
    view.sidespin = m.spin.sidespin;
    view.bite = m.shot.bite != 0;
    // The bite toggle is the shooter's, for clubs 7-12 and never on the green.
    view.biteOffered =
        view.localTurn && physics::BiteOffered(view.club) && m.shot.lieClass != screens::kLiePutting;
    view.powerShotShown = view.localTurn && m.powerShotAvailable;
    view.powerShotAllowance = m.powerShotAllowance;
    view.giveShown = m.concedeArmed && rules::GiveAllowed(m.rules, m.options, m.localSlot, m.shot);
    view.gaugeHint = view.beginner ? physics::GaugeHintMark(view.club, m.shot.pinDistance) : 0;
    view.windDirection = m.wind.windDirection;
    view.windSpeed = m.wind.windSpeed;
    view.par = m.rules.par;
    view.distanceToHole = m.shot.pinDistance;
    for (int slot = 0; slot < kPlayerSlots; ++slot) {
        const rules::PlayerRecord& record = m.rules.players[slot];
        screens::HudPlayerBar& bar = view.players[slot];
        bar.strokes = record.strokes;
        bar.scoreToPar = record.overPar;
        bar.balance = record.balance;
        bar.ready = m.slots[slot].ready != 0;
    }
    const rules::PlayerRecord& current = m.rules.players[shooter];
    // The turn's preparation has already counted the stroke about to be played.
    view.strokeNumber = std::max<int>(current.strokes, 1);
    view.beforeFirstShot = view.beginner && current.totalStrokes == 0 && current.strokes <= 1;
    // The score strip: the holes of the match played so far.
    const int first = client.config.match.startHole;
    view.holesPlayed = 0;
    for (int hole = first; hole < m.currentHole && view.holesPlayed < 18; ++hole) {
        const int index = rules::HoleIndex(hole);
        if (index >= 0 && hole < kParTableSize) {
            view.holeStrokes[view.holesPlayed] = current.scorecard[index];
            view.holePars[view.holesPlayed] = client.config.parByHole[hole];
            ++view.holesPlayed;
        }
    }
}

// The replay's picture from the replay state: the swing frame, the impact animation in the first
// steps after the club meets the ball, the ball at its trajectory point and the splash.
void FillReplayPicture(const Client& client, const screens::HudView& view, screens::ReplayPicture& picture) {
    const ReplayState& r = client.replay;
    const rules::MatchState& m = client.match;
    const physics::ShotTrajectory& path = r.trajectory;
    const int last = std::clamp(path.trajectoryCount, 0, physics::kTrajectoryCapacity - 1);
    picture.swingFrame = r.animFrame;
    const physics::TrajectoryPoint& start = path.points[0];
    if (start.visible != 0) {
        picture.impactX = start.screen[0];
        picture.impactY = start.screen[1];
    }
    const float carried = Yards(start.pos, path.points[last].pos);
    const screens::HudPicture impact =
        screens::ImpactEffect(m.shot.startSurface, m.shot.club, view.strokeNumber, carried);
    const int sinceImpact = r.stepCount - r.swingSteps;
    if (impact != screens::HudPicture::Count && sinceImpact >= 0 &&
        sinceImpact < screens::ImpactFrameCount(impact)) {
        picture.impact = impact;
        picture.impactFrame = sinceImpact;
    }
    const int index = std::clamp(r.index, 0, last);
    const physics::TrajectoryPoint& ball = path.points[index];
    picture.ballShown = ball.visible != 0 && !(index == last && path.hiddenAtEnd != 0);
    picture.ballX = ball.screen[0];
    picture.ballY = ball.screen[1];
    picture.ballSize = screens::BallSizeIndex(ball.scale);
    if (r.splashing) {
        picture.splash = true;
        picture.splashFrame =
            std::clamp(kSplashFrames - (r.splashEndStep - r.stepCount), 0, kSplashFrames - 1);
        picture.splashX = path.points[last].screen[0];
        picture.splashY = path.points[last].screen[1];
    }
}

// The scene under the result screens: the shot's sprites where the replay left them (none for a
// shot that was not replayed here, such as a conceded putt), the divot and the inset's frame.
screens::ResultScene ResultSceneOf(const Client& client, const screens::HudView& view) {
    screens::ResultScene scene;
    const physics::ShotInput& rest = client.match.restedShot;
    const physics::TrajectoryPoint& first = client.replay.trajectory.points[0];
    if (Yards(first.pos, rest.startPos) < 0.01f) {
        FillReplayPicture(client, view, scene.picture);
        scene.picture.impact = screens::HudPicture::Count;
        scene.picture.splash = false;
    }
    scene.divot = view.lieClass == screens::kLieDivot;
    scene.insetFrame =
        screens::InsetFramed(Yards(rest.startPos, rest.ballPos), rest.surface, rest.startSurface);
    return scene;
}

// The inset view of the ball where it came to rest, inside the frame the scene layer drew.
void RenderRestInset(Client& client) {
    if (!client.hole.prepared || client.display.device == nullptr) {
        return;
    }
    const physics::ShotInput& rest = client.match.restedShot;
    platform::Device3D& device = *client.display.device;
    course::PlaceInsetCamera(device, client.view, rest.ballPos, rest.startSurface == core::kSurfaceGreen);
    course::DrawInsetScene(device, client.hole, client.scene, rest.ballPos);
    course::PlaceMainCamera(device, client.view, client.display.displayWidth, client.display.displayHeight);
}

// The scene layer both result screens start from; view is filled for the canvas.
void DrawResultLayer(Client& client, screens::HudView& view) {
    FillHudView(client, view);
    const screens::HudPlayerBar& shooter = view.players[view.currentSlot];
    screens::LoadSwingSheet(client.hud.sprites, shooter.gender, client.match.shot.swingKind,
                            shooter.character);
    const screens::ResultScene scene = ResultSceneOf(client, view);
    screens::HudCanvas canvas = CanvasFor(client, view);
    screens::DrawResultScene(canvas, scene);
    if (scene.insetFrame) {
        RenderRestInset(client);
    }
}

screens::BoardMode BoardModeOf(int32_t gameMode) {
    switch (gameMode) {
        case rules::kModeSkins:
            return screens::BoardMode::Skins;
        case rules::kModeVegas:
            return screens::BoardMode::Vegas;
        default:
            return screens::BoardMode::StrokePlay;
    }
}

void FillScoreboardView(const Client& client, screens::ScoreboardView& board) {
    const rules::MatchState& m = client.match;
    board.mode = BoardModeOf(m.options.gameMode);
    board.nearLongest = m.options.optNear || m.options.optLongest;
    board.courseName = client.config.match.courseName;
    board.hole = m.currentHole;
    board.firstHole = m.options.startHole;
    board.lastHole = m.options.endHole;
    board.par = m.rules.par;
    board.playerCount = std::clamp(m.options.playerCount, 0, screens::kBoardRows);
    for (int slot = 0; slot < board.playerCount; ++slot) {
        const rules::PlayerRecord& record = m.rules.players[slot];
        screens::BoardPlayer& player = board.players[slot];
        player.name = client.config.players[slot].name;
        player.strokes = record.strokes;
        player.toPar = record.overPar;
        player.points = record.points;
        player.balance = record.balance;
    }
    board.nearestPlayer = m.rules.nearestWinner;
    board.longestPlayer = m.rules.longestWinner;
}

}  // namespace

void FillHudView(Client& client, screens::HudView& view) {
    const LaunchConfig& config = client.config;
    view = screens::HudView{};
    view.nowMs = client.clock.NowMs();
    view.language = LanguageOf(client);
    view.observer = config.match.localIsObserver != 0;
    view.localSlot = config.match.localSlot;
    view.beginner = config.match.gameLevel == 2;
    view.freeGame = config.match.freeGame != 0;
    view.courseName = config.match.courseName;
    view.holeName = config.hole.name;
    view.par = config.hole.par;
    for (int i = 0; i < screens::kHudMacroRows; ++i) {
        view.macros[i] = config.quickChat.text[i];
    }
    FillChatLines(client.chat.history, view);
    view.slopeTitles[0] = config.strings.text[kSlopeTitleStrings[0]];
    view.slopeTitles[1] = config.strings.text[kSlopeTitleStrings[1]];
    FillPlayers(client, view);
    FillMatchFacts(client, view);
    view.swinging = client.shell.gameState == GameState::Swing;
    view.replaying = client.shell.gameState == GameState::Replay;
    // While the club swings and the ball flies, the aim's distance and the map keep the ball where
    // the shot is played from: the shot's ball position already holds where the ball will rest.
    const physics::ShotInput& shot = client.match.shot;
    FillAim(client, view, view.swinging || view.replaying ? shot.startPos : shot.ballPos, shot.aimTarget);
    view.showSlopes = screens::SlopesShown(client.hud.state, view.onGreen, view.observer, view.nowMs);
}

void LoadHudSprites(Client& client) {
    screens::Hud& hud = client.hud;
    screens::LoadHudSprites(hud.sprites, "", LanguageOf(client), false);
    for (const PlayerInfo& player : client.config.players) {
        if (player.name[0] != '\0') {
            screens::LoadGolferSet(hud.sprites, player.sex != 0, player.characterType);
        }
    }
}

void FreeHudSprites(Client& client) {
    screens::FreeHudSprites(client.hud.sprites);
}

void RedrawPlayScreen(Client& client) {
    if (client.display.backBuffer == nullptr) {
        return;
    }
    // The club menu keeps folding when every frame is a full redraw (clicks in quick succession).
    screens::AdvanceClubMenu(client.hud.state, client.clock.NowMs());
    client.scene.GreenGridOn = client.hud.state.gridOn;
    if (client.hole.prepared && client.display.device != nullptr) {
        // A click that changed only the controls leaves the scene as it was: its saved copy is put back.
        course::DrawOrRestoreMainScene(client.display, client.hole, client.view, client.scene,
                                       client.mainView);
    }
    screens::HudView view;
    FillHudView(client, view);
    screens::HudCanvas canvas = CanvasFor(client, view);
    screens::DrawHud(canvas);
    client.hud.state.lastOverlayMs = view.nowMs;
}

void DrawHud(Client& client) {
    screens::HudState& state = client.hud.state;
    const GameState shown = client.shell.gameState;
    if (shown == GameState::ShotResult || shown == GameState::Scoreboard) {
        return;  // the banner and the board are whole pictures, redrawn only in full
    }
    if (client.shell.gameState == GameState::Replay) {
        if (client.replay.stepCount != state.lastReplayStep) {
            RedrawReplayView(client);
        }
        return;
    }
    if (shown != GameState::Playing) {
        return;  // waiting, the picture stays as the last state left it: a banner, a board, a view
    }
    const uint32_t now = client.clock.NowMs();
    const bool animated = screens::AdvanceClubMenu(state, now);
    if (!animated && now - state.lastOverlayMs < kOverlayRefreshMs) {
        return;
    }
    state.lastOverlayMs = now;
    screens::HudView view;
    FillHudView(client, view);
    screens::HudCanvas canvas = CanvasFor(client, view);
    screens::DrawTargetMarker(canvas);
    screens::DrawControls(canvas, true);
}

void DrawSwingGaugeStep(Client& client) {
    const physics::GaugeState& gauge = client.swing.gauge;
    const uint32_t now = client.clock.NowMs();
    if (static_cast<int32_t>(now - gauge.gaugeStart) < 0 || gauge.gaugeRate <= 0) {
        return;  // the swing button's short delay before the gauge runs
    }
    screens::HudView view;
    FillHudView(client, view);
    screens::HudCanvas canvas = CanvasFor(client, view);
    screens::DrawSwingGauge(canvas,
                            screens::GaugeFrame(gauge.gaugeStart, gauge.gaugeTop, now,
                                                static_cast<uint32_t>(gauge.gaugeRate), !gauge.gaugeRising));
}

void RedrawReplayView(Client& client) {
    screens::HudView view;
    FillHudView(client, view);
    const screens::HudPlayerBar& shooter = view.players[view.currentSlot];
    screens::LoadSwingSheet(client.hud.sprites, shooter.gender, client.match.shot.swingKind,
                            shooter.character);
    screens::ReplayPicture picture;
    FillReplayPicture(client, view, picture);
    screens::HudCanvas canvas = CanvasFor(client, view);
    screens::DrawReplayView(canvas, picture);
    client.hud.state.lastReplayStep = client.replay.stepCount;
}
void DrawShotResult(Client& client) {
    if (client.display.backBuffer == nullptr) {
        return;
    }
    screens::HudView view;
    DrawResultLayer(client, view);
    const rules::MatchState& m = client.match;
    const physics::ShotInput& rest = m.restedShot;
    const int shooter = rest.player % kPlayerSlots;
    screens::ShotResultView banner;
    banner.shooterName = client.config.players[shooter].name;
    banner.shooterLevel = client.config.players[shooter].level;
    banner.outcome.holed = rest.finished != 0 && rest.limitReached == 0;
    banner.outcome.restSurface = rest.surface;
    banner.outcome.startSurface = rest.startSurface;
    banner.outcome.par = m.rules.par;
    banner.outcome.strokes = m.rules.players[shooter].strokes;
    banner.outcome.yards = Yards(rest.startPos, rest.ballPos);
    screens::HudCanvas canvas = CanvasFor(client, view);
    screens::DrawShotResultBanner(canvas, banner);
}

void DrawScoreboard(Client& client) {
    if (client.display.backBuffer == nullptr) {
        return;
    }
    screens::HudView view;
    DrawResultLayer(client, view);
    screens::ScoreboardView board;
    FillScoreboardView(client, board);
    screens::HudCanvas canvas = CanvasFor(client, view);
    screens::DrawScoreboardScreen(canvas, board);
}

void DrawNoticeLines(Client& client, int firstString) {
    if (client.display.backBuffer == nullptr || firstString < 0 || firstString + 1 >= kGameStringCount) {
        return;
    }
    present::SetTextFont(client.text, client.config.hudFace, 8, 16, true);
    for (int line = 0; line < 2; ++line) {
        present::DrawTextAt(client.text, *client.display.backBuffer, 400, 280 + 24 * line, 0xFFFF00,
                            client.config.strings.text[firstString + line], present::kAlignCenter);
    }
}

}  // namespace shell
