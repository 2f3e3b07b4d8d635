#pragma once
// An in-memory "FNX3DF" model: materials, groups (meshes drawn as indexed triangle lists) and
// lights, exactly as the file holds them. Each name field keeps one extra byte so that it is always
// NUL-terminated, even when the file fills the whole field.

#include <cstdint>
#include <vector>

#include "platform/device3d.h"

namespace core {

inline constexpr uint16_t kNoMaterial = 5000;

// File record sizes.
inline constexpr int kFnxHeaderSize = 14;
inline constexpr int kFnxMaterialSize = 96;
inline constexpr int kFnxGroupHeaderSize = 25;
inline constexpr int kFnxVertexSize = 32;
inline constexpr int kFnxLightSize = 75;

// The vertex layout the 3D device draws (position, normal, texture coordinates), so that groups are
// drawn straight from the loaded arrays. Triangles facing the viewer run clockwise on screen; the
// device culls the others.
using FnxVertex = platform::DeviceVertex;
static_assert(sizeof(FnxVertex) == 32);

struct FnxColor {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 0.0f;
};

struct FnxMaterial {
    char name[20] = {};  // 19 bytes in the file
    FnxColor ambient;
    FnxColor diffuse;
    FnxColor specular;
    float power = 0.0f;
    uint8_t reserved[8] = {};
    char textureName[18] = {};  // 17 bytes in the file; empty: untextured
};

struct FnxGroup {
    uint16_t reserved = 0;
    char name[18] = {};  // 17 bytes in the file; first three characters give the role
    uint16_t vertexCount = 0;
    uint16_t indexCount = 0;
    uint16_t materialIndex = kNoMaterial;
    std::vector<FnxVertex> vertices;  // vertexCount entries; never resized after loading
    std::vector<uint16_t> indices;    // indexCount entries, three per triangle
};

struct FnxLight {
    char name[20] = {};  // 19 bytes in the file
    uint32_t type = 0;   // 1 point, 2 spot, 3 directional
    float position[3] = {};
    float direction[3] = {};
    FnxColor color;
    float theta = 0.0f;
    float phi = 0.0f;
    float falloff = 0.0f;
};

struct FnxModel {
    char magic[6] = {};
    uint16_t reserved = 0;
    uint16_t materialCount = 0;
    uint16_t groupCount = 0;
    uint16_t lightCount = 0;
    std::vector<FnxMaterial> materials;
    std::vector<FnxGroup> groups;
    std::vector<FnxLight> lights;
};

}  // namespace core
