#pragma once
// The software 3D device: a fixed-function pipeline with Direct3D 7's conventions (row vectors,
// left-handed views, viewports in pixels with depth 0..1, pixel centres on integer coordinates,
// counter-clockwise triangles culled by default). It renders indexed triangle lists of position /
// normal / texture-coordinate vertices into a DrawSurface and a 16-bit depth surface.
//
// State is set and read by plain functions on a Device3D record; values of render and texture
// stage states use the Direct3D 7 numbers so that callers can keep them as plain integers.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/draw_surface.h"
#include "platform/vecmath.h"

namespace platform {

// Result codes of device operations: 0 success, negative failure.
inline constexpr int kDeviceOk = 0;
inline constexpr int kDeviceInvalidCall = -10;
inline constexpr int kDeviceNoTarget = -11;

// The one vertex layout the device draws: position, normal, one texture coordinate pair.
struct DeviceVertex {
    float x, y, z;
    float nx, ny, nz;
    float u, v;
};
static_assert(sizeof(DeviceVertex) == 32);

struct ColorValue {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 0.0f;
};

struct DeviceMaterial {
    ColorValue diffuse;
    ColorValue ambient;
    ColorValue specular;
    ColorValue emissive;
    float power = 0.0f;
};

inline constexpr uint32_t kLightPoint = 1;
inline constexpr uint32_t kLightSpot = 2;
inline constexpr uint32_t kLightDirectional = 3;

struct DeviceLight {
    uint32_t type = kLightDirectional;
    ColorValue diffuse;
    ColorValue specular;
    ColorValue ambient;
    Vec3 position;
    Vec3 direction{0.0f, 0.0f, 1.0f};
    float range = 0.0f;
    float falloff = 0.0f;
    float attenuation0 = 0.0f;
    float attenuation1 = 0.0f;
    float attenuation2 = 0.0f;
    float theta = 0.0f;  // inner cone angle of a spot light, radians
    float phi = 0.0f;    // outer cone angle
};

// A viewport in pixels of the render target.
struct DeviceViewport {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    float minZ = 0.0f;
    float maxZ = 1.0f;
};

enum class TransformType { kWorld, kView, kProjection };

// Render states.
inline constexpr uint32_t kRsZEnable = 7;
inline constexpr uint32_t kRsShadeMode = 9;
inline constexpr uint32_t kRsZWriteEnable = 14;
inline constexpr uint32_t kRsAlphaTestEnable = 15;
inline constexpr uint32_t kRsSrcBlend = 19;
inline constexpr uint32_t kRsDestBlend = 20;
inline constexpr uint32_t kRsCullMode = 22;
inline constexpr uint32_t kRsZFunc = 23;
inline constexpr uint32_t kRsAlphaRef = 24;
inline constexpr uint32_t kRsAlphaFunc = 25;
inline constexpr uint32_t kRsDitherEnable = 26;
inline constexpr uint32_t kRsAlphaBlendEnable = 27;
inline constexpr uint32_t kRsFogEnable = 28;
inline constexpr uint32_t kRsSpecularEnable = 29;
inline constexpr uint32_t kRsFogColor = 34;
inline constexpr uint32_t kRsFogTableMode = 35;
inline constexpr uint32_t kRsFogStart = 36;    // float, passed as its bit pattern
inline constexpr uint32_t kRsFogEnd = 37;      // float
inline constexpr uint32_t kRsFogDensity = 38;  // float
inline constexpr uint32_t kRsLighting = 137;
inline constexpr uint32_t kRsAmbient = 139;  // 0xAARRGGBB
inline constexpr uint32_t kRsFogVertexMode = 140;
inline constexpr uint32_t kRsNormalizeNormals = 143;
inline constexpr uint32_t kRenderStateCount = 256;

// Render state values.
inline constexpr uint32_t kShadeFlat = 1;
inline constexpr uint32_t kShadeGouraud = 2;
inline constexpr uint32_t kCullNone = 1;
inline constexpr uint32_t kCullCw = 2;
inline constexpr uint32_t kCullCcw = 3;
inline constexpr uint32_t kFogNone = 0;
inline constexpr uint32_t kFogExp = 1;
inline constexpr uint32_t kFogExp2 = 2;
inline constexpr uint32_t kFogLinear = 3;
inline constexpr uint32_t kCmpNever = 1;
inline constexpr uint32_t kCmpLess = 2;
inline constexpr uint32_t kCmpEqual = 3;
inline constexpr uint32_t kCmpLessEqual = 4;
inline constexpr uint32_t kCmpGreater = 5;
inline constexpr uint32_t kCmpNotEqual = 6;
inline constexpr uint32_t kCmpGreaterEqual = 7;
inline constexpr uint32_t kCmpAlways = 8;
inline constexpr uint32_t kBlendZero = 1;
inline constexpr uint32_t kBlendOne = 2;
inline constexpr uint32_t kBlendSrcColor = 3;
inline constexpr uint32_t kBlendInvSrcColor = 4;
inline constexpr uint32_t kBlendSrcAlpha = 5;
inline constexpr uint32_t kBlendInvSrcAlpha = 6;
inline constexpr uint32_t kBlendDestAlpha = 7;
inline constexpr uint32_t kBlendInvDestAlpha = 8;
inline constexpr uint32_t kBlendDestColor = 9;
inline constexpr uint32_t kBlendInvDestColor = 10;

// Texture stage states (only stage 0 is used for drawing).
inline constexpr uint32_t kTssColorOp = 1;
inline constexpr uint32_t kTssColorArg1 = 2;
inline constexpr uint32_t kTssColorArg2 = 3;
inline constexpr uint32_t kTssAlphaOp = 4;
inline constexpr uint32_t kTssAlphaArg1 = 5;
inline constexpr uint32_t kTssAlphaArg2 = 6;
inline constexpr uint32_t kTssAddressU = 13;
inline constexpr uint32_t kTssAddressV = 14;
inline constexpr uint32_t kTssMagFilter = 16;
inline constexpr uint32_t kTssMinFilter = 17;
inline constexpr uint32_t kStageStateCount = 32;
inline constexpr int kTextureStages = 8;

inline constexpr uint32_t kTopDisable = 1;
inline constexpr uint32_t kTopSelectArg1 = 2;
inline constexpr uint32_t kTopSelectArg2 = 3;
inline constexpr uint32_t kTopModulate = 4;
inline constexpr uint32_t kTaDiffuse = 0;
inline constexpr uint32_t kTaCurrent = 1;
inline constexpr uint32_t kTaTexture = 2;
inline constexpr uint32_t kFilterPoint = 1;
inline constexpr uint32_t kFilterLinear = 2;
inline constexpr uint32_t kAddressWrap = 1;

// Clear flags.
inline constexpr uint32_t kClearTarget = 1;
inline constexpr uint32_t kClearZBuffer = 2;

// Primitive type and vertex format accepted by DrawIndexedPrimitive.
inline constexpr uint32_t kPrimitiveTriangleList = 4;
inline constexpr uint32_t kVertexFormatPositionNormalTex1 = 0x112;

// Capability bits.
inline constexpr uint32_t kCmpCapsNever = 0x01;
inline constexpr uint32_t kCmpCapsLess = 0x02;
inline constexpr uint32_t kCmpCapsEqual = 0x04;
inline constexpr uint32_t kCmpCapsLessEqual = 0x08;
inline constexpr uint32_t kCmpCapsGreater = 0x10;
inline constexpr uint32_t kCmpCapsNotEqual = 0x20;
inline constexpr uint32_t kCmpCapsGreaterEqual = 0x40;
inline constexpr uint32_t kCmpCapsAlways = 0x80;
inline constexpr uint32_t kTextureCapsPerspective = 0x01;
inline constexpr uint32_t kTextureCapsPow2 = 0x02;
inline constexpr uint32_t kTextureCapsAlpha = 0x04;
inline constexpr uint32_t kTextureCapsSquareOnly = 0x20;

enum class DeviceKind { kHardware, kSoftware };

struct DeviceCaps {
    DeviceKind kind = DeviceKind::kSoftware;
    uint32_t alphaCmpCaps = 0xFF;
    uint32_t zCmpCaps = 0xFF;
    uint32_t textureCaps = kTextureCapsPerspective | kTextureCapsAlpha;
};

inline constexpr int kMaxTextureSize = 8192;

// The depth format of the depth surface: 16 bits, 0xFFFF the far value.
inline constexpr PixelFormat kDepth16{16, 0, 0, 0, 0};

// A texture: a drawing surface the game fills (lock, fill, FNI drawing) plus the device's decoded
// copy of it, refreshed whenever the surface has been written since the last draw.
struct DeviceTexture {
    DrawSurface* surface = nullptr;
    std::vector<uint32_t> texels;  // 0xAARRGGBB, width x height
    // Smaller copies for drawing the texture minified, each half the size of the one before down to
    // one texel (textures whose sides are powers of two only).
    std::vector<std::vector<uint32_t>> mipLevels;
    // The blocks that hold a visible texel (FindAlphaBlocks) of texels and then of each smaller copy.
    std::vector<std::vector<uint8_t>> alphaBlocks;
    uint32_t decodedChange = 0;
    bool decoded = false;
};

namespace device_detail {
struct DrawScratch;
}

struct Device3D;

// Sees the device calls that change pictures, for tools that record frames (FrameRecorder below).
// Clear and DrawIndexedPrimitive report after they have drawn, BeginScene before it begins.
class DeviceCallObserver {
  public:
    virtual ~DeviceCallObserver() = default;
    virtual void Cleared(const Device3D& device, const SurfaceRect* rects, int count, uint32_t flags,
                         uint32_t color, float z) = 0;
    virtual void SceneBeginning(const Device3D& device) = 0;
    virtual void Drew(const Device3D& device, const DeviceVertex* vertices, uint32_t vertexCount,
                      const uint16_t* indices, uint32_t indexCount) = 0;
};

struct Device3D {
    DrawSurface* target = nullptr;
    DrawSurface* depth = nullptr;
    DeviceCaps caps;
    std::vector<PixelFormat> textureFormats;  // offered in this order
    Matrix4 world = IdentityMatrix();
    Matrix4 view = IdentityMatrix();
    Matrix4 projection = IdentityMatrix();
    DeviceViewport viewport;
    DeviceMaterial material;
    std::vector<DeviceLight> lights;
    std::vector<uint8_t> lightEnabled;
    uint32_t renderStates[kRenderStateCount] = {};
    uint32_t stageStates[kTextureStages][kStageStateCount] = {};
    DeviceTexture* textures[kTextureStages] = {};
    bool inScene = false;
    device_detail::DrawScratch* scratch = nullptr;  // owned; the drawing's working arrays
    DeviceCallObserver* observer = nullptr;         // not owned; nullptr: nobody watches
};

// Creates a device drawing into target, with the default states of a fresh Direct3D 7 device.
// Depth testing starts disabled; SetRenderTarget with a depth surface attaches one.
Device3D* CreateDevice3D(DrawSurface& target, DeviceKind kind);
void ReleaseDevice3D(Device3D* device);

// Shares the drawing between `threads` threads (1: all on the calling thread, the default); the
// pictures are the same as with one thread. Returns the thread count in effect
// (1 .. kMaxDeviceThreads).
//
// With more than one thread, each DrawIndexedPrimitive works out its triangles at once (sharing
// the work when the list is large) but queues their drawing, and the threads draw the queue
// together, each its own rows, every draw in the order given. The queue is drawn at EndScene,
// Clear, SetRenderTarget, SetDeviceThreads and ReleaseDevice3D, and whenever anything reads,
// writes, locks, releases or loses the target, the depth surface or the surface of a texture a
// queued draw reads (draw_surface.h's functions finish the pending work first; code that reaches a
// surface's pixels another way calls FinishPendingWork). A texture released, re-filled or
// re-bound, the target locked, filled or copied into, all behave as if every earlier draw had
// been drawn. The vertices and indices passed are not read after the call returns.
inline constexpr int kMaxDeviceThreads = 16;
int SetDeviceThreads(Device3D& device, int threads);

// Depth formats the device can render to, in order of preference.
std::vector<PixelFormat> EnumZBufferFormats(const Device3D& device);
// Texture formats, in the order offered: ARGB1555, ARGB4444, RGB565, RGB555.
const std::vector<PixelFormat>& EnumTextureFormats(const Device3D& device);
const DeviceCaps& GetCaps(const Device3D& device);

// Sets the render target and its depth surface (nullptr: none). The viewport becomes the whole
// target. A depth surface must be 16 bits per pixel and at least the target's size.
int SetRenderTarget(Device3D& device, DrawSurface& target, DrawSurface* depth);

void SetTransform(Device3D& device, TransformType type, const Matrix4& m);
Matrix4 GetTransform(const Device3D& device, TransformType type);
int SetViewport(Device3D& device, const DeviceViewport& viewport);
DeviceViewport GetViewport(const Device3D& device);
void SetMaterial(Device3D& device, const DeviceMaterial& material);
DeviceMaterial GetMaterial(const Device3D& device);
int SetLight(Device3D& device, uint32_t index, const DeviceLight& light);
int LightEnable(Device3D& device, uint32_t index, bool enable);

int SetRenderState(Device3D& device, uint32_t state, uint32_t value);
uint32_t GetRenderState(const Device3D& device, uint32_t state);
// For the float-valued states (fog start, end, density).
uint32_t FloatState(float value);

int SetTextureStageState(Device3D& device, int stage, uint32_t type, uint32_t value);
uint32_t GetTextureStageState(const Device3D& device, int stage, uint32_t type);
int SetTexture(Device3D& device, int stage, DeviceTexture* texture);

// Creates a texture surface of the given size (each side at most kMaxTextureSize) and 16-bit format,
// cleared to 0; nullptr on failure.
DeviceTexture* CreateDeviceTexture(int width, int height, const PixelFormat& format);
void ReleaseDeviceTexture(DeviceTexture* texture);

// Clears rectangles (nullptr or count 0: the whole viewport), each cut to the viewport: the target
// to colour (0xAARRGGBB) and/or the depth surface to z (0..1).
int Clear(Device3D& device, const SurfaceRect* rects, int count, uint32_t flags, uint32_t color, float z);

int BeginScene(Device3D& device);
int EndScene(Device3D& device);

// Draws an indexed triangle list. Triangles with an index outside the vertex array are skipped.
int DrawIndexedPrimitive(Device3D& device, uint32_t primitiveType, uint32_t vertexFormat,
                         const DeviceVertex* vertices, uint32_t vertexCount, const uint16_t* indices,
                         uint32_t indexCount);

// --- Recording ---------------------------------------------------------------------------------
// Frames of device calls recorded from the game's own drawing, kept in files and replayed through
// any renderer: the benchmark compares renderers on exactly the work of a real frame.
//
// A FrameRecorder watches a device (Device3D::observer) and keeps every clear, every scene start
// and every draw together with the whole device state it was drawn with, the texture's pixels and
// the vertices and indices. A write into the target outside the device (the sky picture copied in
// before the scene) is kept as a picture of the viewport at the next scene start.

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
