#include "game/shell/match/hud_actions.h"

#include "game/physics/club_table.h"
#include "game/physics/shot_ranges.h"
#include "game/rules/concede.h"
#include "game/shell/client.h"
#include "game/shell/lobby/lobby_messages.h"
#include "game/shell/match/match_lines.h"
#include "game/shell/match/match_setup.h"
#include "game/shell/match/message_checks.h"
#include "game/shell/match/swing.h"
#include "game/shell/view/sounds.h"

namespace shell {

namespace {

constexpr int32_t kPowerShotBalls = 5;

}  // namespace

bool LocalTurnActive(const Client& client) {
    return client.shell.gameState == GameState::Playing && client.turn.active;
}

void PressSwingButton(Client& client) {
    if (LocalTurnActive(client)) {
        PlayGameSound(client, present::GameSound::ButtonOv);
        StartSwing(client, true);
    }
}

void ChooseClub(Client& client, int club) {
    rules::MatchState& m = client.match;
    if (!LocalTurnActive(client) || club < 0 || club >= physics::kClubCount) {
        return;
    }
    if (m.shot.lieClass == physics::kLiePutting) {
        club = physics::kClubPutter;
    }
    m.shot.club = static_cast<uint8_t>(club);
    if (!physics::BiteOffered(club)) {
        m.shot.bite = 0;
    }
    m.shot.swingKind = physics::SwingKindOfClub(club);
    SendShotSetup(client.lobby, m.shot);
    PlayGameSound(client, present::GameSound::ButtonOv);
    RequestFullRedraw(client);
}

void AimAt(Client& client, platform::Vec3 target) {
    // Every client refuses a record aimed off the course, so none is sent.
    if (!LocalTurnActive(client) || !FinitePoint(target) || !physics::OnCoursePlane(target)) {
        return;
    }
    client.match.shot.aimTarget = target;
    SendShotSetup(client.lobby, client.match.shot);
    RequestFullRedraw(client);
}

void PressPowerShot(Client& client) {
    rules::MatchState& m = client.match;
    if (!LocalTurnActive(client) || !m.powerShotAvailable) {
        return;
    }
    if (client.config.match.freeGame) {
        ShowAnnouncementLine(client, MatchText(client, kStringPowerShotInFreeGame).text);
        return;
    }
    if (m.powerShotAllowance <= 0) {
        return;
    }
    if (m.rules.players[m.localSlot].balance < kPowerShotBalls) {
        ShowSystemLine(client, MatchText(client, kStringNotEnoughBalls, kPlaceholderBallCount, "5").text);
        PlayGameSound(client, present::GameSound::Notify);
        return;
    }
    PlayGameSound(client, present::GameSound::ButtonOv);
    m.powerShotAvailable = false;
    m.shot.powerShot = 1;
    AnnounceToAll(
        client,
        MatchText(client, kStringPowerShotChosen, kPlaceholderId, SlotName(client, m.localSlot)).text);
    --m.powerShotAllowance;
    if (m.powerShotAllowance > 0) {
        ShowAnnouncementLine(client, ReplacePlaceholder(client.config.strings.text[kStringPowerShotsLeft],
                                                        kPlaceholderCount, m.powerShotAllowance)
                                         .text);
    } else {
        ShowSystemLine(client, MatchText(client, kStringNoPowerShotsLeft).text);
    }
    RequestFullRedraw(client);
}

void PressConcede(Client& client) {
    rules::MatchState& m = client.match;
    if (!m.concedeArmed || !rules::GiveAllowed(m.rules, m.options, m.localSlot, m.shot)) {
        return;
    }
    m.concedeArmed = false;
    SendConcedeVote(client.lobby);
}

void PressExit(Client& client) {
    SendGameEnd(client.lobby);
    EndGame(client);
}

}  // namespace shell
