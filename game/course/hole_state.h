#pragma once
// A loaded hole: its model, the two ball models, the device materials and textures made from them,
// the flag, and the terrain grid and object tables made when the hole is prepared for play. One
// record per client; everything in it is released by UnloadHole and ReleaseHolePreparation.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "game/core/fnx_model.h"
#include "game/course/course_objects.h"
#include "game/course/fni_texture.h"
#include "game/course/fnx_loader.h"
#include "game/course/sky_picture.h"
#include "game/course/terrain_grid.h"
#include "platform/device3d.h"

namespace course {

inline constexpr int kBallColours = 4;

inline constexpr int kFlagTextureOffGreen = 998;
inline constexpr int kFlagTextureOnGreen = 997;

struct HoleState {
    int course = 0;
    int hole = 0;
    FnxModelPtr HoleModel;
    FnxModelPtr BallModel;                                // drawn when the ball is far from the viewer
    FnxModelPtr NearBallModel;                            // drawn when it is near
    std::vector<platform::DeviceMaterial> HoleMaterials;  // one per model material
    std::vector<DeviceTexturePtr> HoleTextures;           // one per model material, or null
    platform::DeviceMaterial BallMaterials[kBallColours];
    std::vector<core::FnxVertex> BallVertices;  // the ball moved to where it is drawn
    core::FnxVertex FlagQuad[4] = {};
    uint16_t FlagIndices[6] = {};
    DeviceTexturePtr FlagTextures[2];  // [0] off the green (998), [1] on it (997)
    SkyPicture sky;                    // read at the first frame that shows it

    // Made by PrepareHole.
    bool prepared = false;
    TerrainGrid grid;
    CourseObjects objects;
    Vec3 TeePoint;
    Vec3 DefaultAim;
    Vec3 MapPinPoint;  // the pin point of the hole settings, on the ground
};

// How a material's texture name is found on disk.
struct TexturePicture {
    std::string path;  // empty: the material has no texture
    bool honourTransparent = false;
};
TexturePicture ResolveTexturePicture(const char* textureName, int course, int hole);

// Loads the hole's model from its folder and the ball models from the common picture folder, and
// makes the hole's device resources. A model that is missing or broken, or ball models that cannot
// be drawn (no group, or near and far balls of different vertex counts), refuse the hole: the
// function returns false with nothing left loaded and error describing what failed.
bool LoadHole(HoleState& hole, platform::Device3D& device, int course, int holeNumber, std::string& error);
// The textures, device states and lights; again after the display was re-created.
void LoadHoleResources(HoleState& hole, platform::Device3D& device);
void ReleaseHoleTextures(HoleState& hole);
// Releases what LoadHole made (including the hole's preparation); accepts a record never loaded.
void UnloadHole(HoleState& hole);

// The terrain grid and objects; the tee, default aim and pin points (x, z) set on the ground.
void PrepareHole(HoleState& hole, const float tee[2], const float defaultAim[2], const float pin[2]);
void ReleaseHolePreparation(HoleState& hole);

}  // namespace course
