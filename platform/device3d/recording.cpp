// Recording a frame of device calls from a watched device, and replaying it on the software device.

#include "platform/device3d.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace platform {

namespace {

bool Is565(const DrawSurface& s) {
    return s.format.bitsPerPixel == 16 && s.format.greenMask == kRgb565.greenMask &&
           s.format.redMask == kRgb565.redMask;
}

// The 16-bit pixels of area of a surface, row after row; reading leaves the change count alone.
std::vector<uint16_t> ReadPixels(DrawSurface& surface, const SurfaceRect& area) {
    std::vector<uint16_t> out;
    LockedPixels px;
    const uint32_t change = surface.changeCount;
    if (LockSurface(surface, px) != kSurfaceOk) {
        return out;
    }
    const int width = area.right - area.left;
    out.resize(static_cast<size_t>(width) * static_cast<size_t>(area.bottom - area.top));
    for (int y = area.top; y < area.bottom; ++y) {
        std::memcpy(out.data() + static_cast<size_t>(y - area.top) * static_cast<size_t>(width),
                    px.bits + static_cast<std::ptrdiff_t>(y) * px.pitch + area.left * 2,
                    static_cast<size_t>(width) * 2);
    }
    UnlockSurface(surface);
    surface.changeCount = change;
    return out;
}

void WritePixels(DrawSurface& surface, const std::vector<uint16_t>& pixels) {
    LockedPixels px;
    if (LockSurface(surface, px) != kSurfaceOk) {
        return;
    }
    for (int y = 0; y < px.height; ++y) {
        std::memcpy(px.bits + static_cast<std::ptrdiff_t>(y) * px.pitch,
                    pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(px.width),
                    static_cast<size_t>(px.width) * 2);
    }
    UnlockSurface(surface);
}

RecordedState StateOf(const Device3D& d) {
    RecordedState s;
    s.world = d.world;
    s.view = d.view;
    s.projection = d.projection;
    s.viewport = d.viewport;
    s.material = d.material;
    for (size_t i = 0; i < d.lights.size(); ++i) {
        if (d.lightEnabled[i] != 0) {
            s.lights.push_back(d.lights[i]);
        }
    }
    std::copy(std::begin(d.renderStates), std::end(d.renderStates), s.renderStates);
    std::copy(std::begin(d.stageStates[0]), std::end(d.stageStates[0]), s.stageStates);
    return s;
}

void ApplyState(Device3D& d, const RecordedState& s, DeviceTexture* texture) {
    SetTransform(d, TransformType::kWorld, s.world);
    SetTransform(d, TransformType::kView, s.view);
    SetTransform(d, TransformType::kProjection, s.projection);
    SetViewport(d, s.viewport);
    SetMaterial(d, s.material);
    for (size_t i = 0; i < s.lights.size(); ++i) {
        SetLight(d, static_cast<uint32_t>(i), s.lights[i]);
        LightEnable(d, static_cast<uint32_t>(i), true);
    }
    for (size_t i = s.lights.size(); i < d.lights.size(); ++i) {
        LightEnable(d, static_cast<uint32_t>(i), false);
    }
    for (uint32_t i = 0; i < kRenderStateCount; ++i) {
        SetRenderState(d, i, s.renderStates[i]);
    }
    for (uint32_t i = 0; i < kStageStateCount; ++i) {
        SetTextureStageState(d, 0, i, s.stageStates[i]);
    }
    SetTexture(d, 0, texture);
}

}  // namespace

FrameRecorder::FrameRecorder(Device3D& device) : device_(&device) {
    device.observer = this;
    if (device.target != nullptr) {
        targetChange_ = device.target->changeCount;
    }
}

FrameRecorder::~FrameRecorder() {
    Stop();
}

void FrameRecorder::Stop() {
    if (device_ != nullptr && device_->observer == this) {
        device_->observer = nullptr;
    }
    device_ = nullptr;
}

bool FrameRecorder::Accepts(const Device3D& device) {
    if (device.target == nullptr || !Is565(*device.target)) {
        return false;
    }
    if (recording_.width == 0) {
        recording_.width = device.target->width;
        recording_.height = device.target->height;
    }
    return device.target->width == recording_.width && device.target->height == recording_.height;
}

int32_t FrameRecorder::TextureIndex(DeviceTexture* texture) {
    if (texture == nullptr || texture->surface == nullptr || !texture->decoded) {
        return -1;
    }
    const std::pair<const DeviceTexture*, uint32_t> key{texture, texture->surface->changeCount};
    const auto found = std::find(textureKeys_.begin(), textureKeys_.end(), key);
    if (found != textureKeys_.end()) {
        return static_cast<int32_t>(found - textureKeys_.begin());
    }
    DrawSurface& surface = *texture->surface;
    RecordedTexture t;
    t.format = surface.format;
    t.width = surface.width;
    t.height = surface.height;
    t.pixels = ReadPixels(surface, {0, 0, surface.width, surface.height});
    t.texels = texture->texels;
    recording_.textures.push_back(std::move(t));
    textureKeys_.push_back(key);
    return static_cast<int32_t>(textureKeys_.size() - 1);
}

void FrameRecorder::Cleared(const Device3D& device, const SurfaceRect* rects, int count, uint32_t flags,
                            uint32_t color, float z) {
    if (!Accepts(device)) {
        return;
    }
    RecordedCall call;
    call.kind = RecordedKind::kClear;
    call.viewport = device.viewport;
    if (rects != nullptr && count > 0) {
        call.rects.assign(rects, rects + count);
    }
    call.flags = flags;
    call.color = color;
    call.z = z;
    recording_.calls.push_back(std::move(call));
    targetChange_ = device.target->changeCount;
}

void FrameRecorder::SceneBeginning(const Device3D& device) {
    if (!Accepts(device)) {
        return;
    }
    DrawSurface& target = *device.target;
    if (target.changeCount != targetChange_) {
        const DeviceViewport& vp = device.viewport;
        RecordedCall picture;
        picture.kind = RecordedKind::kPicture;
        picture.area = {std::max(vp.x, 0), std::max(vp.y, 0), std::min(vp.x + vp.width, target.width),
                        std::min(vp.y + vp.height, target.height)};
        if (picture.area.left < picture.area.right && picture.area.top < picture.area.bottom) {
            picture.pixels = ReadPixels(target, picture.area);
            recording_.calls.push_back(std::move(picture));
        }
        targetChange_ = target.changeCount;
    }
    recording_.calls.push_back(RecordedCall{RecordedKind::kBeginScene});
}

void FrameRecorder::Drew(const Device3D& device, const DeviceVertex* vertices, uint32_t vertexCount,
                         const uint16_t* indices, uint32_t indexCount) {
    if (!Accepts(device)) {
        return;
    }
    if (std::none_of(recording_.calls.begin(), recording_.calls.end(),
                     [](const RecordedCall& c) { return c.kind == RecordedKind::kDraw; })) {
        recording_.view = device.viewport;
    }
    RecordedState state = StateOf(device);
    state.texture = TextureIndex(device.textures[0]);
    RecordedCall call;
    call.kind = RecordedKind::kDraw;
    call.state = static_cast<uint32_t>(recording_.states.size());
    recording_.states.push_back(std::move(state));
    call.vertices.assign(vertices, vertices + vertexCount);
    call.indices.assign(indices, indices + indexCount);
    recording_.calls.push_back(std::move(call));
    targetChange_ = device.target->changeCount;
}

bool PrepareReplay(const FrameRecording& frame, FrameReplay& replay) {
    replay.target = CreateDrawSurface(frame.width, frame.height, kRgb565);
    replay.depth = CreateDrawSurface(frame.width, frame.height, kDepth16);
    if (replay.target == nullptr || replay.depth == nullptr) {
        return false;
    }
    replay.device = CreateDevice3D(*replay.target, DeviceKind::kSoftware);
    if (replay.device == nullptr ||
        SetRenderTarget(*replay.device, *replay.target, replay.depth) != kDeviceOk) {
        return false;
    }
    for (const RecordedTexture& t : frame.textures) {
        DeviceTexture* texture = CreateDeviceTexture(t.width, t.height, t.format);
        replay.textures.push_back(texture);
        if (texture == nullptr) {
            return false;
        }
        WritePixels(*texture->surface, t.pixels);
    }
    for (const RecordedCall& call : frame.calls) {
        if (call.kind != RecordedKind::kPicture) {
            continue;
        }
        DrawSurface* picture =
            CreateDrawSurface(call.area.right - call.area.left, call.area.bottom - call.area.top, kRgb565);
        replay.pictures.push_back(picture);
        if (picture == nullptr) {
            return false;
        }
        WritePixels(*picture, call.pixels);
    }
    return true;
}

void ReleaseReplay(FrameReplay& replay) {
    ReleaseDevice3D(replay.device);
    for (DeviceTexture* texture : replay.textures) {
        ReleaseDeviceTexture(texture);
    }
    for (DrawSurface* picture : replay.pictures) {
        ReleaseDrawSurface(picture);
    }
    ReleaseDrawSurface(replay.target);
    ReleaseDrawSurface(replay.depth);
    replay = FrameReplay{};
}

void ReplayFrame(const FrameRecording& frame, FrameReplay& replay) {
    Device3D& d = *replay.device;
    size_t picture = 0;
    for (const RecordedCall& call : frame.calls) {
        switch (call.kind) {
            case RecordedKind::kClear:
                SetViewport(d, call.viewport);
                Clear(d, call.rects.empty() ? nullptr : call.rects.data(),
                      static_cast<int>(call.rects.size()), call.flags, call.color, call.z);
                break;
            case RecordedKind::kBeginScene:
                if (d.inScene) {
                    EndScene(d);
                }
                BeginScene(d);
                break;
            case RecordedKind::kPicture: {
                DrawSurface& source = *replay.pictures[picture++];
                CopyRect(*replay.target, call.area.left, call.area.top, source,
                         {0, 0, source.width, source.height}, false);
                break;
            }
            case RecordedKind::kDraw: {
                const RecordedState& state = frame.states[call.state];
                ApplyState(
                    d, state,
                    state.texture >= 0 ? replay.textures[static_cast<size_t>(state.texture)] : nullptr);
                DrawIndexedPrimitive(d, kPrimitiveTriangleList, kVertexFormatPositionNormalTex1,
                                     call.vertices.data(), static_cast<uint32_t>(call.vertices.size()),
                                     call.indices.data(), static_cast<uint32_t>(call.indices.size()));
                break;
            }
        }
    }
    if (d.inScene) {
        EndScene(d);
    }
    SetTexture(d, 0, nullptr);
}

}  // namespace platform
