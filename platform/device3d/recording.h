#pragma once
// Frames of device calls recorded from the game's own drawing, kept in files and replayed through
// any renderer: the benchmark compares renderers on exactly the work of a real frame.
//
// A FrameRecorder watches a device (Device3D::observer) and keeps every clear, every scene start
// and every draw together with the whole device state it was drawn with, the texture's pixels and
// the vertices and indices. A write into the target outside the device (the sky picture copied in
// before the scene) is kept as a picture of the viewport at the next scene start.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/device3d.h"

namespace platform {

struct RecordedTexture {
    PixelFormat format{};
    int width = 0;
    int height = 0;
    std::vector<uint16_t> pixels;  // the texture surface's own pixels, width x height
    std::vector<uint32_t> texels;  // the same decoded as 0xAARRGGBB
};

// The device state a draw was made with. Lights: the enabled ones only, in index order.
struct RecordedState {
    Matrix4 world, view, projection;
    DeviceViewport viewport;
    DeviceMaterial material;
    std::vector<DeviceLight> lights;
    uint32_t renderStates[kRenderStateCount] = {};
    uint32_t stageStates[kStageStateCount] = {};  // stage 0
    int32_t texture = -1;                         // index into FrameRecording::textures; -1: none
};

// A scene ends at the next scene start or at the end of the frame.
enum class RecordedKind : uint8_t { kClear, kBeginScene, kPicture, kDraw };

struct RecordedCall {
    RecordedKind kind = RecordedKind::kClear;
    // kClear
    DeviceViewport viewport;
    std::vector<SurfaceRect> rects;  // empty: the whole viewport
    uint32_t flags = 0;
    uint32_t color = 0;
    float z = 1.0f;
    // kPicture: the target's pixels over area (target format)
    SurfaceRect area{};
    std::vector<uint16_t> pixels;
    // kDraw
    uint32_t state = 0;  // index into FrameRecording::states
    std::vector<DeviceVertex> vertices;
    std::vector<uint16_t> indices;
};

struct FrameRecording {
    int width = 0;  // the target's size; its format is RGB565, with a 16-bit depth surface
    int height = 0;
    DeviceViewport view;  // the viewport of the first draw: the part of the target the frame is about
    std::vector<RecordedTexture> textures;
    std::vector<RecordedState> states;
    std::vector<RecordedCall> calls;
};

class FrameRecorder : public DeviceCallObserver {
  public:
    // Starts watching device (replacing any observer); stops in the destructor or at Stop.
    explicit FrameRecorder(Device3D& device);
    ~FrameRecorder() override;
    FrameRecorder(const FrameRecorder&) = delete;
    FrameRecorder& operator=(const FrameRecorder&) = delete;

    void Stop();
    // What was recorded; empty calls when the target was not a 565 surface.
    const FrameRecording& Recording() const { return recording_; }

    void Cleared(const Device3D& device, const SurfaceRect* rects, int count, uint32_t flags, uint32_t color,
                 float z) override;
    void SceneBeginning(const Device3D& device) override;
    void Drew(const Device3D& device, const DeviceVertex* vertices, uint32_t vertexCount,
              const uint16_t* indices, uint32_t indexCount) override;

  private:
    int32_t TextureIndex(DeviceTexture* texture);
    bool Accepts(const Device3D& device);

    Device3D* device_;
    FrameRecording recording_;
    uint32_t targetChange_ = 0;  // the target's change count after the last recorded call
    std::vector<std::pair<const DeviceTexture*, uint32_t>> textureKeys_;  // texture and change count
};

// Frame files: false with a message when the file cannot be written or is not a whole, valid frame.
bool WriteFrameRecording(const FrameRecording& frame, const std::string& path, std::string& error);
bool ReadFrameRecording(const std::string& path, FrameRecording& frame, std::string& error);

// The surfaces and textures a recording is replayed with on the software device.
struct FrameReplay {
    DrawSurface* target = nullptr;
    DrawSurface* depth = nullptr;
    std::vector<DrawSurface*> pictures;  // one per kPicture call, in order
    std::vector<DeviceTexture*> textures;
    Device3D* device = nullptr;
};

// Makes the surfaces, textures and device; false when one cannot be made (then release it).
bool PrepareReplay(const FrameRecording& frame, FrameReplay& replay);
void ReleaseReplay(FrameReplay& replay);
// Replays every call of the frame into replay.target.
void ReplayFrame(const FrameRecording& frame, FrameReplay& replay);

}  // namespace platform
