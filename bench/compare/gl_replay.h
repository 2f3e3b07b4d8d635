#pragma once
// Replaying a recorded frame through Mesa's off-screen OpenGL (llvmpipe): the same calls as the
// software device gets, translated to fixed-function OpenGL 1.5 into an RGB565 colour buffer with a
// 16-bit depth buffer. Only built where OSMesa is installed.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/device3d.h"

namespace compare {

class GlReplayer {
  public:
    // Makes the off-screen context (the renderer's thread count comes from LP_NUM_THREADS, read by
    // Mesa once per process) and uploads every frame's textures, vertices and indices.
    GlReplayer(const std::vector<const platform::FrameRecording*>& frames, int width, int height);
    ~GlReplayer();
    GlReplayer(const GlReplayer&) = delete;
    GlReplayer& operator=(const GlReplayer&) = delete;

    bool Ready() const { return ready_; }
    std::string Renderer() const;
    // Replays frame `index` and waits until it is drawn.
    void Replay(size_t index);
    // The colour buffer, rows from the top, RGB565.
    const std::vector<uint16_t>& Pixels() const { return pixels_; }

  private:
    struct Uploaded;
    std::vector<const platform::FrameRecording*> frames_;
    std::vector<std::unique_ptr<Uploaded>> uploaded_;
    std::vector<uint16_t> pixels_;
    int height_;
    void* context_ = nullptr;
    bool ready_ = false;
};

}  // namespace compare
