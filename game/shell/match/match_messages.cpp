#include "game/shell/match/match_messages.h"

#include "game/physics/pin_placement.h"
#include "game/rules/concede.h"
#include "game/rules/turn_prep.h"
#include "game/shell/client.h"
#include "game/shell/lobby/lobby_messages.h"
#include "game/shell/match/match_lines.h"
#include "game/shell/match/match_setup.h"
#include "game/shell/match/message_checks.h"
#include "game/shell/match/replay.h"
#include "game/shell/match/scene_sync.h"
#include "game/shell/match/shot_end.h"
#include "game/shell/view/hole_scene.h"
#include "game/shell/view/hud_screens.h"
#include "game/shell/view/sounds.h"

namespace shell {

namespace {

bool EveryoneReady(const rules::MatchState& m) {
    for (int p = 0; p < m.options.playerCount && p < rules::kMaxPlayers; ++p) {
        if (!m.slots[p].ready) {
            return false;
        }
    }
    return true;
}

// Once per hole, from the first turn at which every player is ready, a putt may be conceded.
void OfferConcede(rules::MatchState& m) {
    if (m.concedeOffered || !EveryoneReady(m)) {
        return;
    }
    m.concedeOffered = true;
    m.concedeAllowed = true;
    m.concedeArmed = true;
    for (rules::PlayerRecord& player : m.rules.players) {
        player.concedeVote = 0;
    }
}

// The driver tells everyone who won a tee-shot contest.
void AnnounceContest(Client& client, int winner, int stringIndex) {
    if (winner == rules::kNoPlayer || client.match.localSlot != 0) {
        return;
    }
    AnnounceToAll(client, MatchText(client, stringIndex, kPlaceholderId, SlotName(client, winner)).text);
}

void BeginTurn(Client& client, const LobbyPacket& packet) {
    rules::MatchState& m = client.match;
    m.shotShown = false;
    m.shot = MessageShot(packet);
    m.shooter = m.shot.player;
    m.timeOutSlot = rules::kNoPlayer;  // a late player is put last for one choice only
    m.playerLeftThisTurn = false;
    OfferConcede(m);
    physics::ShotWorld world;
    MakeShotWorld(client, world);
    const rules::TurnPreparation prep = rules::PrepareTurn(m.shot, m.rules, m.options, m.marks, world);
    AnnounceContest(client, prep.nearestWinner, kStringNearestWinner);
    AnnounceContest(client, prep.longestWinner, kStringLongestWinner);
    FaceShotObjects(client);
    ShowMatchInScene(client);
    AimCameraAtShot(client);
    client.turn.active = false;
    client.display.cursorShown = 1;
    SetGameState(client, GameState::Playing);
    RedrawPlayScreen(client);
    if (m.localSlot != rules::kNoPlayer) {
        SendShooterReady(client.lobby, static_cast<uint8_t>(m.localSlot));
    }
}

void ShooterReady(Client& client, const LobbyPacket& packet) {
    rules::MatchState& m = client.match;
    m.slots[MessageSlot(packet)].ready = 1;
    m.swingStarted = false;
    m.conceded = false;
    RequestFullRedraw(client);
}

// A new club or aim only redraws the HUD: the view, and the objects the ball meets, stay as the
// turn began on every client.
void ShotSetup(Client& client, const LobbyPacket& packet) {
    client.match.shot = MessageShot(packet);
    if (client.match.shot.player != client.match.localSlot) {
        RequestFullRedraw(client);
    }
}

void ShotLaunched(Client& client, const LobbyPacket& packet) {
    if (client.match.conceded) {
        return;
    }
    client.match.shot = MessageShot(packet);
    StartReplay(client, MessageShotSpare(packet));
}

void ShotResult(Client& client, const LobbyPacket& packet) {
    client.match.shot = MessageShot(packet);
    ApplyShotResult(client);
    ShowMatchInScene(client);
}

void ConcedeVote(Client& client, const LobbyPacket& packet) {
    rules::MatchState& m = client.match;
    const int voter = SlotByName(client, packet.sender);
    if (voter == rules::kNoPlayer) {
        return;
    }
    const rules::ConcedeOutcome outcome = rules::ApplyConcedeVote(m.rules, m.options, voter, m.localSlot,
                                                                  m.swingStarted, m.concedeAllowed, m.shot);
    if (outcome.announceGiver) {
        AnnounceToAll(client,
                      MatchText(client, kStringConcedeVote, kPlaceholderId, SlotName(client, voter)).text);
    }
    if (outcome.conceded) {
        m.conceded = true;
        AnnounceToAll(
            client, MatchText(client, kStringPuttConceded, kPlaceholderId, SlotName(client, m.shooter)).text);
        SendShotEnd(client.lobby, m.shot);
        m.concedeAllowed = false;
    }
}

void NextHole(Client& client) {
    StopBackgroundSound(client);
    UnloadHole(client);
    ++client.match.currentHole;
    client.match.shotShown = false;
    SetGameState(client, GameState::LoadHole);
}

void TimeOut(Client& client) {
    rules::MatchState& m = client.match;
    client.turn.shotMade = true;
    m.timeOutSlot = m.shooter;
    ++m.slots[m.shooter].timeOuts;
}

void PinPlaced(Client& client, const LobbyPacket& packet) {
    const PinMessage pin = MessagePin(packet);
    physics::ApplyPin(client.match.marks, client.match.rules.pin, pin.pin);
    client.match.sky = pin.skyIndex;
    ShowMatchInScene(client);
}

void WindChanged(Client& client, const LobbyPacket& packet) {
    const WindMessage wind = MessageWind(packet);
    client.match.wind.windDirection = wind.direction;
    client.match.wind.windSpeed = wind.speed;
}

bool NamesTheShooter(uint32_t type) {
    return type == kMsgShotSetup || type == kMsgShot || type == kMsgShotEnd || type == kMsgTimeOut;
}

// Messages sent before their sender heard that a player left carry slot numbers as they were. The
// driver's turn announcement made before it heard is dropped (it announces the turn again); a
// ready message is taken as its sender's; the shooter's records are the current shooter's, and
// those of a shooter who left are dropped.
bool RenumberAfterLeaving(Client& client, LobbyPacket& packet) {
    rules::MatchState& m = client.match;
    if (packet.type == kMsgTurnStart && m.staleTurnStarts > 0) {
        --m.staleTurnStarts;
        return false;
    }
    if (!m.playerLeftThisTurn || packet.body.empty()) {
        return true;
    }
    if (packet.type == kMsgShooterReady) {
        const int sender = SlotByName(client, packet.sender);
        if (sender != rules::kNoPlayer) {
            packet.body[0] = static_cast<uint8_t>(sender);
        }
    } else if (NamesTheShooter(packet.type)) {
        if (m.shooter == rules::kNoPlayer) {
            return false;
        }
        packet.body[0] = static_cast<uint8_t>(m.shooter);
    }
    return true;
}

}  // namespace

void HandleMatchMessage(Client& client, const LobbyPacket& received) {
    LobbyPacket packet = received;
    if (!RenumberAfterLeaving(client, packet) || !MessageFieldsUsable(client.match, packet)) {
        return;
    }
    switch (packet.type) {
        case kMsgTurnStart:
            BeginTurn(client, packet);
            break;
        case kMsgShooterReady:
            ShooterReady(client, packet);
            break;
        case kMsgShotSetup:
            ShotSetup(client, packet);
            break;
        case kMsgShot:
            ShotLaunched(client, packet);
            break;
        case kMsgShotEnd:
            ShotResult(client, packet);
            break;
        case kMsgConcedeVote:
            ConcedeVote(client, packet);
            break;
        case kMsgNextHole:
            NextHole(client);
            break;
        case kMsgTimeOut:
            TimeOut(client);
            break;
        case kMsgPin:
            PinPlaced(client, packet);
            break;
        case kMsgWind:
            WindChanged(client, packet);
            break;
        default:
            break;
    }
}

}  // namespace shell
