#pragma once
// The three cameras of the course view (the main view behind the ball, the inset view following the
// ball in flight, the hole map from above) and the projection of world points into the picture.

#include <cstdint>
#include <vector>

#include "game/course/map_panel_record.h"
#include "platform/device3d.h"
#include "platform/vecmath.h"

namespace course {

using platform::Matrix4;
using platform::Vec3;

inline constexpr platform::DeviceViewport kInsetViewport{550, 410, 236, 176, 0.0f, 1.0f};
inline constexpr platform::DeviceViewport kMapViewport{630, 10, 160, 300, 0.0f, 1.0f};

struct ViewState {
    Vec3 CameraAnchor;  // the ball the main view is built around
    Vec3 CameraAim;     // the point it looks towards
    int MapPinPos[2] = {};
    int MapTeePos[2] = {};
    MapPanelRecord mapPanel;  // what the panel's picture and the two positions above were made from
    // The last usable horizontal direction from the aim back to the anchor: kept for an aim straight
    // above or below the anchor, which has no direction of its own.
    Vec3 lastBack{0.0f, 0.0f, -1.0f};
};

// A left-handed view looking from eye at at. Returns false (out unchanged) when eye and at coincide
// or no up direction can be found.
bool LookAtMatrix(Vec3 eye, Vec3 at, Vec3 up, Matrix4& out);

// Projection with w = z + 1 and the near plane at 0.
Matrix4 ProjectionMatrix(float scaleX, float scaleY);

// The eye of the main camera: 8 yards behind the anchor on the line from the aim, 2.56 above it.
Vec3 MainCameraEye(ViewState& view);

// Transforms and viewport of each view. A view whose look-at fails keeps the previous View matrix.
void PlaceMainCamera(platform::Device3D& device, ViewState& view, int width, int height);
void PlaceInsetCamera(platform::Device3D& device, ViewState& view, Vec3 ball, bool fromGreen);
// The map camera over the hole: over the pin when on the green, else framing tee to pin.
void PlaceMapCamera(platform::Device3D& device, Vec3 tee, Vec3 mapPinPoint, bool onGreen);

// Projects with the device's transforms and viewport. False for a point behind the viewer
// (w <= 0), leaving clip and pixel unwritten. The pixel is relative to the viewport's corner.
bool ProjectToScreen(const platform::Device3D& device, Vec3 p, Vec3* clip, int pixel[2], float* w);

// The world point drawn at a viewport pixel, from the depth buffer. False outside the viewport or
// where nothing was drawn.
bool ScreenToWorldByDepth(const platform::Device3D& device, int px, int py, Vec3& world);

// Whether p is in view and not behind drawn geometry as seen from the anchor.
bool IsPointVisible(const platform::Device3D& device, const ViewState& view, Vec3 p, int pixel[2], float* w);

// Where a point of a ball path appears in the picture.
struct PathScreenPoint {
    int32_t screen[2] = {0, 0};  // pixel relative to the viewport's corner
    uint8_t visible = 0;
    float scale = 1.0f;  // projection scale, 1.0 when not visible
};

// The screen position, visibility and scale of one point of a ball path; a hidden point (the last
// one of a ball that ends holed or in water) is placed but not shown.
PathScreenPoint PlacePathPoint(const platform::Device3D& device, const ViewState& view, Vec3 p, bool hidden);

}  // namespace course
