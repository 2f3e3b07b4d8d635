#include "game/shell/lobby/wire_fields.h"

namespace shell {

void WriteShotInput(platform::LeWriter& w, const physics::ShotInput& s) {
    w.U8(s.player);
    w.F32(s.pinDistance);
    w.U8(s.surface);
    w.U8(s.startSurface);
    w.U8(s.lieClass);
    w.U8(s.club);
    w.U8(s.swingKind);
    w.Vec(s.aimTarget);
    w.Vec(s.ballPos);
    w.Vec(s.startPos);
    w.F32(s.powerError);
    w.U8(s.powerShot);
    w.U8(s.bite);
    w.F32(s.launchSpeed);
    w.F32(s.elevation);
    w.F32(s.curveRate);
    w.F32(s.push);
    w.Vec(s.wind);
    w.U8(s.finished);
    w.U8(s.limitReached);
    w.F32(s.slopeForward);
    w.F32(s.slopeSide);
    w.Vec(s.playerMark);
}

physics::ShotInput ReadShotInput(platform::LeReader& r) {
    physics::ShotInput s;
    s.player = r.U8();
    s.pinDistance = r.F32();
    s.surface = r.U8();
    s.startSurface = r.U8();
    s.lieClass = r.U8();
    s.club = r.U8();
    s.swingKind = r.U8();
    s.aimTarget = r.Vec();
    s.ballPos = r.Vec();
    s.startPos = r.Vec();
    s.powerError = r.F32();
    s.powerShot = r.U8();
    s.bite = r.U8();
    s.launchSpeed = r.F32();
    s.elevation = r.F32();
    s.curveRate = r.F32();
    s.push = r.F32();
    s.wind = r.Vec();
    s.finished = r.U8();
    s.limitReached = r.U8();
    s.slopeForward = r.F32();
    s.slopeSide = r.F32();
    s.playerMark = r.Vec();
    return s;
}

}  // namespace shell
