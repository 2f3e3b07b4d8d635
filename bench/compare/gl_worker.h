#pragma once
// A child process replaying frames through llvmpipe. Mesa reads its thread count (LP_NUM_THREADS)
// once per process, so each thread count gets its own process; the parent asks for one round at a
// time, so that the renderers' rounds interleave.

#include <sys/types.h>
#include <string>
#include <vector>

#include "platform/device3d.h"

namespace compare {

class GlWorker {
  public:
    // names: one file stem per frame, for the pictures.
    GlWorker(const std::vector<const platform::FrameRecording*>& frames,
             const std::vector<std::string>& names, int width, int height, int threads);
    ~GlWorker();
    GlWorker(const GlWorker&) = delete;
    GlWorker& operator=(const GlWorker&) = delete;

    bool Ready() const { return ready_; }
    const std::string& Renderer() const { return renderer_; }
    // Replays every frame `repeat` times; the shortest time of each frame in milliseconds (empty
    // when the worker has gone).
    std::vector<double> Round(int repeat);
    // Writes each frame's picture as DIRECTORY/NAME_SUFFIX.png.
    bool WritePictures(const std::string& directory, const std::string& suffix);

  private:
    pid_t pid_ = -1;
    int toChild_ = -1;
    int fromChild_ = -1;
    bool ready_ = false;
    std::string renderer_;
    size_t frameCount_ = 0;
};

}  // namespace compare
