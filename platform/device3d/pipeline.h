#pragma once
// Internals of the software 3D device shared by its stages: vertex processing (transform, lighting,
// fog), clipping, texture sampling and rasterisation. Not for use outside the device.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/device3d.h"
#include "platform/device3d/sampler.h"
#include "platform/device3d/threads.h"

namespace platform::device_detail {

// A vertex after transform and lighting, in clip space. Colours are 0..1; fog is the fraction of
// the vertex's own colour kept (1 no fog, 0 all fog colour).
struct ClipVertex {
    float x, y, z, w;
    float r, g, b, a;
    float sr, sg, sb;
    float fog;
    float u, v;
};

// A vertex in pixels of the render target: depth 0..1, colours 0..255, and the position snapped to
// the 1/16-pixel grid that coverage is decided on (usable false: too far out to rasterise).
struct ScreenVertex {
    float sx, sy, sz, rhw;
    float r, g, b, a;
    float sr, sg, sb;
    float fog;
    float u, v;
    int32_t fx, fy;
    bool usable;
};

// A vertex's position on the snapped grid (ScreenVertex::fx, fy), also kept in an array of its own
// so that the boxes of a mesh's triangles, most of which cover no pixel centre, are found from a
// small array instead of the screen vertices.
struct SnappedPoint {
    int32_t fx, fy;
};

// The pixel centres a triangle may cover: the box around its vertices on the snapped grid (in
// 1/16 pixels) and the pixels inside it, cut to the target (FindTriangleBox, device3d/raster.h,
// which also holds SnapToGrid).
struct TriangleBox {
    int32_t minX, maxX, minY, maxY;
    int top, bottom, left, right;
};

// A triangle of a draw that may draw something: its vertices, the clip planes it crosses (0: drawn
// from its projected vertices) and its box in the draw's target; of a triangle that crosses a
// clip plane only the rows (box.top .. box.bottom) are set, all of the target's.
struct LiveTriangle {
    uint16_t index[3];
    uint16_t planes;
    TriangleBox box;
};

// What one chunk of a draw's triangles kept: how many, and the rows they may cover (top > bottom
// when none).
struct LiveChunk {
    uint32_t count;
    int top, bottom;
};

// ---- vertex processing ----

struct PreparedLight {
    uint32_t type;
    Vec3 position;
    Vec3 toLight;  // directional: unit vector towards the light
    Vec3 spotAxis;
    ColorValue diffuse;  // light diffuse times material diffuse
    ColorValue ambient;  // light ambient times material ambient
    ColorValue specular;
    float range, att0, att1, att2;
    float cosHalfTheta, cosHalfPhi, falloff;
};

struct VertexStage {
    Matrix4 world;
    Matrix4 worldViewProjection;
    float normalMatrix[3][3];  // lighting: upper 3 x 3 of the inverse world matrix; normals go through its
                               // transpose
    float viewZ[4];            // column of world x view giving the eye-space depth
    Vec3 eye;                  // highlights: camera position in world space
    bool lighting;
    bool specular;
    bool normalize;
    ColorValue baseColor;  // emissive + global ambient x material ambient
    float materialAlpha;
    float power;
    std::vector<PreparedLight> lights;
    bool needsPosition;  // lighting reads the vertex's world position (specular, point or spot lights)
    bool fog;
    uint32_t fogMode;
    float fogStart, fogEnd, fogDensity;
};

void PrepareVertexStage(const Device3D& device, VertexStage& stage);
struct Projector;
// Positions only: fills x, y, z, w of every vertex, its clip code (ClipCode) and, when the code
// holds no clip plane bit, its position on screen (Projector::Position) and snapped position, and
// kUnusableBit in its code when it lies too far out to rasterise (the screen and snapped positions
// of the other vertices are left undefined).
void TransformVertices(const VertexStage& stage, const Projector& project, const DeviceVertex* in,
                       uint32_t count, ClipVertex* out, uint16_t* codes, ScreenVertex* screen,
                       SnappedPoint* snapped);
// The rest of one vertex: texture coordinates, colour (lighting) and fog.
void ShadeVertex(const VertexStage& stage, const DeviceVertex& in, ClipVertex& out);
Matrix4 InverseMatrix(const Matrix4& m, bool* ok);

// The draws of a scene that wait to be drawn together (device3d/draw.cpp).
class DrawQueue;
struct DrawQueueDeleter {
    void operator()(DrawQueue* queue) const;
};
// Draws what waits in the device's queue (none without threads: each draw is drawn at once).
void DrawQueued(Device3D& device);

// Per-draw arrays kept by the device between draws, so that drawing allocates nothing once they
// have grown to the largest group.
struct DrawScratch {
    VertexStage stage;
    std::vector<ClipVertex> clip;      // drawing at once (queued draws keep their own)
    std::vector<ScreenVertex> screen;  // the same
    std::vector<uint16_t> codes;
    std::vector<SnappedPoint> snapped;
    std::vector<uint8_t> used;       // vertex used by a kept triangle (drawing alone: and shaded)
    std::vector<uint64_t> pixels;    // each part's pixels of the kept triangles' boxes
    std::vector<int64_t> rowWork;    // each part's estimate of the work by rows
    std::unique_ptr<PartPool> pool;  // nullptr: everything on the calling thread
    std::unique_ptr<DrawQueue, DrawQueueDeleter> queue;  // with a pool: the scene's waiting draws
};

// ---- clipping ----

// Triangles are clipped against the near and far planes and a guard band this many times the
// viewport around it; rasterisation cuts the rest to the viewport.
inline constexpr float kGuardBand = 8.0f;
inline constexpr int kMaxClipVertices = 12;
inline constexpr float kMinClipW = 1e-5f;

// Bits 0-6: the planes a vertex lies outside of, as ClipPolygon clips them. Bits 8-11: the sides
// of the view (left, right, bottom, top) it lies beyond; a triangle whose three vertices share any
// bit cannot be seen. Written so that a not-a-number coordinate counts as outside everything.
inline constexpr uint32_t kClipPlaneBits = 0x7F;
// Beside the clip code the vertex stage gives (not ClipCode): the vertex crosses no clip plane but
// lies too far out on screen to rasterise (ScreenVertex::usable false), so that a triangle of it
// that crosses no clip plane draws nothing.
inline constexpr uint32_t kUnusableBit = 0x1000;

inline uint32_t ClipCode(const ClipVertex& v) {
    const float band = kGuardBand * v.w;
    return (v.z >= 0.0f ? 0u : 1u) | (v.w - v.z >= 0.0f ? 0u : 2u) | (v.x + band >= 0.0f ? 0u : 4u) |
           (band - v.x >= 0.0f ? 0u : 8u) | (v.y + band >= 0.0f ? 0u : 16u) |
           (band - v.y >= 0.0f ? 0u : 32u) | (v.w >= kMinClipW ? 0u : 64u) |
           (v.x + v.w >= 0.0f ? 0u : 0x100u) | (v.w - v.x >= 0.0f ? 0u : 0x200u) |
           (v.y + v.w >= 0.0f ? 0u : 0x400u) | (v.w - v.y >= 0.0f ? 0u : 0x800u);
}

// Clips the triangle; returns the polygon's vertex count (0 when nothing is left).
int ClipPolygon(const ClipVertex& a, const ClipVertex& b, const ClipVertex& c, uint32_t codes,
                ClipVertex* out);

// ---- texture sampling ----

// Brings the texture's decoded copy up to date; false when it cannot be used.
bool PrepareSampler(DeviceTexture& texture, Sampler& out);
// The samplers of the texture's smaller copies (PrepareSampler decoded them), at most max of them;
// returns how many.
int MipSamplers(const DeviceTexture& texture, Sampler* out, int max);

// ---- rasterisation ----

enum class ColorSource : uint8_t { kDiffuse, kTexture, kModulate, kWhite };

struct PixelState {
    bool textured;  // whether any colour or alpha comes from the texture
    bool bilinearMag;
    bool bilinearMin;
    Sampler sampler;
    ColorSource colorSource;
    ColorSource alphaSource;
    bool zTest;
    bool zWrite;
    uint32_t zFunc;
    bool alphaTest;
    uint32_t alphaFunc;
    uint32_t alphaRef;
    bool blend;
    uint32_t srcBlend;
    uint32_t destBlend;
    bool fog;
    uint8_t fogColor[3];  // r, g, b
    bool specular;
    bool dither;
    bool flat;
};

struct RasterTarget {
    uint8_t* color = nullptr;
    int colorPitch = 0;
    PixelFormat format{};
    uint8_t* depth = nullptr;  // nullptr: no depth surface
    int depthPitch = 0;
    // Pixels drawn: [left, right) x [top, bottom), the viewport cut to the surfaces (and, when
    // threads share a draw, to this thread's band of rows).
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

}  // namespace platform::device_detail
