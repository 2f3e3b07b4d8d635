// bench_frame_compare [--frames DIR] [--rounds N] [--repeat N] [--pictures DIR] [--gl-threads A,B]
// Replays the frames that framerec recorded (DIR/holeN_main|map|inset.frame; by default the
// build's frames/ folder, made by `cmake --build build --target frames`) through the software device
// and, where Mesa's OSMesa was found at build time, through llvmpipe with each thread count
// (LP_NUM_THREADS; 0: everything on the calling thread; default 0 and the machine's threads);
// ours runs on one thread and on the machine's threads.
// Prints the shortest time of each frame over interleaved rounds and the ratios to ours.
// --pictures DIR writes every renderer's picture of each frame as PNG and how far they differ.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/compare/pictures.h"
#include "platform/device3d.h"
#if defined(BRIGHTLEA_HAVE_OSMESA)
#include "bench/compare/gl_worker.h"
#endif

namespace {

struct Options {
    std::string frames = BRIGHTLEA_FRAMES_DIR;
    int rounds = 10;
    int repeat = 3;
    std::string pictures;
    int threads = static_cast<int>(std::max(2u, std::thread::hardware_concurrency()));
    std::vector<int> glThreads = {0, threads};
};

bool Parse(int argc, char** argv, Options& o) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i], value = argv[i + 1];
        if (name == "--frames") {
            o.frames = value;
        } else if (name == "--rounds") {
            o.rounds = std::max(1, std::atoi(value.c_str()));
        } else if (name == "--repeat") {
            o.repeat = std::max(1, std::atoi(value.c_str()));
        } else if (name == "--pictures") {
            o.pictures = value;
        } else if (name == "--gl-threads") {
            o.glThreads.clear();
            std::stringstream list(value);
            for (std::string item; std::getline(list, item, ',');) {
                o.glThreads.push_back(std::atoi(item.c_str()));
            }
        } else {
            return false;
        }
    }
    return argc % 2 == 1;
}

std::string LoadAverage() {
    std::ifstream in("/proc/loadavg");
    std::string one, five, fifteen;
    in >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

struct Frame {
    std::string name;  // holeN_view
    std::string view;
    int hole = 0;
    platform::FrameRecording recording;
};

std::vector<Frame> LoadFrames(const std::string& directory) {
    std::vector<Frame> frames;
    for (const char* view : {"main", "map", "inset"}) {
        for (int hole = 1; hole <= 18; ++hole) {
            Frame f;
            f.name = "hole" + std::to_string(hole) + "_" + view;
            f.view = view;
            f.hole = hole;
            const std::string path = directory + "/" + f.name + ".frame";
            std::string error;
            if (!std::filesystem::exists(path)) {
                continue;
            }
            if (!platform::ReadFrameRecording(path, f.recording, error)) {
                std::fprintf(stderr, "%s\n", error.c_str());
                continue;
            }
            frames.push_back(std::move(f));
        }
    }
    return frames;
}

// One renderer's column: a round gives the shortest time of each frame.
struct Column {
    std::string name;
    std::function<std::vector<double>(int repeat)> round;
    std::function<bool(const std::string& directory)> pictures;
    std::vector<double> best;
};

double TimeMs(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

class OurRenderer {
  public:
    OurRenderer(const std::vector<Frame>& frames, int threads) : frames_(frames) {
        for (const Frame& f : frames) {
            replays_.emplace_back();
            ready_ = ready_ && platform::PrepareReplay(f.recording, replays_.back());
            if (ready_) {
                platform::SetDeviceThreads(*replays_.back().device, threads);
            }
        }
    }
    ~OurRenderer() {
        for (platform::FrameReplay& r : replays_) {
            platform::ReleaseReplay(r);
        }
    }
    bool Ready() const { return ready_; }
    std::vector<double> Round(int repeat) {
        std::vector<double> best(frames_.size(), 1e30);
        for (size_t f = 0; f < frames_.size(); ++f) {
            for (int i = 0; i < repeat; ++i) {
                best[f] = std::min(best[f],
                                   TimeMs([&] { platform::ReplayFrame(frames_[f].recording, replays_[f]); }));
            }
        }
        return best;
    }
    bool Pictures(const std::string& directory, const std::string& suffix) {
        bool written = true;
        for (size_t f = 0; f < frames_.size(); ++f) {
            platform::ReplayFrame(frames_[f].recording, replays_[f]);
            platform::LockedPixels px;
            platform::DrawSurface& target = *replays_[f].target;
            if (platform::LockSurface(target, px) != platform::kSurfaceOk) {
                return false;
            }
            std::vector<uint16_t> pixels(static_cast<size_t>(px.width) * static_cast<size_t>(px.height));
            for (int y = 0; y < px.height; ++y) {
                std::copy_n(
                    reinterpret_cast<const uint16_t*>(px.bits + static_cast<std::ptrdiff_t>(y) * px.pitch),
                    px.width, pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(px.width));
            }
            platform::UnlockSurface(target);
            written = compare::WriteViewPng(pixels.data(), px.width, frames_[f].recording.view,
                                            directory + "/" + frames_[f].name + "_" + suffix + ".png") &&
                      written;
        }
        return written;
    }

  private:
    const std::vector<Frame>& frames_;
    std::vector<platform::FrameReplay> replays_;
    bool ready_ = true;
};

std::string ViewTitle(const Frame& f) {
    const platform::DeviceViewport& v = f.recording.view;
    return f.view + " " + std::to_string(v.width) + "x" + std::to_string(v.height);
}

// A ratio: how many times longer renderer `over` takes than renderer `under`.
struct Ratio {
    size_t over, under;
};

void PrintTable(const std::vector<Frame>& frames, const std::vector<Column>& columns,
                const std::vector<Ratio>& ratios) {
    std::printf("\n%-18s %4s", "view", "hole");
    for (const Column& c : columns) {
        std::printf(" %14s", c.name.c_str());
    }
    for (const Ratio& r : ratios) {
        std::printf(" %24s", (columns[r.over].name + "/" + columns[r.under].name).c_str());
    }
    std::printf("\n");
    for (size_t f = 0; f < frames.size(); ++f) {
        std::printf("%-18s %4d", ViewTitle(frames[f]).c_str(), frames[f].hole);
        for (const Column& c : columns) {
            std::printf(" %11.2f ms", c.best[f]);
        }
        for (const Ratio& r : ratios) {
            std::printf(" %24.2f", columns[r.over].best[f] / columns[r.under].best[f]);
        }
        std::printf("\n");
    }
    std::printf("(times: the shortest of every replay; a ratio above 1: the first renderer takes longer)\n");
}

void ComparePictures(const std::vector<Frame>& frames, const std::vector<Column>& columns,
                     const std::string& dir) {
    std::printf("\npictures in %s; difference from %s (mean per channel 0..255, pixels beyond dithering):\n",
                dir.c_str(), columns[0].name.c_str());
    for (const Frame& f : frames) {
        for (size_t c = 1; c < columns.size(); ++c) {
            const compare::PictureDifference d =
                compare::ComparePngs(dir + "/" + f.name + "_" + columns[0].name + ".png",
                                     dir + "/" + f.name + "_" + columns[c].name + ".png");
            if (d.compared) {
                std::printf("  %-12s %-12s mean %.2f, beyond dithering %.2f%%\n", f.name.c_str(),
                            columns[c].name.c_str(), d.meanChannelDifference, d.shareBeyondDither * 100.0);
            }
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!Parse(argc, argv, options)) {
        std::fputs(
            "usage: bench_frame_compare [--frames DIR] [--rounds N] [--repeat N] [--pictures DIR] "
            "[--gl-threads A,B]\n",
            stderr);
        return 2;
    }
    const std::vector<Frame> frames = LoadFrames(options.frames);
    if (frames.empty()) {
        std::fprintf(stderr, "no frames in %s: record them with `cmake --build build --target frames`\n",
                     options.frames.c_str());
        return 1;
    }
    std::printf("%zu frames from %s; %d interleaved rounds of %d replays each, shortest time per frame\n",
                frames.size(), options.frames.c_str(), options.rounds, options.repeat);
    std::printf("load average at start: %s\n", LoadAverage().c_str());
    std::vector<Column> columns;
#if defined(BRIGHTLEA_HAVE_OSMESA)
    // The workers are started first, while this process has no threads of its own.
    std::vector<const platform::FrameRecording*> recordings;
    std::vector<std::string> names;
    for (const Frame& f : frames) {
        recordings.push_back(&f.recording);
        names.push_back(f.name);
    }
    std::vector<std::unique_ptr<compare::GlWorker>> workers;
    for (const int threads : options.glThreads) {
        auto worker = std::make_unique<compare::GlWorker>(recordings, names, frames[0].recording.width,
                                                          frames[0].recording.height, threads);
        if (!worker->Ready()) {
            std::fprintf(stderr, "llvmpipe with LP_NUM_THREADS=%d could not be started\n", threads);
            continue;
        }
        std::printf("llvmpipe, LP_NUM_THREADS=%d: %s\n", threads, worker->Renderer().c_str());
        workers.push_back(std::move(worker));
    }
#else
    std::printf("OSMesa was not found at build time: our device only\n");
#endif
    OurRenderer ours(frames, 1);
    OurRenderer oursShared(frames, options.threads);
    if (!ours.Ready() || !oursShared.Ready()) {
        std::fprintf(stderr, "cannot prepare the frames for the software device\n");
        return 1;
    }
    const std::string sharedName = "ours-" + std::to_string(options.threads) + "thr";
    columns.push_back({"ours",
                       [&](int repeat) { return ours.Round(repeat); },
                       [&](const std::string& dir) { return ours.Pictures(dir, "ours"); },
                       {}});
    columns.push_back({sharedName,
                       [&](int repeat) { return oursShared.Round(repeat); },
                       [&](const std::string& dir) { return oursShared.Pictures(dir, sharedName); },
                       {}});
#if defined(BRIGHTLEA_HAVE_OSMESA)
    for (size_t w = 0; w < workers.size(); ++w) {
        compare::GlWorker& worker = *workers[w];
        const int threads = options.glThreads[w];
        const std::string name =
            threads == 0 ? "llvmpipe-1core" : "llvmpipe-" + std::to_string(threads) + "thr";
        columns.push_back(
            {name,
             [&worker](int repeat) { return worker.Round(repeat); },
             [&worker, name](const std::string& dir) { return worker.WritePictures(dir, name); },
             {}});
    }
#endif
    for (Column& c : columns) {
        c.round(1);  // warm caches, decode textures
        c.best.assign(frames.size(), 1e30);
    }
    for (int round = 0; round < options.rounds; ++round) {
        for (Column& c : columns) {
            const std::vector<double> times = c.round(options.repeat);
            for (size_t f = 0; f < times.size() && f < frames.size(); ++f) {
                c.best[f] = std::min(c.best[f], times[f]);
            }
        }
    }
    std::vector<Ratio> ratios = {{1, 0}};
    for (size_t c = 2; c < columns.size(); ++c) {
        ratios.push_back(
            {c, c == 2 ? 0u : 1u});  // one llvmpipe core against ours on one, threads against threads
    }
    PrintTable(frames, columns, ratios);
    std::printf("load average at end: %s\n", LoadAverage().c_str());
    if (!options.pictures.empty()) {
        std::filesystem::create_directories(options.pictures);
        for (Column& c : columns) {
            if (!c.pictures(options.pictures)) {
                std::fprintf(stderr, "cannot write the pictures of %s\n", c.name.c_str());
            }
        }
        ComparePictures(frames, columns, options.pictures);
    }
    return 0;
}
