// One whole shot simulated on a hole: a drive from the tee, an approach to the green and a long putt.

#include <benchmark/benchmark.h>

#include "bench/bench_hole.h"
#include "game/core/geometry.h"
#include "game/course/course_objects.h"
#include "game/physics/ball_flight.h"
#include "game/physics/club_table.h"

namespace {

using physics::ShotInput;
using platform::Vec3;

struct Fixture {
    std::string name;
    std::shared_ptr<core::FnxModel> model = benchhole::LargestHole(&name);
    course::TerrainGrid grid = course::BuildTerrainGrid(*model);
    course::CourseObjects objects;
    physics::ShotWorld world;
    Vec3 tee, green;

    Fixture() {
        course::PrepareObjects(*model, grid, objects);
        world = {model.get(), &grid, &objects, nullptr};
        tee = benchhole::MiddleOf(*model, grid, core::kSurfaceTee, {0.0f, 0.0f, -80.0f});
        green = benchhole::MiddleOf(*model, grid, core::kSurfaceGreen, {0.0f, 0.0f, 520.0f});
    }
};

Fixture& Hole() {
    static Fixture fixture;
    return fixture;
}

void RunShot(benchmark::State& state, Vec3 from, Vec3 to, int club, float speed, float elevation) {
    Fixture& hole = Hole();
    ShotInput shot;
    shot.ballPos = shot.startPos = from;
    shot.aimTarget = to;
    shot.club = static_cast<uint8_t>(club);
    shot.launchSpeed = speed;
    shot.elevation = elevation;
    shot.pinDistance = core::DistanceXZ(from, to);
    shot.wind = {0.8f, 0.0f, -0.5f};
    const physics::ShotFacts facts{0, 4, 1, to, 0.0f};
    physics::ShotTrajectory path;
    for (auto _ : state) {
        ShotInput played = shot;
        physics::SimulateShot(hole.world, facts, played, path);
        benchmark::DoNotOptimize(played.ballPos);
    }
    state.SetLabel(hole.name + ", " + std::to_string(path.trajectoryCount) + " points");
}

void BM_Drive(benchmark::State& state) {
    RunShot(state, Hole().tee, Hole().green, physics::kClubDriver, 114.1f, 10.0f);
}
BENCHMARK(BM_Drive);

void BM_Approach(benchmark::State& state) {
    const Vec3 green = Hole().green;
    Vec3 from{green.x + 10.0f, 0.0f, green.z - 120.0f};
    course::SeatOnTerrain(Hole().grid, from);
    RunShot(state, from, green, physics::kClubIron9, 62.1f, 30.55f);
}
BENCHMARK(BM_Approach);

void BM_LongPutt(benchmark::State& state) {
    const Vec3 green = Hole().green;
    Vec3 from{green.x + 3.0f, 0.0f, green.z - 12.0f};
    course::SeatOnTerrain(Hole().grid, from);
    RunShot(state, from, green, physics::kClubPutter, 8.0f, 0.0f);
}
BENCHMARK(BM_LongPutt);

}  // namespace
