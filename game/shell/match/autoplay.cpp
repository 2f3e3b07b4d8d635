#include "game/shell/match/autoplay.h"

#include "game/course/camera.h"
#include "game/screens/hud_layout.h"
#include "game/shell/client.h"
#include "game/shell/match/hud_actions.h"
#include "game/shell/match/match_steps.h"
#include "game/shell/match/shot_plan.h"
#include "game/shell/match/swing.h"

namespace shell {

namespace {

enum AutoplayStep { kNotStarted = 0, kThink, kClubMenu, kClubChosen, kAimed, kSwinging, kTopClicked, kDone };

constexpr int kThinkMinMs = 400;
constexpr int kThinkSpreadMs = 800;
constexpr int kAddressMs = 500;
constexpr int kMenuMs = 400;
constexpr int kRetryMs = 100;
constexpr int kViewBottom = 530;
// The hand's spread in gauge units, at each click.
constexpr float kTopSpread = 3.0f;
constexpr float kImpactSpread = 2.4f;

// A roughly bell-shaped error in -spread .. spread.
float HandError(core::Rand15& rand, float spread) {
    const float sum = rand.NextUnit() + rand.NextUnit() + rand.NextUnit();
    return (sum / 1.5f - 1.0f) * spread;
}

bool Due(const Client& client, uint32_t atMs) {
    return static_cast<int32_t>(client.clock.NowMs() - atMs) >= 0;
}

// Clicks the centre of a control; false when the control has no place on the screen.
bool ClickControl(Client& client, screens::HudControl control, int index = -1) {
    int x = 0;
    int y = 0;
    if (!screens::ControlCentre(client.hud.sprites, control, index, x, y)) {
        return false;
    }
    HandleClick(client, x, y);
    return true;
}

// Clicks the aim point where the view shows it; without a place in the view the aim is set as the
// map would set it.
void ClickAim(Client& client, platform::Vec3 aim) {
    int pixel[2] = {};
    float depth = 0.0f;
    if (client.display.device != nullptr &&
        course::ProjectToScreen(*client.display.device, aim, nullptr, pixel, &depth) && pixel[0] >= 0 &&
        pixel[0] < client.display.displayWidth && pixel[1] >= 0 && pixel[1] < kViewBottom) {
        HandleClick(client, pixel[0], pixel[1]);
        return;
    }
    AimAt(client, aim);
}

void PlanTurn(Client& client) {
    AutoplayState& a = client.matchExtras.autoplay;
    const ShotPlan plan = PlanShot(client.match.shot, client.match.rules.pin);
    a.club = plan.club;
    a.aim = plan.aim;
    a.topMark = plan.topMark + HandError(a.rand, kTopSpread);
    a.impactMark = physics::kGaugeImpactMark + HandError(a.rand, kImpactSpread);
    a.nextMs = client.clock.NowMs() + kMenuMs;
    a.step = kClubMenu;
    if (plan.club == client.match.shot.club) {
        a.step = kClubChosen;
    } else if (!ClickControl(client, screens::HudControl::Club)) {
        ChooseClub(client, plan.club);
        a.step = kClubChosen;
    }
}

void ChooseAndAim(Client& client) {
    AutoplayState& a = client.matchExtras.autoplay;
    if (a.step == kClubMenu) {
        ClickControl(client, screens::HudControl::ClubEntry, a.club);
    }
    if (client.match.shot.club != a.club) {  // the menu had no place for it, or was still opening
        ChooseClub(client, a.club);
    }
    ClickAim(client, a.aim);
    a.nextMs = client.clock.NowMs() + kAddressMs;
    a.step = kAimed;
}

void PressShot(Client& client) {
    if (!ClickControl(client, screens::HudControl::Shot)) {
        PressSwingButton(client);
    }
}

void Aiming(Client& client) {
    AutoplayState& a = client.matchExtras.autoplay;
    if (!LocalTurnActive(client)) {
        return;
    }
    if (a.turnStartMs != client.turn.startMs || a.step == kNotStarted) {
        a.turnStartMs = client.turn.startMs;  // a new turn: look at it for a moment first
        a.step = kThink;
        a.nextMs = client.clock.NowMs() + kThinkMinMs + static_cast<uint32_t>(a.rand.Next() % kThinkSpreadMs);
        return;
    }
    if (!Due(client, a.nextMs)) {
        return;
    }
    if (a.step == kThink) {
        PlanTurn(client);
    } else if (a.step == kClubMenu || a.step == kClubChosen) {
        ChooseAndAim(client);
    } else if (a.step == kAimed && client.hud.state.menuPhase == screens::ClubMenuPhase::Closed) {
        // A press while the club menu still folds away would only close it: the hand waits for it.
        PressShot(client);
        if (client.shell.gameState == GameState::Swing) {
            a.step = kSwinging;
        } else {
            a.nextMs = client.clock.NowMs() + kRetryMs;
        }
    }
}

// The hand clicks at the first frame after the moment it aimed at, and the gauge reads that moment:
// the hand's error stays its own whatever the frame rate or time scale.
void Swinging(Client& client) {
    AutoplayState& a = client.matchExtras.autoplay;
    const physics::GaugeState& g = client.swing.gauge;
    const int rate = g.gaugeRate;
    if (a.step == kSwinging && g.gaugeRising) {
        const uint32_t topMs = g.gaugeStart + GaugeUnitsMs(a.topMark, rate);
        if (Due(client, topMs)) {
            SwingClickAt(client, topMs);
            a.step = kTopClicked;
        }
    }
    // After a long frame (a screenshot written, a slow machine) both clicks may be due at once.
    if (a.step == kTopClicked && !g.gaugeRising) {
        const uint32_t impactMs = g.gaugeTop + GaugeUnitsMs(a.topMark - a.impactMark, rate);
        if (Due(client, impactMs)) {
            SwingClickAt(client, impactMs);
            a.step = kDone;
        }
    }
}

}  // namespace

void RunAutoplay(Client& client) {
    AutoplayState& a = client.matchExtras.autoplay;
    if (!a.enabled) {
        return;
    }
    if (client.shell.gameState == GameState::Swing) {
        Swinging(client);
    } else if (client.shell.gameState == GameState::Playing) {
        Aiming(client);
    }
}

}  // namespace shell
