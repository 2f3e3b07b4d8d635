// holeview GAME_DIRECTORY COURSE HOLE OUT.png [tee|aim|green]
// Renders one hole of a data set with the game's 3D device from behind the ball: at the tee looking
// at the default aim point, at the aim point looking at the pin, or short of the green. The view
// follows the game's main camera (8 yards behind, 2.56 above the ball) and drawing rules: the sky
// picture, lit terrain, the unlit backdrop, alpha-tested objects facing the viewer, the flag.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "game/course/course_objects.h"
#include "game/course/fni_texture.h"
#include "game/course/flag_quad.h"
#include "game/course/fnx_loader.h"
#include "game/course/terrain_grid.h"
#include "game/present/fni_image.h"
#include "game/shell/launch_files.h"
#include "platform/device3d.h"
#include "platform/png_file.h"
#include "tools/toolkit/data_set_check.h"
#include "tools/toolkit/output_file.h"

namespace {

using platform::Matrix4;
using platform::Vec3;

constexpr int kWidth = 800;
constexpr int kHeight = 600;

int Fail(const std::string& message) {
    std::fprintf(stderr, "holeview: %s\n", message.c_str());
    return 1;
}

Vec3 Cross(Vec3 a, Vec3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
float Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// Left-handed look-at view, row vectors.
Matrix4 LookAt(Vec3 eye, Vec3 at) {
    const Vec3 d = platform::Normalize(at - eye);
    const Vec3 u = platform::Normalize(Vec3{0, 1, 0} - d * d.y);
    const Vec3 r = Cross(u, d);
    Matrix4 m = platform::IdentityMatrix();
    m.m[0][0] = r.x, m.m[0][1] = u.x, m.m[0][2] = d.x;
    m.m[1][0] = r.y, m.m[1][1] = u.y, m.m[1][2] = d.y;
    m.m[2][0] = r.z, m.m[2][1] = u.z, m.m[2][2] = d.z;
    m.m[3][0] = -Dot(eye, r), m.m[3][1] = -Dot(eye, u), m.m[3][2] = -Dot(eye, d);
    return m;
}

// The main view's projection: near 0, far 800, w = z + 1.
Matrix4 MainProjection() {
    Matrix4 p;
    p.m[0][0] = std::cos(0.5f * 0.7936013f) / std::sin(0.5f * 0.7936013f);
    p.m[1][1] = std::cos(0.5f * 0.5952010f) / std::sin(0.5f * 0.5952010f);
    p.m[2][2] = 1;
    p.m[2][3] = 1;
    p.m[3][3] = 1;
    return p;
}

Vec3 Seated(const course::TerrainGrid& grid, const float xz[2]) {
    Vec3 p{xz[0], 0, xz[1]};
    course::SeatOnTerrain(grid, p);
    return p;
}

void SetObjectBlending(platform::Device3D& device, bool on) {
    platform::SetRenderState(device, platform::kRsAlphaBlendEnable, on);
    platform::SetRenderState(device, platform::kRsAlphaTestEnable, on);
    if (on) {
        platform::SetRenderState(device, platform::kRsAlphaRef, 8);
        platform::SetRenderState(device, platform::kRsAlphaFunc, platform::kCmpGreaterEqual);
        platform::SetRenderState(device, platform::kRsSrcBlend, platform::kBlendSrcAlpha);
        platform::SetRenderState(device, platform::kRsDestBlend, platform::kBlendInvSrcAlpha);
    }
}

void SetFilter(platform::Device3D& device, uint32_t filter) {
    platform::SetTextureStageState(device, 0, platform::kTssMinFilter, filter);
    platform::SetTextureStageState(device, 0, platform::kTssMagFilter, filter);
}

void DrawVertices(platform::Device3D& device, const course::FnxVertex* vertices, size_t count,
                  const uint16_t* indices, size_t indexCount) {
    platform::DrawIndexedPrimitive(device, platform::kPrimitiveTriangleList, platform::kVertexFormatPositionNormalTex1,
                                   reinterpret_cast<const platform::DeviceVertex*>(vertices),
                                   static_cast<uint32_t>(count), indices, static_cast<uint32_t>(indexCount));
}

struct Textures {
    std::vector<platform::DeviceTexture*> list;
    ~Textures() {
        for (platform::DeviceTexture* t : list) {
            platform::ReleaseDeviceTexture(t);
        }
    }
};

void SetUpDevice(platform::Device3D& device, const course::FnxModel& model) {
    platform::SetRenderState(device, platform::kRsAmbient, 0);
    platform::SetRenderState(device, platform::kRsZEnable, 1);
    platform::SetRenderState(device, platform::kRsLighting, 1);
    platform::SetRenderState(device, platform::kRsShadeMode, platform::kShadeGouraud);
    platform::SetRenderState(device, platform::kRsDitherEnable, 1);
    platform::SetTextureStageState(device, 0, platform::kTssColorArg1, platform::kTaTexture);
    platform::SetTextureStageState(device, 0, platform::kTssColorArg2, platform::kTaDiffuse);
    platform::SetTextureStageState(device, 0, platform::kTssColorOp, platform::kTopModulate);
    platform::SetTextureStageState(device, 0, platform::kTssAlphaOp, platform::kTopSelectArg1);
    platform::SetTextureStageState(device, 0, platform::kTssAlphaArg1, platform::kTaTexture);
    for (size_t i = 0; i < model.lights.size(); ++i) {
        const course::FnxLight& l = model.lights[i];
        platform::DeviceLight light;
        light.type = l.type;
        light.diffuse = {l.color.r, l.color.g, l.color.b, l.color.a};
        light.position = {l.position[0], l.position[1], l.position[2]};
        light.direction = {l.direction[0], l.direction[1], l.direction[2]};
        light.range = std::sqrt(3.402823466e38f);
        light.attenuation0 = 1;
        platform::SetLight(device, static_cast<uint32_t>(i), light);
        platform::LightEnable(device, static_cast<uint32_t>(i), true);
    }
    platform::SetRenderState(device, platform::kRsFogEnable, 1);
    platform::SetRenderState(device, platform::kRsFogColor, 0xFFFFFF);
    platform::SetRenderState(device, platform::kRsFogTableMode, platform::kFogNone);
    platform::SetRenderState(device, platform::kRsFogVertexMode, platform::kFogLinear);
    platform::SetRenderState(device, platform::kRsFogStart, platform::FloatState(1.0f));
    platform::SetRenderState(device, platform::kRsFogEnd, platform::FloatState(1500.0f));
}

void DrawGroups(platform::Device3D& device, const course::FnxModel& model, const Textures& textures) {
    for (const course::FnxGroup& g : model.groups) {
        if (g.materialIndex == course::kNoMaterial) {
            platform::SetTexture(device, 0, nullptr);
        } else {
            const course::FnxMaterial& m = model.materials[g.materialIndex];
            platform::DeviceMaterial material;
            material.diffuse = {m.diffuse.r, m.diffuse.g, m.diffuse.b, m.diffuse.a};
            material.ambient = {m.ambient.r, m.ambient.g, m.ambient.b, m.ambient.a};
            platform::SetMaterial(device, material);
            if (textures.list[g.materialIndex] != nullptr) {
                platform::SetTexture(device, 0, textures.list[g.materialIndex]);
            }
        }
        const bool backdrop = std::strncmp(g.name, "BAK", 3) == 0;
        const bool object = std::strncmp(g.name, "RST", 3) == 0 || std::strncmp(g.name, "SST", 3) == 0;
        SetObjectBlending(device, backdrop || object);
        SetFilter(device, object ? platform::kFilterPoint : platform::kFilterLinear);
        if (backdrop) {
            platform::SetRenderState(device, platform::kRsAmbient, 0x00FFFFFF);
            platform::SetRenderState(device, platform::kRsLighting, 0);
        }
        DrawVertices(device, g.vertices.data(), g.vertices.size(), g.indices.data(), g.indices.size());
        if (backdrop) {
            platform::SetRenderState(device, platform::kRsAmbient, 0);
            platform::SetRenderState(device, platform::kRsLighting, 1);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: holeview GAME_DIRECTORY COURSE HOLE OUT.png [tee|aim|green]\n");
        return 2;
    }
    const std::string root = argv[1];
    const std::string_view from = argc > 5 ? argv[5] : "tee";
    char folder[64];
    std::snprintf(folder, sizeof folder, "Map/Club_%02d/Hole_%02d", std::atoi(argv[2]), std::atoi(argv[3]));
    std::unique_ptr<course::FnxModel, void (*)(course::FnxModel*)> model(
        course::LoadFnxModel(root + "/" + folder + "/HoleData.fnx"), course::FreeFnxModel);
    std::vector<uint8_t> settingsBytes;
    std::string error;
    shell::HoleSettings settings;
    if (!model || !tools::ReadWholeFile(root + "/" + folder + "/Hole.ini", settingsBytes, error) ||
        !shell::ParseHoleSettings(settingsBytes, settings)) {
        return Fail(std::string(folder) + ": no readable hole there");
    }
    course::TerrainGrid grid = course::BuildTerrainGrid(*model);
    course::CourseObjects objects;
    course::PrepareObjects(*model, grid, objects);

    const Vec3 tee = Seated(grid, settings.tee);
    const Vec3 aim = Seated(grid, settings.defaultAim);
    const Vec3 pin = Seated(grid, settings.pin);
    Vec3 anchor = tee;
    Vec3 target = aim;
    if (from == "aim") {
        anchor = aim, target = pin;
    } else if (from == "green") {
        const Vec3 back = platform::Normalize(Vec3{aim.x - pin.x, 0, aim.z - pin.z});
        const float short30[2] = {pin.x + back.x * 30, pin.z + back.z * 30};
        anchor = Seated(grid, short30), target = pin;
    }
    if (target.x == anchor.x && target.z == anchor.z) {
        target = pin;
    }
    course::TurnObjectsToView(*model, objects, anchor, target, pin);

    platform::DrawSurface* surface = platform::CreateDrawSurface(kWidth, kHeight, platform::kRgb565);
    platform::DrawSurface* depth = platform::CreateDrawSurface(kWidth, kHeight, platform::kRgb565);
    platform::Device3D* device = platform::CreateDevice3D(*surface, platform::DeviceKind::kSoftware);
    platform::SetRenderTarget(*device, *surface, depth);

    Textures textures;
    for (const course::FnxMaterial& m : model->materials) {
        const std::string path = tools::TexturePathOf(m.textureName, folder);
        const bool honour = m.textureName[0] == 'T' || m.textureName[0] == 'B';
        textures.list.push_back(path.empty() ? nullptr
                                             : course::CreateTextureFromFni(*device, (root + "/" + path).c_str(), honour));
    }
    platform::DeviceTexture* flag = course::CreateTextureFromFni(*device, (root + "/Nature/T998.fni").c_str(), true);
    textures.list.push_back(flag);

    const Vec3 flat{target.x, anchor.y, target.z};
    Vec3 eye = anchor + platform::Normalize(anchor - flat) * 8.0f;
    eye.y = anchor.y + 2.56f;
    platform::SetTransform(*device, platform::TransformType::kWorld, platform::IdentityMatrix());
    platform::SetTransform(*device, platform::TransformType::kView, LookAt(eye, {anchor.x, anchor.y + 2.16f, anchor.z}));
    platform::SetTransform(*device, platform::TransformType::kProjection, MainProjection());
    SetUpDevice(*device, *model);

    platform::Clear(*device, nullptr, 0, platform::kClearTarget | platform::kClearZBuffer, 0x00D0E0FF, 1.0f);
    present::FniImage sky;
    if (present::LoadFni(sky, (root + "/Sky/Sky00.fni").c_str(), false) == 0) {
        present::DrawFni(*surface, sky, 0, 0, nullptr);
        present::FreeFni(sky);
    }
    platform::BeginScene(*device);
    DrawGroups(*device, *model, textures);
    platform::SetRenderState(*device, platform::kRsAmbient, 0x00FFFFFF);
    platform::SetRenderState(*device, platform::kRsLighting, 0);
    SetObjectBlending(*device, true);
    platform::SetTexture(*device, 0, flag);
    DrawVertices(*device, objects.FlagVertices, 4, course::kFlagQuadIndices, 6);
    platform::EndScene(*device);

    const int written = platform::WritePng(*surface, argv[4]);
    platform::SetTexture(*device, 0, nullptr);
    platform::ReleaseDevice3D(device);
    platform::ReleaseDrawSurface(depth);
    platform::ReleaseDrawSurface(surface);
    course::FreeObjects(objects);
    course::FreeTerrainGrid(grid);
    return written == 0 ? 0 : Fail(std::string("cannot write ") + argv[4]);
}
