// The device's helper threads: every part of every job runs once, helpers take part, and they
// poll for jobs only while a scene is drawn and jobs keep coming.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <thread>
#include <vector>

#if defined(__linux__)
#include <sched.h>
#endif

#include "platform/device3d.h"
#include "platform/device3d/pipeline.h"
#include "platform/device3d/threads.h"
#include "platform/draw_surface.h"

namespace platform {
namespace {

using device_detail::ChunkClaims;
using device_detail::EndClaims;
using device_detail::PartPool;

// Waits (up to a generous limit, for a loaded machine) until what holds.
bool Eventually(const std::function<bool()>& what) {
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!what()) {
        if (std::chrono::steady_clock::now() > giveUp) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return true;
}

std::function<bool()> Polling(const PartPool& pool, int helpers) {
    return [&pool, helpers] { return pool.PollingHelpers() == helpers; };
}

// Chunks cover the items exactly, and each is claimed once whether the claims come from the front,
// the back or both in turn, and however many threads claim them at once; a Reset starts over.
TEST(DeviceThreads, EveryChunkIsClaimedOnce) {
    ChunkClaims claims;
    for (const uint32_t items : {0u, 1u, 255u, 256u, 257u, 1000u, 4615u}) {
        for (const uint32_t size : {1u, 7u, 256u}) {
            for (const int frontEvery : {0, 1, 2, 3}) {  // 0: all from the back, 1: all from the front
                claims.Reset(items, size);
                std::vector<int> taken(claims.Count());
                uint32_t covered = 0;
                int turn = 0;
                for (uint32_t chunk = 0; claims.Claim(frontEvery != 0 && turn % frontEvery == 0, chunk);
                     ++turn) {
                    ASSERT_LT(chunk, claims.Count());
                    ++taken[chunk];
                }
                for (uint32_t chunk = 0; chunk < claims.Count(); ++chunk) {
                    EXPECT_EQ(taken[chunk], 1) << items << " items, chunk " << chunk << ", " << frontEvery;
                    EXPECT_EQ(claims.Begin(chunk), covered);
                    EXPECT_GT(claims.End(chunk), claims.Begin(chunk));
                    covered = claims.End(chunk);
                }
                EXPECT_EQ(covered, items) << size << " a chunk, " << frontEvery;
            }
        }
    }
    // Three threads at once, two of them at the back (the claims race; the outcome must not depend
    // on who wins).
    claims.Reset(100000, 7);
    std::vector<std::atomic<int>> taken(claims.Count());
    std::vector<std::thread> threads;
    for (int t = 0; t < 3; ++t) {
        threads.emplace_back([&, fromFront = t == 0] {
            for (uint32_t chunk = 0; claims.Claim(fromFront, chunk);) {
                taken[chunk].fetch_add(1);
            }
        });
    }
    for (std::thread& t : threads) {
        t.join();
    }
    EXPECT_TRUE(std::all_of(taken.begin(), taken.end(), [](const std::atomic<int>& n) { return n == 1; }));
}

// Items claimed from both ends: the front in ascending order, the back in descending order, each
// item once, the ends stopping where they meet; also with threads racing at both ends.
TEST(DeviceThreads, EveryItemIsClaimedOnceFromEitherEnd) {
    EndClaims claims;
    for (const uint32_t count : {0u, 1u, 2u, 5u, 80u}) {
        for (const uint32_t fromFront : {0u, 1u, 2u, count}) {
            claims.Reset(count);
            std::vector<uint32_t> front, back;
            uint32_t item = 0;
            while (front.size() < fromFront && claims.Claim(true, item)) {
                front.push_back(item);
            }
            while (claims.Claim(false, item)) {
                back.push_back(item);
            }
            EXPECT_FALSE(claims.Claim(true, item));
            ASSERT_EQ(front.size() + back.size(), count) << count << " items, " << fromFront;
            for (size_t i = 0; i < front.size(); ++i) {
                EXPECT_EQ(front[i], i);
            }
            for (size_t i = 0; i < back.size(); ++i) {
                EXPECT_EQ(back[i], count - 1 - i);
            }
        }
    }
    // Two threads at each end at once.
    claims.Reset(200000);
    std::vector<std::atomic<int>> taken(200000);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, fromFront = t % 2 == 0] {
            for (uint32_t item = 0; claims.Claim(fromFront, item);) {
                taken[item].fetch_add(1);
            }
        });
    }
    for (std::thread& t : threads) {
        t.join();
    }
    EXPECT_TRUE(std::all_of(taken.begin(), taken.end(), [](const std::atomic<int>& n) { return n == 1; }));
}

// Parts are claimed by whichever thread comes first. The first part waits until another thread
// has taken a part (so the helpers really take part, and a part may still be running on a helper
// when the calling thread has done its own); every part must run exactly once, be told the right
// count, and be finished when Run returns, whether the helpers were polling through a scene,
// polling after a job, or asleep. A part knows whether it runs on a helper.
TEST(DeviceThreads, EveryPartOfEveryJobRunsOnceAndHelpersTakePart) {
    constexpr int kMostParts = 8;
    struct Job {
        std::atomic<int> started{0};
        std::atomic<int> runs[kMostParts];
        std::atomic<int> wrongCounts{0};
        std::atomic<int> wrongHelperFlags{0};
        std::thread::id caller = std::this_thread::get_id();
        bool helped = false;
        int parts = 0;
        int slowness = 0;  // how long the parts after the first take, in tens of microseconds
    };
    for (const int parts : {1, 2, 3, kMostParts}) {
        PartPool pool(parts);
        ASSERT_EQ(pool.Parts(), parts);
        for (int round = 0; round < 80; ++round) {
            if (round % 20 == 0) {
                pool.StayAwake();
            } else if (round % 20 == 10) {
                pool.Rest();
            }
            Job job;
            for (std::atomic<int>& r : job.runs) {
                r = 0;
            }
            job.parts = parts;
            job.slowness = round % 4;
            pool.Run(
                [](void* context, int part, int count) {
                    auto& j = *static_cast<Job*>(context);
                    j.started.fetch_add(1);
                    if (part == 0) {
                        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(2);
                        while (j.started.load() < std::min(j.parts, 2) &&
                               std::chrono::steady_clock::now() < giveUp) {
                            std::this_thread::yield();
                        }
                        j.helped = j.started.load() >= 2;
                    } else {
                        std::this_thread::sleep_for(std::chrono::microseconds(10 * j.slowness));
                    }
                    j.runs[part].fetch_add(1);
                    j.wrongCounts.fetch_add(count != j.parts ? 1 : 0);
                    const bool onHelper = std::this_thread::get_id() != j.caller;
                    j.wrongHelperFlags.fetch_add(PartPool::OnHelper() != onHelper ? 1 : 0);
                },
                &job);
            for (int part = 0; part < kMostParts; ++part) {
                ASSERT_EQ(job.runs[part].load(), part < parts ? 1 : 0) << parts << " parts, round " << round;
            }
            ASSERT_EQ(job.wrongCounts.load(), 0);
            ASSERT_EQ(job.wrongHelperFlags.load(), 0);
            ASSERT_EQ(job.helped, parts > 1) << parts << " parts, round " << round;
            if (round % 20 == 19) {
                std::this_thread::sleep_for(std::chrono::milliseconds(2));  // the helpers fall asleep
            }
        }
    }
}

// Awake helpers keep polling while no job comes until the pool rests or the idle time has passed
// on the pool's clock; a job wakes sleeping helpers, and they poll again afterwards.
TEST(DeviceThreads, AwakeHelpersSleepWhenTheSceneEndsOrNoJobComes) {
    std::atomic<int64_t> now{1000};
    PartPool pool(3, [&now] { return now.load(); });
    ASSERT_TRUE(Eventually(Polling(pool, 0)));  // after their first short poll

    pool.StayAwake();
    ASSERT_TRUE(Eventually(Polling(pool, 2)));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));  // far past the short poll
    EXPECT_EQ(pool.PollingHelpers(), 2);
    now += PartPool::kAwakeIdleMicroseconds;
    EXPECT_TRUE(Eventually(Polling(pool, 0)));

    // Still in the scene: the next job wakes them, and they stay polling after it.
    std::atomic<int> runs{0};
    const auto count = [](void* context, int, int) { static_cast<std::atomic<int>*>(context)->fetch_add(1); };
    pool.Run(count, &runs);
    EXPECT_EQ(runs.load(), 3);
    ASSERT_TRUE(Eventually(Polling(pool, 2)));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(pool.PollingHelpers(), 2);

    pool.Rest();
    EXPECT_TRUE(Eventually(Polling(pool, 0)));
    pool.Run(count, &runs);
    EXPECT_EQ(runs.load(), 6);
    EXPECT_TRUE(Eventually(Polling(pool, 0)));
}

#if defined(__linux__)
// Helpers kept off a core run their parts on the others. Every part of a job waits until all have
// started, so each helper runs one.
TEST(DeviceThreads, HelpersKeptOffACoreRunElsewhere) {
    cpu_set_t allowed;
    CPU_ZERO(&allowed);
    ASSERT_EQ(sched_getaffinity(0, sizeof allowed, &allowed), 0);
    if (CPU_COUNT(&allowed) < 2) {
        GTEST_SKIP() << "one core";
    }
    struct Job {
        std::thread::id caller = std::this_thread::get_id();
        std::atomic<int> started{0};
        std::atomic<int> helperCores[3] = {-2, -2, -2};  // of the parts the helpers ran
    };
    const auto job = [](void* context, int part, int parts) {
        auto& j = *static_cast<Job*>(context);
        j.started.fetch_add(1);
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (j.started.load() < parts && std::chrono::steady_clock::now() < giveUp) {
            std::this_thread::yield();
        }
        if (std::this_thread::get_id() != j.caller) {
            j.helperCores[part] = sched_getcpu();
        }
    };
    PartPool pool(3);
    for (int core = 0; core < CPU_SETSIZE; ++core) {
        if (!CPU_ISSET(core, &allowed)) {
            continue;
        }
        ASSERT_TRUE(pool.KeepHelpersOffCore(core));
        for (int round = 0; round < 20; ++round) {
            Job j;
            pool.Run(job, &j);
            for (const std::atomic<int>& helperCore : j.helperCores) {
                EXPECT_NE(helperCore.load(), core) << "round " << round;
            }
        }
    }
    EXPECT_FALSE(pool.KeepHelpersOffCore(-1));
    EXPECT_FALSE(pool.KeepHelpersOffCore(CPU_SETSIZE));
}
#endif

// The device keeps its helpers awake from BeginScene to EndScene only. (Whether they then poll
// depends on the time passing, which the pool's own test controls with its clock.)
TEST(DeviceThreads, HelpersStayAwakeDuringAScene) {
    DrawSurface* target = CreateDrawSurface(64, 48, kRgb565);
    Device3D* device = CreateDevice3D(*target, DeviceKind::kSoftware);
    ASSERT_EQ(SetDeviceThreads(*device, 2), 2);
    const PartPool& pool = *device->scratch->pool;
    for (int scene = 0; scene < 3; ++scene) {
        EXPECT_FALSE(pool.StaysAwake()) << scene;
        ASSERT_EQ(BeginScene(*device), kDeviceOk);
        EXPECT_TRUE(pool.StaysAwake()) << scene;
        ASSERT_EQ(EndScene(*device), kDeviceOk);
    }
    EXPECT_FALSE(pool.StaysAwake());
    ReleaseDevice3D(device);
    ReleaseDrawSurface(target);
}

}  // namespace
}  // namespace platform
