#include "game/shell/match/hud_clicks.h"

#include "game/course/camera.h"
#include "game/physics/club_table.h"
#include "game/physics/shot_world.h"
#include "game/rules/concede.h"
#include "game/screens/hud_controls.h"
#include "game/screens/hud_layout.h"
#include "game/screens/map_aim.h"
#include "game/shell/chat/chat_send.h"
#include "game/shell/client.h"
#include "game/shell/lobby/lobby_messages.h"
#include "game/shell/match/hud_actions.h"
#include "game/shell/match/match_lines.h"
#include "game/shell/match/match_setup.h"
#include "game/shell/match/swing.h"
#include "game/shell/view/hud_screens.h"
#include "game/shell/view/sounds.h"

namespace shell {

namespace {

using screens::HudControl;

// A point on the course under (x, z), or false where there is no ground.
bool GroundPoint(const Client& client, float x, float z, platform::Vec3& out) {
    physics::ShotWorld world;
    physics::Ground ground;
    if (!MakeShotWorld(client, world) || !physics::GroundAt(world, x, z, &ground)) {
        return false;
    }
    out = ground.point;
    return true;
}

float FlatDistanceSquared(platform::Vec3 a, platform::Vec3 b) {
    return (a.x - b.x) * (a.x - b.x) + (a.z - b.z) * (a.z - b.z);
}

// A click on the map panel at picture position (x, y) aims at the ground under it.
void AimFromMap(Client& client, int x, int y) {
    const course::ViewState& camera = client.view;
    screens::MapFrame frame;
    if (!screens::MakeMapFrame(camera.MapTeePos, client.hole.TeePoint.x, client.hole.TeePoint.z,
                               camera.MapPinPos, client.hole.MapPinPoint.z, frame)) {
        return;
    }
    float cx = 0.0f;
    float cz = 0.0f;
    screens::MapToCourse(frame, x, y, cx, cz);
    platform::Vec3 target;
    if (!GroundPoint(client, cx, cz, target)) {
        return;
    }
    // Only a point nearer to the hole than the ball is: the map is for aiming on towards the pin.
    const platform::Vec3 pin = client.match.rules.pin;
    const platform::Vec3 ball = client.match.shot.ballPos;
    if (FlatDistanceSquared(target, pin) < FlatDistanceSquared(ball, pin)) {
        screens::NoteTargetClicked(client.hud.state, client.clock.NowMs());
        AimAt(client, target);
    }
}

// A click in the view aims at the ground under the surface shown there. The backdrop and the sky
// beyond the hole have no ground under them: a click on them aims nowhere, as on the map.
void AimFromView(Client& client, int x, int y) {
    platform::Vec3 picked;
    platform::Vec3 target;
    if (client.display.device != nullptr &&
        course::ScreenToWorldByDepth(*client.display.device, x, y, picked) &&
        GroundPoint(client, picked.x, picked.z, target)) {
        screens::NoteTargetClicked(client.hud.state, client.clock.NowMs());
        AimAt(client, target);
    }
}

void StepSpin(Client& client, HudControl button, uint8_t& value, int delta, int freeGameString) {
    if (client.config.match.freeGame) {
        ShowAnnouncementLine(client, MatchText(client, freeGameString).text);
        return;
    }
    int v = value;
    screens::StepSpin(v, delta);
    value = static_cast<uint8_t>(v);
    screens::PressStep(client.hud.state, button, client.clock.NowMs());
    PlayGameSound(client, present::GameSound::ButtonOv);
}

void ToggleBite(Client& client) {
    rules::MatchState& m = client.match;
    if (client.config.match.freeGame) {
        ShowAnnouncementLine(client, MatchText(client, kStringBiteInFreeGame).text);
        return;
    }
    if (!physics::BiteOffered(m.shot.club)) {
        return;
    }
    m.shot.bite = m.shot.bite ? 0 : 1;
    ShowAnnouncementLine(client, MatchText(client, m.shot.bite ? kStringBiteOn : kStringBiteOff,
                                           kPlaceholderId, SlotName(client, m.localSlot))
                                     .text);
    PlayGameSound(client, present::GameSound::ButtonOv);
}

void ClickInClubMenu(Client& client, const screens::HudHit& hit) {
    if (hit.control == HudControl::ClubEntry) {
        ChooseClub(client, hit.index);
    }
    screens::CloseClubMenu(client.hud.state, client.clock.NowMs());
}

void ClickControl(Client& client, const screens::HudHit& hit, int x, int y) {
    screens::HudState& hud = client.hud.state;
    const uint32_t now = client.clock.NowMs();
    const bool turn = LocalTurnActive(client);
    switch (hit.control) {
        case HudControl::Chat:
            hud.macroMenuOpen = !hud.macroMenuOpen;
            PlayGameSound(client, present::GameSound::ButtonOv);
            break;
        case HudControl::MacroRow:
            SendQuickChatFromMenu(client, hit.index);
            hud.macroMenuOpen = false;
            break;
        case HudControl::Bite:
            ToggleBite(client);
            break;
        case HudControl::BackspinDown:
        case HudControl::BackspinUp:
            StepSpin(client, hit.control, client.match.spin.backspin,
                     hit.control == HudControl::BackspinUp ? 1 : -1, kStringBackSpinInFreeGame);
            break;
        case HudControl::SidespinLeft:
        case HudControl::SidespinRight:
            StepSpin(client, hit.control, client.match.spin.sidespin,
                     hit.control == HudControl::SidespinRight ? 1 : -1, kStringSideSpinInFreeGame);
            break;
        case HudControl::GolferToggle:
        case HudControl::GridToggle:
            screens::PressToggle(hud, hit.control, client.match.shooter == client.match.localSlot, now);
            client.scene.GreenGridOn = hud.gridOn;
            PlayGameSound(client, present::GameSound::ButtonOv);
            break;
        case HudControl::Give:
            PressConcede(client);
            break;
        case HudControl::PowerShot:
            PressPowerShot(client);
            break;
        case HudControl::Close:
            PressExit(client);
            return;
        case HudControl::Shot:
            PressSwingButton(client);
            break;
        case HudControl::Club:
            if (turn) {
                screens::OpenClubMenu(hud, now);
                PlayGameSound(client, present::GameSound::ButtonOv);
            }
            break;
        case HudControl::MapPanel:
            if (turn) {
                AimFromMap(client, x, y);
            }
            break;
        case HudControl::View3D:
            if (turn) {
                AimFromView(client, x, y);
            }
            break;
        default:
            break;
    }
}

}  // namespace

void HandleHudClick(Client& client, int x, int y) {
    if (client.shell.gameState == GameState::Swing) {
        SwingClick(client);
        return;
    }
    if (client.shell.gameState != GameState::Playing) {
        return;
    }
    screens::HudView view;
    FillHudView(client, view);
    const screens::HudHit hit = screens::HitTestHud(client.hud.state, client.hud.sprites, view, x, y);
    if (client.hud.state.menuPhase != screens::ClubMenuPhase::Closed) {
        ClickInClubMenu(client, hit);
    } else {
        ClickControl(client, hit, x, y);
    }
    if (!client.shell.quitting) {
        RequestFullRedraw(client);
    }
}

void HandleHudHover(Client& client, int x, int y) {
    if (client.shell.gameState != GameState::Playing) {
        return;
    }
    screens::HudView view;
    FillHudView(client, view);
    if (screens::UpdateHudHover(client.hud.state, client.hud.sprites, view, x, y)) {
        RequestFullRedraw(client);
    }
}

}  // namespace shell
