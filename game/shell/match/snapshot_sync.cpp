#include "game/shell/match/snapshot_sync.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "game/core/surface_kind.h"
#include "game/physics/club_table.h"
#include "game/physics/wind.h"
#include "game/shell/client.h"
#include "game/shell/lobby/lobby_messages.h"
#include "game/shell/match/match_setup.h"
#include "game/shell/match/match_steps.h"
#include "game/shell/match/message_checks.h"
#include "game/shell/match/scene_sync.h"
#include "game/shell/view/hole_scene.h"
#include "game/shell/view/hud_screens.h"
#include "game/shell/view/picture_present.h"
#include "game/shell/view/sounds.h"

namespace shell {

namespace {

constexpr platform::Vec3 kUpright{0.0f, 1.0f, 0.0f};

void CopyName(char* to, const char* from) {
    std::memcpy(to, from, kSnapshotNameSize);
    to[kSnapshotNameSize - 1] = '\0';
}

void FillSlot(GameSnapshot& s, const Client& client, int p) {
    const rules::MatchState& m = client.match;
    const rules::PlayerRecord& r = m.rules.players[p];
    const PlayerInfo& info = client.config.players[p];
    s.balls[p] = r.balance;
    s.characterType[p] = info.characterType;
    s.colour[p] = info.colour;
    s.level[p] = info.level;
    s.sexFlag[p] = info.sex;
    CopyName(s.names[p], info.name);
    s.turnOrder[p] = m.rules.teeOrder[p];
    s.holeStrokes[p] = r.strokes;
    s.totalOverPar[p] = r.overPar;
    s.totalStrokes[p] = r.totalStrokes;
    s.ballPos[p] = r.ballPos;
    s.lastClub[p] = r.club;
    s.ready[p] = m.slots[p].ready;
    s.lie[p] = r.surface;
    s.previousLie[p] = r.prevSurface;
    s.holedOut[p] = r.finishedHole;
    s.slotVector[p] = kUpright;
    std::memcpy(s.strokesPerHole[p], r.scorecard, kSnapshotHoles);
    s.timeOuts[p] = m.slots[p].timeOuts;
    s.concedeVotes[p] = r.concedeVote;
}

void TakeSlot(Client& client, const GameSnapshot& s, int p) {
    rules::MatchState& m = client.match;
    rules::PlayerRecord& r = m.rules.players[p];
    PlayerInfo& info = client.config.players[p];
    r.balance = s.balls[p];
    info.characterType = s.characterType[p];
    info.colour = s.colour[p];
    info.level = s.level[p];
    info.sex = s.sexFlag[p];
    CopyName(info.name, s.names[p]);
    m.rules.teeOrder[p] = s.turnOrder[p];
    r.strokes = s.holeStrokes[p];
    r.overPar = s.totalOverPar[p];
    r.totalStrokes = s.totalStrokes[p];
    r.ballPos = s.ballPos[p];
    r.club = s.lastClub[p];
    m.slots[p].ready = s.ready[p] != 0 ? 1 : 0;
    r.surface = s.lie[p];
    r.prevSurface = s.previousLie[p];
    r.finishedHole = s.holedOut[p] != 0 ? 1 : 0;
    std::memcpy(r.scorecard, s.strokesPerHole[p], kSnapshotHoles);
    m.slots[p].timeOuts = s.timeOuts[p];
    r.concedeVote = s.concedeVotes[p] != 0 ? 1 : 0;
}

bool Refuse(const char* from, const char* why) {
    std::fprintf(stderr,
                 "Brightlea: the match description from \"%s\" was refused (%s); still waiting for one.\n",
                 from, why);
    return false;
}

bool PositionsFinite(const GameSnapshot& s) {
    bool finite = FinitePoint(s.pin) && FinitePoint(s.currentPin) && FinitePoint(s.holeReference) &&
                  std::isfinite(s.windDirection) && std::isfinite(s.windSpeed);
    for (const platform::Vec3& p : s.ballPos) {
        finite = finite && FinitePoint(p);
    }
    return finite;
}

// Everything the observer would index or simulate with must be in range before any of it is
// applied: a refused snapshot changes nothing.
bool SnapshotUsable(const Client& client, const GameSnapshot& s, const char* from) {
    if (!SnapshotIndicesValid(s)) {
        return Refuse(from, "slot or count out of range");
    }
    if (s.currentShooter >= s.playerCount || s.nearHolder >= s.playerCount ||
        s.longestHolder >= s.playerCount) {
        return Refuse(from, "slot out of range");
    }
    for (int p = 0; p < s.playerCount; ++p) {
        if (s.turnOrder[p] >= s.playerCount) {
            return Refuse(from, "turn order out of range");
        }
    }
    for (int p = 0; p < kSnapshotSlots; ++p) {  // the lie and club tables are read for every slot
        if (s.lie[p] >= core::kSurfaceKindCount || s.previousLie[p] >= core::kSurfaceKindCount ||
            s.lastClub[p] >= physics::kClubCount) {
            return Refuse(from, "lie or club out of range");
        }
    }
    const MatchConfig& match = client.config.match;
    if (rules::HoleIndex(s.currentHole) < 0 || s.currentHole < match.startHole ||
        s.currentHole > std::max(match.endHole, match.startHole)) {
        return Refuse(from, "hole out of range");
    }
    if (!PositionsFinite(s) || s.windSpeed < 0.0f || s.windSpeed > physics::kMaxWindSpeed) {
        return Refuse(from, "position or wind is not a number in range");
    }
    rules::MatchState probe;
    probe.options.playerCount = s.playerCount;
    if (!ShotRecordUsable(probe, s.shot)) {
        return Refuse(from, "shot record out of range");
    }
    return true;
}

void ApplyFields(Client& client, const GameSnapshot& s) {
    rules::MatchState& m = client.match;
    m.wind.windDirection = s.windDirection;
    m.wind.windSpeed = s.windSpeed;
    m.shot = s.shot;
    m.sky = s.skyIndex;
    m.rules.pin = s.currentPin;
    m.marks.layupPoint = s.holeReference;
    m.options.teamPlay = s.teamPlay != 0;
    m.options.playerCount = s.playerCount;
    client.config.match.maxPlayers = s.playerCount;
    m.shooter = s.currentShooter;
    m.rules.nearestWinner = s.nearHolder;
    m.rules.longestWinner = s.longestHolder;
    m.rules.turnCounter = s.shotCounter;
    m.rules.pot = s.ballPot;
    m.rules.teamLastShooter[0] = s.teamLastShooter[0];
    m.rules.teamLastShooter[1] = s.teamLastShooter[1];
    for (int p = 0; p < kSnapshotSlots; ++p) {
        TakeSlot(client, s, p);
    }
    m.holeFinished = false;
    m.shotShown = false;
}

// Only the states a running match can be joined in; anything else waits for the next turn.
GameState JoinState(int32_t state) {
    return state == static_cast<int32_t>(GameState::Playing) ? GameState::Playing : GameState::Waiting;
}

}  // namespace

GameSnapshot BuildSnapshot(const Client& client) {
    const rules::MatchState& m = client.match;
    GameSnapshot s;
    s.windDirection = m.wind.windDirection;
    s.windSpeed = m.wind.windSpeed;
    s.shot = m.shot;
    s.pin = m.rules.pin;
    s.skyIndex = m.sky;
    s.gameState = static_cast<int32_t>(client.shell.gameState);
    s.teamPlay = m.options.teamPlay ? 1 : 0;
    s.playerCount = m.options.playerCount;
    s.currentHole = m.currentHole;
    s.currentShooter = m.shooter;
    s.nearHolder = m.rules.nearestWinner;
    s.longestHolder = m.rules.longestWinner;
    s.driverSlot = 0;
    s.shotCounter = m.rules.turnCounter;
    s.ballPot = m.rules.pot;
    s.currentPin = m.rules.pin;
    s.holeReference = m.marks.layupPoint;
    s.teamLastShooter[0] = static_cast<uint8_t>(m.rules.teamLastShooter[0]);
    s.teamLastShooter[1] = static_cast<uint8_t>(m.rules.teamLastShooter[1]);
    for (int p = 0; p < kSnapshotSlots; ++p) {
        FillSlot(s, client, p);
    }
    return s;
}

void RequestSnapshot(Client& client, const LobbyPacket& packet) {
    if (client.match.localSlot == rules::kNoPlayer || packet.sender[0] == '\0') {
        return;  // only a player can describe the match
    }
    if (client.shell.gameState == GameState::Playing) {
        SendSnapshot(client.lobby, packet.sender, BuildSnapshot(client));
        return;
    }
    std::vector<std::string>& pending = client.matchExtras.pendingObservers;
    if (pending.size() < kMaxPendingObservers) {
        pending.emplace_back(packet.sender);
    }
}

void SendQueuedSnapshots(Client& client) {
    std::vector<std::string>& pending = client.matchExtras.pendingObservers;
    if (pending.empty()) {
        return;
    }
    const GameSnapshot snapshot = BuildSnapshot(client);
    for (const std::string& observer : pending) {
        SendSnapshot(client.lobby, observer.c_str(), snapshot);
    }
    pending.clear();
}

bool JoinWithSnapshot(Client& client, const LobbyPacket& packet) {
    MatchConfig& match = client.config.match;
    if (!match.localIsObserver || !match.waitingForSnapshot) {
        return false;
    }
    if (packet.body.size() < static_cast<size_t>(kGameSnapshotWireSize)) {
        return Refuse(packet.sender, "too short");
    }
    if (!SnapshotWireNamesTerminated(packet.body.data())) {
        return Refuse(packet.sender, "a name is not terminated");
    }
    const GameSnapshot s = MessageSnapshot(packet);
    if (!SnapshotUsable(client, s, packet.sender)) {
        return false;
    }
    StopBackgroundSound(client);
    UnloadHole(client);
    client.match.currentHole = s.currentHole;
    LoadHoleSettings(client);
    LoadHoleGeometry(client);
    if (client.shell.quitting) {
        return false;  // the hole was refused and the game has ended
    }
    ResetPlayersForHole(client);
    ApplyFields(client, s);
    match.waitingForSnapshot = 0;
    FaceShotObjects(client);
    ShowMatchInScene(client);
    AimCameraAtShot(client);
    StartBackgroundSound(client);
    SetGameState(client, JoinState(s.gameState));
    client.display.cursorShown = 1;
    RedrawPlayScreen(client);
    PresentStep(client);
    return true;
}

}  // namespace shell
