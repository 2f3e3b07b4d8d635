// shotcli: plays one shot on a hole model and prints the launch, every point of the ball's path
// and where the ball comes to rest (and where it is played from next).
//
//   shotcli --model build/gamedata/Map/.../HoleData.fnx --ball 0,-60 --aim 0,150 --club 0

#include <cstdio>
#include <memory>
#include <string>

#include "game/core/geometry.h"
#include "game/core/surface_kind.h"
#include "game/course/course_objects.h"
#include "game/course/fnx_loader.h"
#include "game/course/terrain_grid.h"
#include "game/physics/club_table.h"
#include "game/physics/lie_table.h"
#include "game/physics/shot_pipeline.h"
#include "tools/shotcli/shot_options.h"

namespace {

using physics::ShotInput;

const char* SurfaceName(uint8_t kind) {
    return kind < core::kSurfaceKindCount ? physics::LieRow(kind).name : "(none)";
}

int DefaultLie(uint8_t surface) {
    if (surface == core::kSurfaceTee) {
        return physics::kLieTeed;
    }
    return surface == core::kSurfaceGreen ? physics::kLiePutting : physics::kLieClean;
}

void PrintPoints(const physics::ShotTrajectory& path) {
    std::printf("step        x        y        z  surface  events\n");
    for (int i = 0; i <= path.trajectoryCount; ++i) {
        const physics::TrajectoryPoint& p = path.points[i];
        std::printf("%4d %8.3f %8.3f %8.3f  %-7s", i, p.pos.x, p.pos.y, p.pos.z,
                    p.surface == physics::kNoSurface ? "-" : core::kSurfaceCodes[p.surface]);
        if (p.bounced) {
            std::printf("  bounce");
        }
        if (p.objectKind) {
            std::printf("  object '%c'%s", p.objectKind, p.objectHit ? " hit" : "");
        }
        std::printf("\n");
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::string(argv[1]) == "--help") {
        std::fputs(tools::kShotUsage, stdout);
        return 0;
    }
    tools::ShotOptions options;
    std::string error;
    if (!tools::ParseShotOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "shotcli: %s\n%s", error.c_str(), tools::kShotUsage);
        return 2;
    }
    std::unique_ptr<core::FnxModel, void (*)(core::FnxModel*)> model(course::LoadFnxModel(options.model),
                                                                     course::FreeFnxModel);
    if (!model) {
        std::fprintf(stderr, "shotcli: cannot read the hole model %s\n", options.model.c_str());
        return 1;
    }
    const course::TerrainGrid grid = course::BuildTerrainGrid(*model);
    course::CourseObjects objects;
    course::PrepareObjects(*model, grid, objects);
    const physics::ShotWorld world{model.get(), &grid, &objects, nullptr};

    physics::Ground ground;
    if (!physics::GroundAt(world, options.ball.x, options.ball.z, &ground)) {
        std::fprintf(stderr, "shotcli: no ground under the ball at %.2f, %.2f\n", options.ball.x,
                     options.ball.z);
        return 1;
    }
    course::SeatOnTerrain(grid, options.aim);
    course::SeatOnTerrain(grid, options.pin);

    physics::ShotSetup setup;
    setup.ball = ground.point;
    setup.surface = ground.kind;
    setup.aim = options.aim;
    setup.pin = options.pin;
    setup.club = static_cast<uint8_t>(options.club);
    setup.lieClass = static_cast<uint8_t>(options.lieClass >= 0 ? options.lieClass : DefaultLie(ground.kind));
    setup.bite = options.bite ? 1 : 0;
    setup.powerShot = options.powerShot ? 1 : 0;
    const physics::SwingConditions swing{options.spin, options.wind, options.gameLevel};
    core::Rand15 rand;
    rand.Seed(options.seed);
    ShotInput shot;
    physics::ShotTrajectory path;
    const physics::ShotReport report =
        physics::PlayShot(world, setup, options.gaugeTopMs, options.gaugeEndMs, swing, options.par,
                          static_cast<uint16_t>(options.strokes), rand, shot, path);

    std::printf(
        "ball %.2f %.2f %.2f on %s, slope %.3f %.3f, lie class %d, club %s, gauge rate %d, clicks %u "
        "and %u ms\n",
        shot.startPos.x, shot.startPos.y, shot.startPos.z, SurfaceName(shot.startSurface), shot.slopeForward,
        shot.slopeSide, shot.lieClass, physics::ClubRow(shot.club).name, report.gaugeRate,
        report.gauge.gaugeTop, report.gauge.gaugeEnd);
    std::printf(
        "launch %.3f yd/s at %.3f deg, push %.3f deg, curve %.3f deg/s, wind %.3f %.3f, power error "
        "%.3f, impact error %.3f\n",
        shot.launchSpeed, shot.elevation, shot.push, shot.curveRate, shot.wind.x, shot.wind.z,
        shot.powerError, report.readings.impactError);
    if (options.everyPoint) {
        PrintPoints(path);
    }
    std::printf(
        "rests at %.3f %.3f %.3f on %s after %d steps, %.2f yards from the start, %.2f from the pin%s%s\n",
        report.rest.pos.x, report.rest.pos.y, report.rest.pos.z, SurfaceName(report.rest.surface),
        path.trajectoryCount - 1, core::DistanceXZ(report.rest.pos, shot.startPos),
        core::DistanceXZ(report.rest.pos, options.pin), shot.finished && !shot.limitReached ? ", holed" : "",
        shot.limitReached ? ", stroke limit" : "");
    std::printf("next stroke from %.3f %.3f %.3f on %s, strokes %u\n", shot.ballPos.x, shot.ballPos.y,
                shot.ballPos.z, SurfaceName(shot.surface), report.strokes);
    return 0;
}
