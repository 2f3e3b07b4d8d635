// Plays a shot record made of arbitrary bytes (as a peer could send it) on a small hole with
// hills, water, a green and an upright object, then relocates the ball.
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "game/physics/ball_flight.h"
#include "game/physics/relocation.h"
#include "game/shell/lobby/wire_fields.h"
#include "platform/le_bytes.h"
#include "tests/physics/shot_course.h"

namespace {

fixtures::ShotCourse& Hole() {
    static fixtures::ShotCourse* hole = [] {
        auto* course = new fixtures::ShotCourse;
        const auto hills = [](float x, float z) {
            return 4.0f + 2.0f * std::sin(x * 0.1f) * std::cos(z * 0.05f);
        };
        fixtures::AddHeightfield(course->model, "GRE", -10, 190, 10, 210, 10, hills);
        fixtures::AddHeightfield(course->model, "WTR", -40, 100, 0, 140, 8, hills);
        fixtures::AddHeightfield(course->model, "OGR", 20, 100, 40, 140, 8, hills);
        fixtures::AddHeightfield(course->model, "WAY", -60, -90, -50, 690, 8, hills);
        fixtures::AddHeightfield(course->model, "FWY", -150, -90, 150, 690, 40, hills);
        fixtures::AddGroup(course->model, "RSTtreeE",
                           {fixtures::V(-2, 0, 60, 0, 1), fixtures::V(2, 0, 60, 1, 1),
                            fixtures::V(-2, 9, 60, 0, 0), fixtures::V(2, 9, 60, 1, 0)},
                           {0, 1, 2, 2, 1, 3});
        course->Ready();
        return course;
    }();
    return *hole;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    platform::LeReader reader(data, size);
    physics::ShotInput shot = shell::ReadShotInput(reader);
    const physics::ShotFacts facts{static_cast<int>(reader.U8()) - 1, reader.U8() % 8, reader.U8() % 12,
                                   reader.Vec(), reader.F32()};
    physics::ShotTrajectory path;
    physics::SimulateShot(Hole().world, facts, shot, path);
    uint16_t strokes = static_cast<uint16_t>(facts.strokes);
    physics::RelocateBall(Hole().world, facts.par, shot, strokes);
    return 0;
}
