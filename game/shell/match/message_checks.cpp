#include "game/shell/match/message_checks.h"

#include <cmath>
#include <cstdio>

#include "game/core/surface_kind.h"
#include "game/physics/club_table.h"
#include "game/physics/shot_ranges.h"
#include "game/physics/wind.h"
#include "game/shell/lobby/lobby_messages.h"

namespace shell {

namespace {

bool Finite(float v) {
    return std::isfinite(v);
}

bool Flag(uint8_t v) {
    return v <= 1;
}

// Every index the record carries fits the table it selects; the flags are flags.
bool ShotIndicesInRange(const physics::ShotInput& s) {
    return s.club < physics::kClubCount && s.surface < core::kSurfaceKindCount &&
           s.startSurface < core::kSurfaceKindCount && s.lieClass <= physics::kLiePutting &&
           s.swingKind <= physics::kSwingPutter && Flag(s.powerShot) && Flag(s.bite) && Flag(s.finished) &&
           Flag(s.limitReached);
}

bool Refuse(const LobbyPacket& packet, const char* why) {
    std::fprintf(stderr, "Brightlea: message %u from \"%s\" dropped: %s\n",
                 static_cast<unsigned>(packet.type), packet.sender, why);
    return false;
}

}  // namespace

bool FinitePoint(platform::Vec3 p) {
    return Finite(p.x) && Finite(p.y) && Finite(p.z);
}

bool SlotInMatch(const rules::MatchState& match, int slot) {
    return rules::IsPlayer(match.options, slot);
}

bool ShotRecordUsable(const rules::MatchState& match, const physics::ShotInput& shot) {
    return SlotInMatch(match, shot.player) && ShotIndicesInRange(shot) && physics::ShotValuesInRange(shot);
}

bool MessageFieldsUsable(const rules::MatchState& match, const LobbyPacket& packet) {
    switch (packet.type) {
        case kMsgTurnStart:
        case kMsgShotSetup:
        case kMsgShot:
        case kMsgShotEnd:
            return ShotRecordUsable(match, MessageShot(packet)) || Refuse(packet, "shot record out of range");
        case kMsgShooterReady:
        case kMsgTimeOut:
            return SlotInMatch(match, MessageSlot(packet)) || Refuse(packet, "no such player");
        case kMsgNextHole:
            return match.currentHole < match.lastHole || Refuse(packet, "no hole after the last");
        case kMsgPin:
            return FinitePoint(MessagePin(packet).pin) || Refuse(packet, "pin is not a position");
        case kMsgWind: {
            const WindMessage w = MessageWind(packet);
            const bool usable = Finite(w.direction) && Finite(w.speed) && w.speed >= 0.0f &&
                                w.speed <= physics::kMaxWindSpeed;
            return usable || Refuse(packet, "wind out of range");
        }
        default:
            return true;
    }
}

}  // namespace shell
