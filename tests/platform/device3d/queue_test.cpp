// With threads the device queues a scene's draws and draws them together later. These tests run
// call sequences that touch what queued draws read or write (textures re-filled or released, the
// target and depth surface written, read or lost, the target changed, the caller's vertices
// rewritten, the device released) on one thread, which draws every call at once, and on two and
// three threads: every picture and every pixel read on the way must be the same.

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "platform/device3d.h"

namespace platform {
namespace {

constexpr int kWidth = 96;
constexpr int kHeight = 72;

// A device over a 565 target and depth surface, a second target, and a checkered texture.
struct Scene {
    DrawSurface* target = CreateDrawSurface(kWidth, kHeight, kRgb565);
    DrawSurface* depth = CreateDrawSurface(kWidth, kHeight, kDepth16);
    DrawSurface* other = CreateDrawSurface(kWidth, kHeight, kRgb565);
    DeviceTexture* texture = CreateDeviceTexture(16, 16, kRgb565);
    Device3D* device = CreateDevice3D(*target, DeviceKind::kSoftware);
    std::vector<uint32_t> seen;  // pixels read during the calls
    int threads;

    explicit Scene(int threadCount) : threads(threadCount) {
        SetRenderTarget(*device, *target, depth);
        SetDeviceThreads(*device, threads);
        SetRenderState(*device, kRsLighting, 0);
        SetRenderState(*device, kRsZEnable, 1);
        SetRenderState(*device, kRsCullMode, kCullNone);
        SetRenderState(*device, kRsDitherEnable, 1);
        Fill(*texture, 0xF800, 0x07E0);
        SetTexture(*device, 0, texture);
        Clear(*device, nullptr, 0, kClearTarget | kClearZBuffer, 0x203040, 1.0f);
        BeginScene(*device);
    }
    ~Scene() {
        ReleaseDevice3D(device);
        ReleaseDeviceTexture(texture);
        ReleaseDrawSurface(other);
        ReleaseDrawSurface(depth);
        ReleaseDrawSurface(target);
    }
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    // Checkers of two 565 colours in 4 x 4 squares.
    static void Fill(DeviceTexture& t, uint16_t a, uint16_t b) {
        LockedPixels px;
        ASSERT_EQ(LockSurface(*t.surface, px), kSurfaceOk);
        for (int y = 0; y < px.height; ++y) {
            for (int x = 0; x < px.width; ++x) {
                const uint16_t c = ((x / 4 + y / 4) % 2) != 0 ? a : b;
                std::memcpy(px.bits + y * px.pitch + x * 2, &c, 2);
            }
        }
        UnlockSurface(*t.surface);
    }

    // A grid of cells x cells quads over the pixel rectangle from (x0, y0) to (x1, y1) at depth z,
    // the texture repeated over it: with 16 cells, enough vertices and triangles for the threads
    // to share every pass of the draw.
    static std::vector<DeviceVertex> Grid(float x0, float y0, float x1, float y1, float z, int cells) {
        std::vector<DeviceVertex> v;
        for (int j = 0; j <= cells; ++j) {
            for (int i = 0; i <= cells; ++i) {
                const float fx = static_cast<float>(i) / static_cast<float>(cells);
                const float fy = static_cast<float>(j) / static_cast<float>(cells);
                const float sx = x0 + (x1 - x0) * fx, sy = y0 + (y1 - y0) * fy;
                v.push_back({sx * 2.0f / kWidth - 1.0f, 1.0f - sy * 2.0f / kHeight, z, 0, 0, -1, fx * 3.0f,
                             fy * 2.0f});
            }
        }
        return v;
    }
    static std::vector<uint16_t> GridIndices(int cells) {
        std::vector<uint16_t> idx;
        for (int j = 0; j < cells; ++j) {
            for (int i = 0; i < cells; ++i) {
                const auto a = static_cast<uint16_t>(j * (cells + 1) + i);
                const auto b = static_cast<uint16_t>(a + cells + 1);
                for (const uint16_t k : {a, static_cast<uint16_t>(a + 1), b, static_cast<uint16_t>(a + 1),
                                         static_cast<uint16_t>(b + 1), b}) {
                    idx.push_back(k);
                }
            }
        }
        return idx;
    }

    void Draw(const std::vector<DeviceVertex>& v, int cells) {
        const std::vector<uint16_t> idx = GridIndices(cells);
        ASSERT_EQ(DrawIndexedPrimitive(*device, kPrimitiveTriangleList, kVertexFormatPositionNormalTex1,
                                       v.data(), static_cast<uint32_t>(v.size()), idx.data(),
                                       static_cast<uint32_t>(idx.size())),
                  kDeviceOk);
    }
    void DrawGrid(float x0, float y0, float x1, float y1, float z, int cells = 16) {
        Draw(Grid(x0, y0, x1, y1, z, cells), cells);
    }

    void See(DrawSurface& s, int x, int y) { seen.push_back(ReadPixelRgb(s, x, y)); }

    static std::vector<uint8_t> Pixels(DrawSurface& s) {
        LockedPixels px;
        EXPECT_EQ(LockSurface(s, px), kSurfaceOk);
        std::vector<uint8_t> bytes;
        for (int y = 0; y < px.height; ++y) {
            bytes.insert(bytes.end(), px.bits + y * px.pitch, px.bits + y * px.pitch + px.width * 2);
        }
        UnlockSurface(s);
        return bytes;
    }
};

// Runs the calls in a scene on 1, 2 and 3 threads, ends the scene, and compares the two targets,
// the depth surface and the pixels read along the way with one thread's.
void ExpectSameOnEveryThreadCount(const std::function<void(Scene&)>& calls) {
    Scene alone(1);
    calls(alone);
    EndScene(*alone.device);
    for (const int threads : {2, 3}) {
        Scene shared(threads);
        calls(shared);
        EndScene(*shared.device);
        EXPECT_EQ(Scene::Pixels(*shared.target), Scene::Pixels(*alone.target)) << threads << " threads";
        EXPECT_EQ(Scene::Pixels(*shared.depth), Scene::Pixels(*alone.depth)) << threads << " threads";
        EXPECT_EQ(Scene::Pixels(*shared.other), Scene::Pixels(*alone.other)) << threads << " threads";
        EXPECT_EQ(shared.seen, alone.seen) << threads << " threads";
    }
}

TEST(DeviceQueue, TexturesRefilledOrReleasedMidSceneAreReadAsTheyWereAtTheDraw) {
    ExpectSameOnEveryThreadCount([](Scene& s) {
        s.DrawGrid(4, 4, 80, 60, 0.5f);
        Scene::Fill(*s.texture, 0x001F, 0xFFFF);  // through a lock
        s.DrawGrid(30, 10, 90, 70, 0.4f);
        const SurfaceRect corner{0, 0, 8, 8};
        ColorFill(*s.texture->surface, &corner, 0xFFE0);
        s.DrawGrid(10, 30, 50, 70, 0.3f);
        // Released while a draw that reads it waits; the next draws have no texture.
        ReleaseDeviceTexture(s.texture);
        s.texture = nullptr;
        SetTexture(*s.device, 0, nullptr);
        s.DrawGrid(0, 0, 40, 30, 0.2f);
    });
}

TEST(DeviceQueue, TargetAndDepthWrittenReadOrLostMidSceneSeeEveryEarlierDraw) {
    ExpectSameOnEveryThreadCount([](Scene& s) {
        s.DrawGrid(4, 4, 80, 60, 0.5f);
        s.See(*s.target, 40, 30);
        s.DrawGrid(20, 20, 90, 70, 0.6f);  // partly behind the first
        const SurfaceRect band{0, 30, kWidth, 40};
        ColorFill(*s.target, &band, 0x07E0);
        s.DrawGrid(0, 0, 50, 50, 0.55f);
        ColorFill(*s.depth, &band, 0);  // nothing is drawn over the band any more
        s.DrawGrid(0, 0, kWidth, kHeight, 0.9f, 4);
        CopyRect(*s.other, 0, 0, *s.target, {0, 0, kWidth, kHeight}, false);
        s.See(*s.other, 10, 10);
        CopyRect(*s.target, 48, 36, *s.other, {0, 0, 40, 30}, false);
        s.DrawGrid(30, 5, 70, 65, 0.1f);
        LockedPixels px;
        ASSERT_EQ(LockSurface(*s.depth, px), kSurfaceOk);
        uint16_t z = 0;
        std::memcpy(&z, px.bits + 35 * px.pitch + 60, 2);
        UnlockSurface(*s.depth);
        s.seen.push_back(z);
        s.DrawGrid(5, 5, 60, 40, 0.05f);
        MarkSurfaceLost(*s.target);
        EXPECT_EQ(
            DrawIndexedPrimitive(*s.device, kPrimitiveTriangleList, kVertexFormatPositionNormalTex1,
                                 Scene::Grid(0, 0, 9, 9, 0, 1).data(), 4, Scene::GridIndices(1).data(), 6),
            kDeviceNoTarget);
        RestoreSurface(*s.target);
        s.DrawGrid(60, 40, 96, 72, 0.0f);
    });
}

TEST(DeviceQueue, DrawsGoToTheTargetTheyWereGivenWith) {
    ExpectSameOnEveryThreadCount([](Scene& s) {
        s.DrawGrid(4, 4, 80, 60, 0.5f);
        SetRenderTarget(*s.device, *s.other, nullptr);
        s.DrawGrid(10, 10, 90, 70, 0.5f);
        SetRenderTarget(*s.device, *s.target, s.depth);
        s.DrawGrid(30, 0, 60, 72, 0.4f);
        // Viewports change between queued draws without a break.
        SetViewport(*s.device, {20, 10, 40, 30, 0.0f, 1.0f});
        s.DrawGrid(0, 0, kWidth, kHeight, 0.3f);
        SetViewport(*s.device, {0, 0, kWidth, kHeight, 0.0f, 1.0f});
        s.DrawGrid(50, 30, 96, 72, 0.2f);
    });
}

TEST(DeviceQueue, VerticesAreReadOnlyDuringTheDrawCall) {
    ExpectSameOnEveryThreadCount([](Scene& s) {
        std::vector<DeviceVertex> v = Scene::Grid(4, 4, 80, 60, 0.5f, 16);
        s.Draw(v, 16);
        // The caller moves the same vertices on, as the game does for a ball, and draws again.
        for (DeviceVertex& p : v) {
            p.x += 0.25f;
            p.z = 0.4f;
        }
        s.Draw(v, 16);
        std::fill(v.begin(), v.end(), DeviceVertex{1e30f, -1e30f, 7, 0, 0, 0, 0, 0});
    });
}

TEST(DeviceQueue, ThreadCountChangedOrDeviceReleasedMidSceneDrawsTheQueue) {
    ExpectSameOnEveryThreadCount([](Scene& s) {
        s.DrawGrid(4, 4, 80, 60, 0.5f);
        SetDeviceThreads(*s.device, 1);
        s.DrawGrid(10, 10, 90, 70, 0.4f);
        SetDeviceThreads(*s.device, 2);
        s.DrawGrid(0, 30, 96, 50, 0.3f);
        ReleaseDevice3D(s.device);
        s.device = CreateDevice3D(*s.target, DeviceKind::kSoftware);
        BeginScene(*s.device);
    });
}

// Drawing into the texture's own surface while reading it: each draw reads the texture as it was
// at its call, so the second sees the first, with the first drawn from the copy it was given.
TEST(DeviceQueue, DrawsIntoTheTexturesOwnSurfaceReadItAsItWasAtTheCall) {
    ExpectSameOnEveryThreadCount([](Scene& s) {
        s.DrawGrid(4, 4, 80, 60, 0.5f);
        SetRenderTarget(*s.device, *s.texture->surface, nullptr);
        SetRenderState(*s.device, kRsZEnable, 0);
        for (const float x : {0.0f, 3.0f, 6.0f}) {
            const std::vector<DeviceVertex> v{{-1, 1, 0.5f, 0, 0, -1, x, 0},
                                              {1, 1, 0.5f, 0, 0, -1, x + 0.5f, 0.25f},
                                              {-1, -1, 0.5f, 0, 0, -1, x + 0.25f, 1}};
            const uint16_t idx[3] = {0, 1, 2};
            ASSERT_EQ(DrawIndexedPrimitive(*s.device, kPrimitiveTriangleList, kVertexFormatPositionNormalTex1,
                                           v.data(), 3, idx, 3),
                      kDeviceOk);
        }
        SetRenderTarget(*s.device, *s.target, s.depth);
        SetRenderState(*s.device, kRsZEnable, 1);
        s.DrawGrid(30, 10, 90, 70, 0.4f);
    });
}

// A device drawing into the surface of a texture that another device reads: the reader sees what
// the writer drew before it, also when both queue their draws.
TEST(DeviceQueue, TexturesDrawnByAnotherDeviceAreReadOnceDrawn) {
    ExpectSameOnEveryThreadCount([](Scene& s) {
        Device3D* painter = CreateDevice3D(*s.texture->surface, DeviceKind::kSoftware);
        SetDeviceThreads(*painter, s.threads);
        SetRenderState(*painter, kRsLighting, 0);
        SetTexture(*painter, 0, nullptr);
        BeginScene(*painter);
        const std::vector<DeviceVertex> v{
            {-1, 1, 0.5f, 0, 0, -1, 0, 0}, {1, 1, 0.5f, 0, 0, -1, 0, 0}, {-1, -0.5f, 0.5f, 0, 0, -1, 0, 0}};
        const uint16_t idx[3] = {0, 1, 2};
        DrawIndexedPrimitive(*painter, kPrimitiveTriangleList, kVertexFormatPositionNormalTex1, v.data(), 3,
                             idx, 3);
        s.DrawGrid(4, 4, 80, 60, 0.5f);
        EndScene(*painter);
        ReleaseDevice3D(painter);
        s.DrawGrid(30, 10, 90, 70, 0.4f);
    });
}

}  // namespace
}  // namespace platform
