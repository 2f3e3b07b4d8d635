#pragma once
// Drawing the hole: the main view (sky, terrain, backdrop, objects, the other players' balls, the
// flag, the green's slope grid), the hole map panel and the inset view that follows the ball. The
// main view is drawn only when the view changes and is then kept as the saved scene.

#include <cstdint>

#include "game/core/surface_kind.h"
#include "game/course/camera.h"
#include "game/course/hole_state.h"
#include "game/present/display.h"

namespace course {

inline constexpr uint32_t kSkyClearColor = 0x00D0E0FF;
inline constexpr uint32_t kMapClearColor = 0x315D21;
inline constexpr int kPlayerBalls = 4;

struct PlayerBall {
    Vec3 position;
    uint8_t colour = 0;     // 0-3, the ball material when the slot state is 2
    uint8_t slotState = 0;  // the player's per-slot state byte
    bool holed = false;
};

// What the scene needs to know of the match.
struct SceneInputs {
    Vec3 startPos;             // where the current shot starts
    uint8_t surface = 0;       // surface kind under the ball
    uint8_t startSurface = 0;  // surface kind at the start of the turn
    Vec3 pinPosition;
    int skyIndex = 0;
    int playerCount = 0;
    int currentPlayer = 0;
    bool teamPlay = false;
    PlayerBall balls[kPlayerBalls];
    bool GreenGridOn = false;
};

// Alpha blending with the alpha test (objects, backdrop, flag) on or off.
void SetObjectBlending(platform::Device3D& device, bool on);
void SetTextureFiltering(platform::Device3D& device, bool linear);
// False for an object whose centre lies within 8 yards (horizontally) of the main camera's eye.
bool ObjectInView(const HoleState& hole, ViewState& view, int group);
void CopyTranslated(const core::FnxVertex* source, int count, core::FnxVertex* destination, float x, float y,
                    float z);

// Whether another player's ball is drawn, and whether with the far model.
bool ShowsOtherBall(const SceneInputs& inputs, Vec3 tee, int slot);
bool UsesFarBall(Vec3 ball, Vec3 startPos);

// The eleven slope colours of the green grid, lowest first, as 0xRRGGBB.
void GreenGridColors(uint32_t colors[11]);

void DrawFlag(platform::Device3D& device, const HoleState& hole, const SceneInputs& inputs);
void DrawGreenGrid(present::Display& display, const HoleState& hole, const ViewState& view,
                   const SceneInputs& inputs);
// Each returns false when the scene could not be begun (nothing then drawn or saved).
bool DrawMainScene(present::Display& display, HoleState& hole, ViewState& view, const SceneInputs& inputs);
bool DrawMapScene(platform::Device3D& device, const HoleState& hole);
bool DrawInsetScene(platform::Device3D& device, HoleState& hole, const SceneInputs& inputs, Vec3 ball);

// Places the map camera, draws the map into the panel surface and finds the pin and tee on it; notes
// what it was drawn from in view.mapPanel.
void RenderMapPanel(present::Display& display, const HoleState& hole, ViewState& view,
                    const SceneInputs& inputs);
// Follows a new ball position or aim: map panel (drawn again only when its picture would change),
// main camera, objects turned to the new view.
void ResetView(present::Display& display, HoleState& hole, ViewState& view, const SceneInputs& inputs,
               Vec3 ballPos, Vec3 aimTarget);
// After the display was re-created: textures, cameras, objects and the main view again.
void RebuildSceneResources(present::Display& display, HoleState& hole, ViewState& view,
                           const SceneInputs& inputs);

}  // namespace course
