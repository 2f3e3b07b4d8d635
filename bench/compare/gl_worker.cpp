#include "bench/compare/gl_worker.h"

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "bench/compare/gl_replay.h"
#include "bench/compare/pictures.h"

namespace compare {

namespace {

bool WriteAll(int fd, const void* data, size_t size) {
    const auto* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd, p, size);
        if (n <= 0) {
            return false;
        }
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool ReadAll(int fd, void* data, size_t size) {
    auto* p = static_cast<char*>(data);
    while (size > 0) {
        const ssize_t n = ::read(fd, p, size);
        if (n <= 0) {
            return false;
        }
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool WriteString(int fd, const std::string& s) {
    const auto size = static_cast<uint32_t>(s.size());
    return WriteAll(fd, &size, sizeof size) && WriteAll(fd, s.data(), s.size());
}

bool ReadString(int fd, std::string& s) {
    uint32_t size = 0;
    if (!ReadAll(fd, &size, sizeof size) || size > 4096) {
        return false;
    }
    s.resize(size);
    return ReadAll(fd, s.data(), size);
}

constexpr char kRound = 'r';
constexpr char kPictures = 'p';

// The child's side: answers rounds and picture requests until the parent closes the pipe.
void Serve(int in, int out, const std::vector<const platform::FrameRecording*>& frames,
           const std::vector<std::string>& names, int width, int height) {
    GlReplayer gl(frames, width, height);
    const uint8_t ready = gl.Ready() ? 1 : 0;
    if (!WriteAll(out, &ready, 1) || !WriteString(out, gl.Ready() ? gl.Renderer() : "")) {
        return;
    }
    char command = 0;
    while (gl.Ready() && ReadAll(in, &command, 1)) {
        if (command == kRound) {
            int32_t repeat = 1;
            if (!ReadAll(in, &repeat, sizeof repeat)) {
                return;
            }
            std::vector<double> best(frames.size(), 1e30);
            for (size_t f = 0; f < frames.size(); ++f) {
                for (int32_t i = 0; i < repeat; ++i) {
                    const auto start = std::chrono::steady_clock::now();
                    gl.Replay(f);
                    const std::chrono::duration<double, std::milli> took =
                        std::chrono::steady_clock::now() - start;
                    best[f] = std::min(best[f], took.count());
                }
            }
            if (!WriteAll(out, best.data(), best.size() * sizeof(double))) {
                return;
            }
        } else if (command == kPictures) {
            std::string directory, suffix;
            if (!ReadString(in, directory) || !ReadString(in, suffix)) {
                return;
            }
            uint8_t written = 1;
            for (size_t f = 0; f < frames.size(); ++f) {
                gl.Replay(f);
                const std::string path = directory + "/" + names[f] + "_" + suffix + ".png";
                written &= WriteViewPng(gl.Pixels().data(), width, frames[f]->view, path) ? 1 : 0;
            }
            if (!WriteAll(out, &written, 1)) {
                return;
            }
        }
    }
}

}  // namespace

GlWorker::GlWorker(const std::vector<const platform::FrameRecording*>& frames,
                   const std::vector<std::string>& names, int width, int height, int threads)
    : frameCount_(frames.size()) {
    int down[2], up[2];
    if (::pipe(down) != 0) {
        return;
    }
    if (::pipe(up) != 0) {
        ::close(down[0]);
        ::close(down[1]);
        return;
    }
    pid_ = ::fork();
    if (pid_ == 0) {
        // Only this worker's own pipe ends stay open, so that every other worker sees its pipe
        // close when the parent closes it.
        for (int fd = 3; fd < 1024; ++fd) {
            if (fd != down[0] && fd != up[1]) {
                ::close(fd);
            }
        }
        ::setenv("GALLIUM_DRIVER", "llvmpipe", 1);
        ::setenv("LP_NUM_THREADS", std::to_string(threads).c_str(), 1);
        Serve(down[0], up[1], frames, names, width, height);
        ::_exit(0);
    }
    ::close(down[0]);
    ::close(up[1]);
    toChild_ = down[1];
    fromChild_ = up[0];
    uint8_t ready = 0;
    ready_ = pid_ > 0 && ReadAll(fromChild_, &ready, 1) && ready == 1 && ReadString(fromChild_, renderer_);
}

GlWorker::~GlWorker() {
    if (toChild_ >= 0) {
        ::close(toChild_);
    }
    if (fromChild_ >= 0) {
        ::close(fromChild_);
    }
    if (pid_ > 0) {
        int status = 0;
        ::waitpid(pid_, &status, 0);
    }
}

std::vector<double> GlWorker::Round(int repeat) {
    std::vector<double> best(frameCount_);
    const auto count = static_cast<int32_t>(repeat);
    if (!ready_ || !WriteAll(toChild_, &kRound, 1) || !WriteAll(toChild_, &count, sizeof count) ||
        !ReadAll(fromChild_, best.data(), best.size() * sizeof(double))) {
        ready_ = false;
        return {};
    }
    return best;
}

bool GlWorker::WritePictures(const std::string& directory, const std::string& suffix) {
    uint8_t written = 0;
    return ready_ && WriteAll(toChild_, &kPictures, 1) && WriteString(toChild_, directory) &&
           WriteString(toChild_, suffix) && ReadAll(fromChild_, &written, 1) && written == 1;
}

}  // namespace compare
