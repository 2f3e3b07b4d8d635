#include "game/shell/lobby/game_snapshot.h"

#include "game/shell/lobby/wire_fields.h"

namespace shell {

namespace {

template <typename T>
void WriteEach(platform::LeWriter& w, const T (&values)[kSnapshotSlots]) {
    for (T v : values) {
        if constexpr (sizeof(T) == 1) {
            w.U8(v);
        } else if constexpr (sizeof(T) == 2) {
            w.U16(v);
        } else {
            w.I32(v);
        }
    }
}

template <typename T>
void ReadEach(platform::LeReader& r, T (&values)[kSnapshotSlots]) {
    for (T& v : values) {
        if constexpr (sizeof(T) == 1) {
            v = r.U8();
        } else if constexpr (sizeof(T) == 2) {
            v = r.U16();
        } else {
            v = r.I32();
        }
    }
}

bool IsSlot(int32_t v) {
    return v >= 0 && v < kSnapshotSlots;
}

}  // namespace

void PackGameSnapshot(const GameSnapshot& s, uint8_t out[kGameSnapshotWireSize]) {
    platform::LeWriter w(out, kGameSnapshotWireSize);
    w.F32(s.windDirection);
    w.F32(s.windSpeed);
    WriteShotInput(w, s.shot);
    w.Vec(s.pin);
    w.U8(s.skyIndex);
    w.I32(s.gameState);
    w.U8(s.teamPlay);
    w.I32(s.playerCount);
    w.I32(s.currentHole);
    w.I32(s.currentShooter);
    w.I32(s.nearHolder);
    w.I32(s.longestHolder);
    w.I32(s.driverSlot);
    w.I32(s.shotCounter);
    w.I32(s.ballPot);
    w.Vec(s.currentPin);
    w.Vec(s.holeReference);
    w.I32(s.mapOffsetFirst[0]);
    w.I32(s.mapOffsetFirst[1]);
    w.I32(s.mapOffsetSecond[0]);
    w.I32(s.mapOffsetSecond[1]);
    w.U8(s.teamLastShooter[0]);
    w.U8(s.teamLastShooter[1]);
    WriteEach(w, s.balls);
    WriteEach(w, s.characterType);
    WriteEach(w, s.colour);
    WriteEach(w, s.level);
    WriteEach(w, s.sexFlag);
    for (const auto& name : s.names) {
        w.Name(name, kSnapshotNameSize);
    }
    WriteEach(w, s.turnOrder);
    WriteEach(w, s.holeStrokes);
    WriteEach(w, s.totalOverPar);
    WriteEach(w, s.totalStrokes);
    for (const auto& p : s.ballPos) {
        w.Vec(p);
    }
    WriteEach(w, s.lastClub);
    WriteEach(w, s.ready);
    WriteEach(w, s.lie);
    WriteEach(w, s.previousLie);
    WriteEach(w, s.holedOut);
    for (const auto& v : s.slotVector) {
        w.Vec(v);
    }
    for (const auto& holes : s.strokesPerHole) {
        w.Bytes(holes, kSnapshotHoles);
    }
    WriteEach(w, s.timeOuts);
    WriteEach(w, s.concedeVotes);
}

GameSnapshot UnpackGameSnapshot(const uint8_t in[kGameSnapshotWireSize]) {
    platform::LeReader r(in, kGameSnapshotWireSize);
    GameSnapshot s;
    s.windDirection = r.F32();
    s.windSpeed = r.F32();
    s.shot = ReadShotInput(r);
    s.pin = r.Vec();
    s.skyIndex = r.U8();
    s.gameState = r.I32();
    s.teamPlay = r.U8();
    s.playerCount = r.I32();
    s.currentHole = r.I32();
    s.currentShooter = r.I32();
    s.nearHolder = r.I32();
    s.longestHolder = r.I32();
    s.driverSlot = r.I32();
    s.shotCounter = r.I32();
    s.ballPot = r.I32();
    s.currentPin = r.Vec();
    s.holeReference = r.Vec();
    s.mapOffsetFirst[0] = r.I32();
    s.mapOffsetFirst[1] = r.I32();
    s.mapOffsetSecond[0] = r.I32();
    s.mapOffsetSecond[1] = r.I32();
    s.teamLastShooter[0] = r.U8();
    s.teamLastShooter[1] = r.U8();
    ReadEach(r, s.balls);
    ReadEach(r, s.characterType);
    ReadEach(r, s.colour);
    ReadEach(r, s.level);
    ReadEach(r, s.sexFlag);
    for (auto& name : s.names) {
        r.Name(name, kSnapshotNameSize);
    }
    ReadEach(r, s.turnOrder);
    ReadEach(r, s.holeStrokes);
    ReadEach(r, s.totalOverPar);
    ReadEach(r, s.totalStrokes);
    for (auto& p : s.ballPos) {
        p = r.Vec();
    }
    ReadEach(r, s.lastClub);
    ReadEach(r, s.ready);
    ReadEach(r, s.lie);
    ReadEach(r, s.previousLie);
    ReadEach(r, s.holedOut);
    for (auto& v : s.slotVector) {
        v = r.Vec();
    }
    for (auto& holes : s.strokesPerHole) {
        r.Bytes(holes, kSnapshotHoles);
    }
    ReadEach(r, s.timeOuts);
    ReadEach(r, s.concedeVotes);
    return s;
}

bool SnapshotWireNamesTerminated(const uint8_t in[kGameSnapshotWireSize]) {
    for (int slot = 0; slot < kSnapshotSlots; ++slot) {
        const uint8_t* name = in + kSnapshotNamesOffset + slot * kSnapshotNameSize;
        bool terminated = false;
        for (int i = 0; i < kSnapshotNameSize; ++i) {
            terminated = terminated || name[i] == 0;
        }
        if (!terminated) {
            return false;
        }
    }
    return true;
}

bool SnapshotIndicesValid(const GameSnapshot& s) {
    if (s.playerCount < 1 || s.playerCount > kSnapshotSlots) {
        return false;
    }
    if (!IsSlot(s.currentShooter) || !IsSlot(s.driverSlot) || s.shot.player >= kSnapshotSlots) {
        return false;
    }
    if ((s.nearHolder != -1 && !IsSlot(s.nearHolder)) ||
        (s.longestHolder != -1 && !IsSlot(s.longestHolder))) {
        return false;
    }
    for (uint8_t marker : s.teamLastShooter) {
        if (marker >= kSnapshotSlots) {
            return false;
        }
    }
    for (uint8_t slot : s.turnOrder) {
        if (slot >= kSnapshotSlots) {
            return false;
        }
    }
    return true;
}

}  // namespace shell
