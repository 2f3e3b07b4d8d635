// Terrain queries on one hole: building the grid, the vertical probe, and the segment walk of one
// 0.05-second flight step.

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "bench/bench_hole.h"
#include "game/course/terrain_grid.h"

namespace {

struct Fixture {
    std::string name;
    std::shared_ptr<core::FnxModel> model = benchhole::LargestHole(&name);
    course::TerrainGrid grid = course::BuildTerrainGrid(*model);
};

Fixture& Hole() {
    static Fixture fixture;
    return fixture;
}

// Points over the ground of the hole.
std::vector<course::Vec3> GroundPoints(int count) {
    std::mt19937 rng(3);
    std::uniform_real_distribution<float> x(-199.0f, 199.0f), z(-99.0f, 699.0f);
    std::vector<course::Vec3> points;
    while (static_cast<int>(points.size()) < count) {
        course::Vec3 p{x(rng), 0.0f, z(rng)};
        if (course::SeatOnTerrain(Hole().grid, p)) {
            points.push_back(p);
        }
    }
    return points;
}

void BM_BuildTerrainGrid(benchmark::State& state) {
    state.SetLabel(Hole().name);
    for (auto _ : state) {
        course::TerrainGrid grid = course::BuildTerrainGrid(*Hole().model);
        benchmark::DoNotOptimize(grid.entries.data());
    }
}
BENCHMARK(BM_BuildTerrainGrid)->Unit(benchmark::kMillisecond);

void BM_TerrainHeightAt(benchmark::State& state) {
    const std::vector<course::Vec3> points = GroundPoints(4096);
    size_t i = 0;
    for (auto _ : state) {
        course::Vec3 p = points[i++ & 4095];
        course::Vec3 normal;
        int group = 0;
        benchmark::DoNotOptimize(course::TerrainHeightAt(Hole().grid, p, &normal, &group));
    }
}
BENCHMARK(BM_TerrainHeightAt);

// A ball at 100 yards per second descending onto the ground: 5 yards per step.
void BM_TerrainSegmentHit(benchmark::State& state) {
    const std::vector<course::Vec3> points = GroundPoints(4096);
    size_t i = 0;
    for (auto _ : state) {
        const course::Vec3 ground = points[i++ & 4095];
        const course::Vec3 start{ground.x - 2.4f, ground.y + 0.6f, ground.z - 4.3f};
        const course::Vec3 end{ground.x + 0.0f, ground.y - 0.2f, ground.z + 0.2f};
        course::Vec3 hit, normal;
        int group = 0;
        benchmark::DoNotOptimize(course::TerrainSegmentHit(Hole().grid, start, end, &hit, &normal, &group));
    }
}
BENCHMARK(BM_TerrainSegmentHit);

}  // namespace
