#pragma once
// One sender per message the client sends to its lobby, each building its exact body, and the
// readers of the bodies the client handles when they arrive.

#include <cstdint>

#include "game/physics/shot_input.h"
#include "game/rules/rule_reports.h"
#include "game/shell/lobby/game_snapshot.h"
#include "game/shell/lobby/lobby_link.h"
#include "platform/vecmath.h"

namespace shell {

inline constexpr int kChatReportLines = 15;
inline constexpr int kChatReportLineSize = 81;
inline constexpr int kPlayerNameSize = 13;

// Observers watch: they never send the messages that drive the match, vote or settle balls.
bool ObserverMaySend(uint32_t type);

void SendChat(LobbyLink& link, const char* text);                     // 0
void SendTurnStart(LobbyLink& link, const physics::ShotInput& shot);  // 1
void SendShooterReady(LobbyLink& link, uint8_t slot);                 // 2
void SendShotSetup(LobbyLink& link, const physics::ShotInput& shot);  // 5
// The shot; impactByte rides in the record's spare byte (the shooter's impact error, which the
// bounce needs and the record has no field for).
void SendShot(LobbyLink& link, const physics::ShotInput& shot, uint8_t impactByte = 0);  // 7
void SendShotEnd(LobbyLink& link, const physics::ShotInput& shot);                       // 8
void SendConcedeVote(LobbyLink& link);                                                   // 9
void SendNextHole(LobbyLink& link, uint8_t slot);                                        // 11
void SendTimeOut(LobbyLink& link, uint8_t slot);                                         // 15
void SendHoleReport(LobbyLink& link, uint8_t hole, uint8_t strokes);                     // 16
// The snapshot goes to the one observer named.
void SendSnapshot(LobbyLink& link, const char* observer, const GameSnapshot& snapshot);  // 17
// The last chat lines, newest first.
void SendChatReport(LobbyLink& link, const char history[kChatReportLines][kChatReportLineSize]);  // 18
void SendPin(LobbyLink& link, platform::Vec3 pin, uint8_t skyIndex);                              // 30
void SendWind(LobbyLink& link, float direction, float speed);                                     // 31
void SendNotice(LobbyLink& link, const char* text);       // 80, with sound
void SendQuietNotice(LobbyLink& link, const char* text);  // 81

struct FinalScore {
    char name[kPlayerNameSize] = {};
    uint8_t present = 0;  // 1 while the slot is still in the match
    uint16_t totalStrokes = 0;
};
void SendFinalScores(LobbyLink& link, uint8_t startingPlayers, const FinalScore scores[4]);  // 92

void SendBallChange(LobbyLink& link, const char* player, int32_t change, rules::MoneyReason reason);  // 93
void SendGameEnd(LobbyLink& link);                                                                    // 94
void SendCallLobby(LobbyLink& link);                                                                  // 96

// Readers of received bodies; the receive step has already checked their lengths.
uint8_t MessageSlot(const LobbyPacket& packet);             // 2, 11, 15
physics::ShotInput MessageShot(const LobbyPacket& packet);  // 1, 5, 7, 8
uint8_t MessageShotSpare(const LobbyPacket& packet);        // 7: the byte after the record, 0 when absent
GameSnapshot MessageSnapshot(const LobbyPacket& packet);    // 17
struct PinMessage {
    platform::Vec3 pin;
    uint8_t skyIndex = 0;
};
PinMessage MessagePin(const LobbyPacket& packet);  // 30
struct WindMessage {
    float direction = 0.0f;
    float speed = 0.0f;
};
WindMessage MessageWind(const LobbyPacket& packet);  // 31

}  // namespace shell
