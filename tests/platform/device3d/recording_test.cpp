// Recording frames of device calls, their files and their replay; and drawing shared between
// threads, which must give the same pictures as one thread.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/device3d.h"

namespace platform {
namespace {

// A 565 target with depth, and a perspective view over a lit, fogged, bilinear-textured hilly grid
// (its near rows cut by the near plane) with alpha-blended, alpha-tested quads standing on it; the
// grid again as a ceiling, with its triangles shuffled and a few bad ones among them (a
// triangle's vertices far apart in the list and in other triangles' company); and a few quads of
// their own, each a draw too small to share.
struct Scene {
    DrawSurface* target = nullptr;
    DrawSurface* depth = nullptr;
    Device3D* device = nullptr;
    DeviceTexture* ground = nullptr;
    DeviceTexture* leaves = nullptr;
    std::vector<DeviceVertex> grid, quads;
    std::vector<uint16_t> gridIndices, quadIndices, shuffledIndices;

    Scene(int width, int height) {
        target = CreateDrawSurface(width, height, kRgb565);
        depth = CreateDrawSurface(width, height, kDepth16);
        device = CreateDevice3D(*target, DeviceKind::kSoftware);
        SetRenderTarget(*device, *target, depth);
        ground = MakeTexture(64, kRgb565,
                             [](int x, int y) { return 0xFF000000u | (x * 4) << 16 | (y * 4) << 8 | 0x40; });
        leaves = MakeTexture(32, kArgb1555,
                             [](int x, int y) { return ((x + y) % 3 == 0 ? 0u : 0xFF000000u) | 0x20A040u; });
        const int cells = 48;
        for (int j = 0; j <= cells; ++j) {
            for (int i = 0; i <= cells; ++i) {
                const float x = static_cast<float>(i - cells / 2) * 2.0f,
                            z = static_cast<float>(j) * 2.0f - 6.0f;
                const float y = std::sin(x * 0.3f) * std::cos(z * 0.2f) * 1.5f;
                grid.push_back({x, y, z, 0.2f, 1.0f, -0.1f, x * 0.1f, z * 0.1f});
            }
        }
        for (int j = 0; j < cells; ++j) {
            for (int i = 0; i < cells; ++i) {
                const auto a = static_cast<uint16_t>(j * (cells + 1) + i);
                const auto b = static_cast<uint16_t>(a + cells + 1);
                gridIndices.insert(gridIndices.end(),
                                   {a, b, static_cast<uint16_t>(a + 1), static_cast<uint16_t>(a + 1), b,
                                    static_cast<uint16_t>(b + 1)});
            }
        }
        // The grid's triangles in a scrambled order (a full-period step through them), with
        // triangles naming a vertex past the end of the list mixed in.
        const size_t triangles = gridIndices.size() / 3;
        for (size_t k = 0, t = 0; k < triangles; ++k, t = (t + 1543) % triangles) {
            shuffledIndices.insert(shuffledIndices.end(), gridIndices.begin() + static_cast<ptrdiff_t>(3 * t),
                                   gridIndices.begin() + static_cast<ptrdiff_t>(3 * t + 3));
            if (k % 700 == 0) {
                shuffledIndices.insert(shuffledIndices.end(),
                                       {0, static_cast<uint16_t>(grid.size()), static_cast<uint16_t>(k)});
            }
        }
        for (int k = 0; k < 40; ++k) {
            const float x = static_cast<float>(k % 8) * 5.0f - 18.0f,
                        z = static_cast<float>(k / 8) * 12.0f + 4.0f;
            const auto base = static_cast<uint16_t>(quads.size());
            quads.push_back({x - 1.5f, 0.0f, z, 0, 0, -1, 0, 1});
            quads.push_back({x - 1.5f, 4.0f, z, 0, 0, -1, 0, 0});
            quads.push_back({x + 1.5f, 4.0f, z, 0, 0, -1, 1, 0});
            quads.push_back({x + 1.5f, 0.0f, z, 0, 0, -1, 1, 1});
            quadIndices.insert(quadIndices.end(),
                               {base, static_cast<uint16_t>(base + 1), static_cast<uint16_t>(base + 2), base,
                                static_cast<uint16_t>(base + 2), static_cast<uint16_t>(base + 3)});
        }
        SetStates();
    }
    ~Scene() {
        ReleaseDeviceTexture(ground);
        ReleaseDeviceTexture(leaves);
        ReleaseDevice3D(device);
        ReleaseDrawSurface(target);
        ReleaseDrawSurface(depth);
    }

    template <typename Texel>
    static DeviceTexture* MakeTexture(int size, const PixelFormat& format, Texel texel) {
        DeviceTexture* t = CreateDeviceTexture(size, size, format);
        LockedPixels px;
        LockSurface(*t->surface, px);
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const uint32_t c = texel(x, y);
                const auto v = static_cast<uint16_t>(
                    format.alphaMask != 0 ? ((c >> 24) != 0 ? 0x8000 : 0) | ((c >> 19) & 31) << 10 |
                                                ((c >> 11) & 31) << 5 | ((c >> 3) & 31)
                                          : ((c >> 19) & 31) << 11 | ((c >> 10) & 63) << 5 | ((c >> 3) & 31));
                std::memcpy(px.bits + y * px.pitch + x * 2, &v, 2);
            }
        }
        UnlockSurface(*t->surface);
        return t;
    }

    void SetStates() {
        Matrix4 view = IdentityMatrix();
        view.m[3][1] = -3.0f;  // eye 3 units up, looking along +z
        Matrix4 projection;
        projection.m[0][0] = 1.2f;
        projection.m[1][1] = 1.6f;
        projection.m[2][2] = 200.0f / 199.0f;
        projection.m[2][3] = 1.0f;
        projection.m[3][2] = -200.0f / 199.0f;
        SetTransform(*device, TransformType::kView, view);
        SetTransform(*device, TransformType::kProjection, projection);
        DeviceMaterial material;
        material.diffuse = {0.9f, 0.9f, 0.8f, 1.0f};
        material.ambient = {0.5f, 0.5f, 0.5f, 1.0f};
        SetMaterial(*device, material);
        DeviceLight sun;
        sun.diffuse = {1.0f, 1.0f, 0.9f, 1.0f};
        sun.ambient = {0.3f, 0.3f, 0.3f, 1.0f};
        sun.direction = {0.3f, -1.0f, 0.4f};
        SetLight(*device, 0, sun);
        LightEnable(*device, 0, true);
        SetRenderState(*device, kRsZEnable, 1);
        SetRenderState(*device, kRsDitherEnable, 1);
        SetRenderState(*device, kRsCullMode, kCullNone);
        SetRenderState(*device, kRsFogEnable, 1);
        SetRenderState(*device, kRsFogVertexMode, kFogLinear);
        SetRenderState(*device, kRsFogColor, 0xFFFFFF);
        SetRenderState(*device, kRsFogStart, FloatState(10.0f));
        SetRenderState(*device, kRsFogEnd, FloatState(120.0f));
        SetTextureStageState(*device, 0, kTssMinFilter, kFilterLinear);
        SetTextureStageState(*device, 0, kTssMagFilter, kFilterLinear);
    }

    // Clears, writes a band of the target outside the device, then draws the grid and the quads.
    void Draw() {
        Clear(*device, nullptr, 0, kClearTarget | kClearZBuffer, 0x00A0C0E0, 1.0f);
        const SurfaceRect band{0, 0, target->width, target->height / 4};
        ColorFill(*target, &band, 0x1234);
        BeginScene(*device);
        SetRenderState(*device, kRsAlphaBlendEnable, 0);
        SetRenderState(*device, kRsAlphaTestEnable, 0);
        SetTexture(*device, 0, ground);
        DrawList(grid, gridIndices);
        Matrix4 ceiling = IdentityMatrix();  // the grid upside down above the eye
        ceiling.m[1][1] = -1.0f;
        ceiling.m[3][1] = 7.0f;
        SetTransform(*device, TransformType::kWorld, ceiling);
        DrawList(grid, shuffledIndices);
        SetTransform(*device, TransformType::kWorld, IdentityMatrix());
        for (size_t k = 0; k < 3; ++k) {
            const std::vector<DeviceVertex> quad(quads.begin() + static_cast<ptrdiff_t>(4 * k * 9),
                                                 quads.begin() + static_cast<ptrdiff_t>(4 * k * 9 + 4));
            DrawList(quad, {0, 1, 2, 0, 2, 3});
        }
        SetRenderState(*device, kRsAlphaBlendEnable, 1);
        SetRenderState(*device, kRsSrcBlend, kBlendSrcAlpha);
        SetRenderState(*device, kRsDestBlend, kBlendInvSrcAlpha);
        SetRenderState(*device, kRsAlphaTestEnable, 1);
        SetRenderState(*device, kRsAlphaFunc, kCmpGreaterEqual);
        SetRenderState(*device, kRsAlphaRef, 8);
        SetTexture(*device, 0, leaves);
        DrawList(quads, quadIndices);
        SetTexture(*device, 0, nullptr);
        EndScene(*device);
    }
    void DrawList(const std::vector<DeviceVertex>& v, const std::vector<uint16_t>& idx) {
        DrawIndexedPrimitive(*device, kPrimitiveTriangleList, kVertexFormatPositionNormalTex1, v.data(),
                             static_cast<uint32_t>(v.size()), idx.data(), static_cast<uint32_t>(idx.size()));
    }
};

std::vector<uint16_t> PixelsOf(DrawSurface& s) {
    std::vector<uint16_t> out(static_cast<size_t>(s.width) * static_cast<size_t>(s.height));
    LockedPixels px;
    LockSurface(s, px);
    for (int y = 0; y < s.height; ++y) {
        std::memcpy(out.data() + static_cast<size_t>(y) * static_cast<size_t>(s.width),
                    px.bits + y * px.pitch, static_cast<size_t>(s.width) * 2);
    }
    UnlockSurface(s);
    return out;
}

size_t DistinctValues(const std::vector<uint16_t>& pixels) {
    std::vector<bool> seen(65536);
    size_t n = 0;
    for (const uint16_t p : pixels) {
        n += seen[p] ? 0 : 1;
        seen[p] = true;
    }
    return n;
}

std::string TempPath(const char* name) {
    return (std::filesystem::temp_directory_path() / (name + std::to_string(::getpid()))).string();
}

TEST(FrameRecording, ReplayFromAFileDrawsTheSamePicture) {
    Scene scene(160, 120);
    FrameRecording recording;
    {
        FrameRecorder recorder(*scene.device);
        scene.Draw();
        recording = recorder.Recording();
    }
    EXPECT_EQ(scene.device->observer, nullptr);
    const std::vector<uint16_t> drawn = PixelsOf(*scene.target);
    ASSERT_GT(DistinctValues(drawn), 50u) << "the scene should be a real picture";
    // Clear, the picture written outside the device, the scene start, six draws; two textures.
    ASSERT_EQ(recording.calls.size(), 9u);
    EXPECT_EQ(recording.calls[1].kind, RecordedKind::kPicture);
    EXPECT_EQ(recording.textures.size(), 2u);
    EXPECT_EQ(recording.view.width, 160);

    const std::string path = TempPath("frame_recording_");
    std::string error;
    ASSERT_TRUE(WriteFrameRecording(recording, path, error)) << error;
    FrameRecording read;
    ASSERT_TRUE(ReadFrameRecording(path, read, error)) << error;
    std::filesystem::remove(path);
    FrameReplay replay;
    ASSERT_TRUE(PrepareReplay(read, replay));
    ReplayFrame(read, replay);
    EXPECT_EQ(PixelsOf(*replay.target), drawn);
    ReleaseReplay(replay);
}

TEST(FrameRecording, DamagedFilesAreRefused) {
    Scene scene(32, 24);
    FrameRecorder recorder(*scene.device);
    scene.Draw();
    const std::string path = TempPath("frame_damaged_");
    std::string error;
    ASSERT_TRUE(WriteFrameRecording(recorder.Recording(), path, error));
    std::vector<char> bytes(std::filesystem::file_size(path));
    std::ifstream(path, std::ios::binary).read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    const auto rewrite = [&](const std::vector<char>& b) {
        std::ofstream(path, std::ios::binary | std::ios::trunc)
            .write(b.data(), static_cast<std::streamsize>(b.size()));
    };
    FrameRecording frame;
    for (const size_t length : {size_t{0}, size_t{7}, size_t{40}, bytes.size() / 2, bytes.size() - 1}) {
        rewrite(std::vector<char>(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length)));
        EXPECT_FALSE(ReadFrameRecording(path, frame, error)) << length;
        EXPECT_TRUE(frame.calls.empty());
    }
    std::vector<char> longer = bytes;
    longer.push_back(0);
    rewrite(longer);
    EXPECT_FALSE(ReadFrameRecording(path, frame, error));
    std::vector<char> badMagic = bytes;
    badMagic[0] = 'X';
    rewrite(badMagic);
    EXPECT_FALSE(ReadFrameRecording(path, frame, error));
    std::filesystem::remove(path);
    EXPECT_FALSE(ReadFrameRecording(path, frame, error));
    EXPECT_NE(error.find(path), std::string::npos);
}

// Every thread count draws exactly the picture and depth of one thread, frame after frame.
TEST(DeviceThreads, SharedDrawingGivesTheSamePicture) {
    Scene one(203, 157);
    one.Draw();
    const std::vector<uint16_t> picture = PixelsOf(*one.target);
    const std::vector<uint16_t> depth = PixelsOf(*one.depth);
    for (const int threads : {2, 3, 4}) {
        Scene shared(203, 157);
        ASSERT_EQ(SetDeviceThreads(*shared.device, threads), threads);
        for (int frame = 0; frame < 3; ++frame) {
            shared.Draw();
            EXPECT_EQ(PixelsOf(*shared.target), picture) << threads << " threads, frame " << frame;
            EXPECT_EQ(PixelsOf(*shared.depth), depth) << threads << " threads, frame " << frame;
        }
    }
    Scene back(203, 157);
    EXPECT_EQ(SetDeviceThreads(*back.device, 0), 1);
    EXPECT_EQ(SetDeviceThreads(*back.device, 1000), kMaxDeviceThreads);
    EXPECT_EQ(SetDeviceThreads(*back.device, 1), 1);
    back.Draw();
    EXPECT_EQ(PixelsOf(*back.target), picture);
}

}  // namespace
}  // namespace platform
