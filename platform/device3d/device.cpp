// The device record's life and state: creation with the default states, render target, transforms,
// viewport, material, lights, render and texture stage states, textures, Clear and scenes.

#include "platform/device3d.h"

#include <algorithm>
#include <bit>

#include "platform/device3d/pipeline.h"
#include "platform/device3d/pixel.h"

namespace platform {

namespace {

constexpr uint32_t kMaxLights = 4096;

void SetDefaultStates(Device3D& d) {
    uint32_t* rs = d.renderStates;
    rs[kRsZEnable] = 0;
    rs[kRsShadeMode] = kShadeGouraud;
    rs[kRsZWriteEnable] = 1;
    rs[kRsAlphaTestEnable] = 0;
    rs[kRsSrcBlend] = kBlendOne;
    rs[kRsDestBlend] = kBlendZero;
    rs[kRsCullMode] = kCullCcw;
    rs[kRsZFunc] = kCmpLessEqual;
    rs[kRsAlphaRef] = 0;
    rs[kRsAlphaFunc] = kCmpAlways;
    rs[kRsDitherEnable] = 0;
    rs[kRsAlphaBlendEnable] = 0;
    rs[kRsFogEnable] = 0;
    rs[kRsSpecularEnable] = 0;
    rs[kRsFogColor] = 0;
    rs[kRsFogTableMode] = kFogNone;
    rs[kRsFogStart] = FloatState(0.0f);
    rs[kRsFogEnd] = FloatState(1.0f);
    rs[kRsFogDensity] = FloatState(1.0f);
    rs[kRsLighting] = 1;
    rs[kRsAmbient] = 0;
    rs[kRsFogVertexMode] = kFogNone;
    rs[kRsNormalizeNormals] = 0;
    for (int stage = 0; stage < kTextureStages; ++stage) {
        uint32_t* ts = d.stageStates[stage];
        ts[kTssColorOp] = stage == 0 ? kTopModulate : kTopDisable;
        ts[kTssColorArg1] = kTaTexture;
        ts[kTssColorArg2] = kTaCurrent;
        ts[kTssAlphaOp] = stage == 0 ? kTopSelectArg1 : kTopDisable;
        ts[kTssAlphaArg1] = kTaTexture;
        ts[kTssAlphaArg2] = kTaCurrent;
        ts[kTssAddressU] = kAddressWrap;
        ts[kTssAddressV] = kAddressWrap;
        ts[kTssMagFilter] = kFilterPoint;
        ts[kTssMinFilter] = kFilterPoint;
    }
}

bool ValidStage(int stage) {
    return stage >= 0 && stage < kTextureStages;
}

}  // namespace

Device3D* CreateDevice3D(DrawSurface& target, DeviceKind kind) {
    if (target.pixels == nullptr) {
        return nullptr;
    }
    auto* d = new Device3D;
    d->scratch = new device_detail::DrawScratch;
    d->caps.kind = kind;
    d->textureFormats = {kArgb1555, kArgb4444, kRgb565, kRgb555};
    SetDefaultStates(*d);
    SetRenderTarget(*d, target, nullptr);
    return d;
}

void ReleaseDevice3D(Device3D* device) {
    if (device != nullptr) {
        device_detail::DrawQueued(*device);
        delete device->scratch;
        delete device;
    }
}

int SetDeviceThreads(Device3D& device, int threads) {
    threads = std::clamp(threads, 1, kMaxDeviceThreads);
    device_detail::DrawQueued(device);
    device_detail::DrawScratch& scratch = *device.scratch;
    if (threads == 1) {
        scratch.pool.reset();
    } else if (scratch.pool == nullptr || scratch.pool->Parts() != threads) {
        scratch.pool = std::make_unique<device_detail::PartPool>(threads);
        if (device.inScene) {
            scratch.pool->StayAwake();
        }
    }
    return threads;
}

std::vector<PixelFormat> EnumZBufferFormats(const Device3D&) {
    return {kDepth16};
}

const std::vector<PixelFormat>& EnumTextureFormats(const Device3D& device) {
    return device.textureFormats;
}

const DeviceCaps& GetCaps(const Device3D& device) {
    return device.caps;
}

int SetRenderTarget(Device3D& device, DrawSurface& target, DrawSurface* depth) {
    if (target.pixels == nullptr) {
        return kDeviceInvalidCall;
    }
    if (depth != nullptr &&
        (depth->format.bitsPerPixel != 16 || depth->width < target.width || depth->height < target.height)) {
        return kDeviceInvalidCall;
    }
    // The queued draws go to the target they were given with.
    device_detail::DrawQueued(device);
    device.target = &target;
    device.depth = depth;
    device.viewport = {0, 0, target.width, target.height, 0.0f, 1.0f};
    return kDeviceOk;
}

void SetTransform(Device3D& device, TransformType type, const Matrix4& m) {
    switch (type) {
        case TransformType::kWorld:
            device.world = m;
            break;
        case TransformType::kView:
            device.view = m;
            break;
        case TransformType::kProjection:
            device.projection = m;
            break;
    }
}

Matrix4 GetTransform(const Device3D& device, TransformType type) {
    switch (type) {
        case TransformType::kWorld:
            return device.world;
        case TransformType::kView:
            return device.view;
        default:
            return device.projection;
    }
}

int SetViewport(Device3D& device, const DeviceViewport& viewport) {
    if (viewport.width <= 0 || viewport.height <= 0 || viewport.x < 0 || viewport.y < 0) {
        return kDeviceInvalidCall;
    }
    device.viewport = viewport;
    return kDeviceOk;
}

DeviceViewport GetViewport(const Device3D& device) {
    return device.viewport;
}

void SetMaterial(Device3D& device, const DeviceMaterial& material) {
    device.material = material;
}

DeviceMaterial GetMaterial(const Device3D& device) {
    return device.material;
}

int SetLight(Device3D& device, uint32_t index, const DeviceLight& light) {
    if (index >= kMaxLights || light.type < kLightPoint || light.type > kLightDirectional) {
        return kDeviceInvalidCall;
    }
    if (index >= device.lights.size()) {
        device.lights.resize(index + 1);
        device.lightEnabled.resize(index + 1, 0);
    }
    device.lights[index] = light;
    return kDeviceOk;
}

int LightEnable(Device3D& device, uint32_t index, bool enable) {
    if (index >= kMaxLights) {
        return kDeviceInvalidCall;
    }
    if (index >= device.lights.size()) {
        // Enabling a light never set gives the default light: white, pointing along +z.
        DeviceLight light;
        light.diffuse = {1.0f, 1.0f, 1.0f, 0.0f};
        SetLight(device, index, light);
    }
    device.lightEnabled[index] = enable ? 1 : 0;
    return kDeviceOk;
}

uint32_t FloatState(float value) {
    return std::bit_cast<uint32_t>(value);
}

int SetRenderState(Device3D& device, uint32_t state, uint32_t value) {
    if (state >= kRenderStateCount) {
        return kDeviceInvalidCall;
    }
    device.renderStates[state] = value;
    return kDeviceOk;
}

uint32_t GetRenderState(const Device3D& device, uint32_t state) {
    return state < kRenderStateCount ? device.renderStates[state] : 0;
}

int SetTextureStageState(Device3D& device, int stage, uint32_t type, uint32_t value) {
    if (!ValidStage(stage) || type >= kStageStateCount) {
        return kDeviceInvalidCall;
    }
    device.stageStates[stage][type] = value;
    return kDeviceOk;
}

uint32_t GetTextureStageState(const Device3D& device, int stage, uint32_t type) {
    return ValidStage(stage) && type < kStageStateCount ? device.stageStates[stage][type] : 0;
}

int SetTexture(Device3D& device, int stage, DeviceTexture* texture) {
    if (!ValidStage(stage)) {
        return kDeviceInvalidCall;
    }
    device.textures[stage] = texture;
    return kDeviceOk;
}

DeviceTexture* CreateDeviceTexture(int width, int height, const PixelFormat& format) {
    if (format.bitsPerPixel != 16 || width > kMaxTextureSize || height > kMaxTextureSize) {
        return nullptr;
    }
    DrawSurface* surface = CreateDrawSurface(width, height, format);
    if (surface == nullptr) {
        return nullptr;
    }
    auto* texture = new DeviceTexture;
    texture->surface = surface;
    return texture;
}

void ReleaseDeviceTexture(DeviceTexture* texture) {
    if (texture == nullptr) {
        return;
    }
    ReleaseDrawSurface(texture->surface);
    delete texture;
}

int Clear(Device3D& device, const SurfaceRect* rects, int count, uint32_t flags, uint32_t color, float z) {
    if (device.target == nullptr) {
        return kDeviceNoTarget;
    }
    const DeviceViewport& vp = device.viewport;
    const SurfaceRect whole{vp.x, vp.y, vp.x + vp.width, vp.y + vp.height};
    if (rects == nullptr || count <= 0) {
        rects = &whole;
        count = 1;
    }
    device_detail::DrawQueued(device);
    const uint32_t pixel = device_detail::PackColor(device.target->format, (color >> 16) & 0xFF,
                                                    (color >> 8) & 0xFF, color & 0xFF);
    const uint16_t depth = device_detail::QuantizeDepth(z);
    for (int i = 0; i < count; ++i) {
        const SurfaceRect r{std::max(rects[i].left, whole.left), std::max(rects[i].top, whole.top),
                            std::min(rects[i].right, whole.right), std::min(rects[i].bottom, whole.bottom)};
        if (r.left >= r.right || r.top >= r.bottom) {
            continue;
        }
        if ((flags & kClearTarget) != 0) {
            ColorFill(*device.target, &r, pixel);
        }
        if ((flags & kClearZBuffer) != 0 && device.depth != nullptr) {
            ColorFill(*device.depth, &r, depth);
        }
    }
    if (device.observer != nullptr) {
        device.observer->Cleared(device, rects, count, flags, color, z);
    }
    return kDeviceOk;
}

int BeginScene(Device3D& device) {
    if (device.inScene || device.target == nullptr) {
        return kDeviceInvalidCall;
    }
    if (device.observer != nullptr) {
        device.observer->SceneBeginning(device);
    }
    device.inScene = true;
    // The draws of a scene follow each other closely: the helper threads wait for them awake.
    if (device.scratch->pool != nullptr) {
        device.scratch->pool->StayAwake();
    }
    return kDeviceOk;
}

int EndScene(Device3D& device) {
    if (!device.inScene) {
        return kDeviceInvalidCall;
    }
    device_detail::DrawQueued(device);
    device.inScene = false;
    if (device.scratch->pool != nullptr) {
        device.scratch->pool->Rest();
    }
    return kDeviceOk;
}

}  // namespace platform
