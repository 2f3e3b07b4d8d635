#include "game/course/camera.h"

#include <cmath>
#include <cstddef>

#include "game/core/geometry.h"

namespace course {

namespace {

using core::Cross;
using core::Dot;

constexpr float kTiny = 1e-6f;

// Left-handed inverse of a rigid view: the transpose of its rotation with the translation undone.
Vec3 ViewToWorld(const Matrix4& m, Vec3 v) {
    const Vec3 t{v.x - m.m[3][0], v.y - m.m[3][1], v.z - m.m[3][2]};
    return {t.x * m.m[0][0] + t.y * m.m[0][1] + t.z * m.m[0][2],
            t.x * m.m[1][0] + t.y * m.m[1][1] + t.z * m.m[1][2],
            t.x * m.m[2][0] + t.y * m.m[2][1] + t.z * m.m[2][2]};
}

Vec3 Transform(Vec3 p, const Matrix4& m, float* w) {
    const float x = p.x * m.m[0][0] + p.y * m.m[1][0] + p.z * m.m[2][0] + m.m[3][0];
    const float y = p.x * m.m[0][1] + p.y * m.m[1][1] + p.z * m.m[2][1] + m.m[3][1];
    const float z = p.x * m.m[0][2] + p.y * m.m[1][2] + p.z * m.m[2][2] + m.m[3][2];
    *w = p.x * m.m[0][3] + p.y * m.m[1][3] + p.z * m.m[2][3] + m.m[3][3];
    return {x, y, z};
}

float CotHalf(float field) {
    return std::cos(0.5f * field) / std::sin(0.5f * field);
}

void PlaceView(platform::Device3D& device, Vec3 eye, Vec3 at, const Matrix4& projection,
               const platform::DeviceViewport& viewport) {
    platform::SetTransform(device, platform::TransformType::kWorld, platform::IdentityMatrix());
    platform::SetTransform(device, platform::TransformType::kProjection, projection);
    platform::SetViewport(device, viewport);
    Matrix4 viewMatrix;
    if (LookAtMatrix(eye, at, {0.0f, 1.0f, 0.0f}, viewMatrix)) {
        platform::SetTransform(device, platform::TransformType::kView, viewMatrix);
    }
}

// The horizontal unit direction from the aim back to the anchor, or the last one there was.
Vec3 BackDirection(ViewState& view) {
    const Vec3 back{view.CameraAnchor.x - view.CameraAim.x, 0.0f, view.CameraAnchor.z - view.CameraAim.z};
    if (platform::Length(back) >= kTiny) {
        view.lastBack = platform::Normalize(back);
    }
    return view.lastBack;
}

}  // namespace

bool LookAtMatrix(Vec3 eye, Vec3 at, Vec3 up, Matrix4& out) {
    const Vec3 toAt = at - eye;
    if (platform::Length(toAt) < kTiny) {
        return false;
    }
    const Vec3 d = platform::Normalize(toAt);
    Vec3 u = up - d * Dot(up, d);
    if (platform::Length(u) < kTiny) {
        u = Vec3{0.0f, 1.0f, 0.0f} - d * d.y;
        if (platform::Length(u) < kTiny) {
            u = Vec3{0.0f, 0.0f, 1.0f} - d * d.z;
            if (platform::Length(u) < kTiny) {
                return false;
            }
        }
    }
    u = platform::Normalize(u);
    const Vec3 r = Cross(u, d);
    Matrix4 m;
    m.m[0][0] = r.x, m.m[0][1] = u.x, m.m[0][2] = d.x;
    m.m[1][0] = r.y, m.m[1][1] = u.y, m.m[1][2] = d.y;
    m.m[2][0] = r.z, m.m[2][1] = u.z, m.m[2][2] = d.z;
    m.m[3][0] = -Dot(eye, r), m.m[3][1] = -Dot(eye, u), m.m[3][2] = -Dot(eye, d);
    m.m[3][3] = 1.0f;
    out = m;
    return true;
}

Matrix4 ProjectionMatrix(float scaleX, float scaleY) {
    Matrix4 p;
    p.m[0][0] = scaleX;
    p.m[1][1] = scaleY;
    p.m[2][2] = 1.0f;
    p.m[2][3] = 1.0f;
    p.m[3][3] = 1.0f;
    return p;
}

Vec3 MainCameraEye(ViewState& view) {
    Vec3 eye = view.CameraAnchor + BackDirection(view) * 8.0f;
    eye.y = view.CameraAnchor.y + 2.56f;
    return eye;
}

void PlaceMainCamera(platform::Device3D& device, ViewState& view, int width, int height) {
    const Vec3 eye = MainCameraEye(view);
    const Vec3 at{view.CameraAnchor.x, view.CameraAnchor.y + 2.16f, view.CameraAnchor.z};
    PlaceView(device, eye, at, ProjectionMatrix(CotHalf(0.7936013f), CotHalf(0.5952010f)),
              {0, 0, width, height, 0.0f, 1.0f});
}

void PlaceInsetCamera(platform::Device3D& device, ViewState& view, Vec3 ball, bool fromGreen) {
    Vec3 dir = view.CameraAnchor - view.CameraAim;
    dir = platform::Length(dir) >= kTiny ? platform::Normalize(dir) : BackDirection(view);
    const float back = fromGreen ? 2.5f : 5.0f;
    const float lift = fromGreen ? 1.5f : 3.0f;
    const Vec3 eye{ball.x + back * dir.x, ball.y + lift, ball.z + back * dir.z};
    const float scale = CotHalf(2.0f * 0.5713335f);
    PlaceView(device, eye, ball, ProjectionMatrix(scale, scale), kInsetViewport);
}

void PlaceMapCamera(platform::Device3D& device, Vec3 tee, Vec3 mapPinPoint, bool onGreen) {
    Vec3 eye;
    if (onGreen) {
        eye = {mapPinPoint.x, mapPinPoint.y + 60.0f, mapPinPoint.z};
    } else {
        eye.x = 0.0f;
        eye.z = (mapPinPoint.z - tee.z) / 2.0f + tee.z + 15.0f;
        eye.y = core::DistanceXZ(mapPinPoint, tee) / 1.55f + tee.y;
    }
    const float aspect = static_cast<float>(kMapViewport.height) / static_cast<float>(kMapViewport.width);
    PlaceView(device, eye, {eye.x, eye.y - 1.0f, eye.z}, ProjectionMatrix(aspect, 1.0f), kMapViewport);
}

bool ProjectToScreen(const platform::Device3D& device, Vec3 p, Vec3* clip, int pixel[2], float* w) {
    const Matrix4 m = device.world * device.view * device.projection;
    float pw = 0.0f;
    const Vec3 c = Transform(p, m, &pw);
    if (w != nullptr) {
        *w = pw;
    }
    if (!(pw > 0.0f)) {
        return false;
    }
    if (clip != nullptr) {
        *clip = c;
    }
    if (pixel != nullptr) {
        pixel[0] = static_cast<int>((c.x / pw + 1.0f) * static_cast<float>(device.viewport.width) / 2.0f);
        pixel[1] = static_cast<int>((1.0f - c.y / pw) * static_cast<float>(device.viewport.height) / 2.0f);
    }
    return true;
}

bool ScreenToWorldByDepth(const platform::Device3D& device, int px, int py, Vec3& world) {
    const platform::DeviceViewport& vp = device.viewport;
    if (device.depth == nullptr || px < 0 || py < 0 || px >= vp.width || py >= vp.height) {
        return false;
    }
    const int x = vp.x + px;
    const int y = vp.y + py;
    platform::LockedPixels pixels;
    if (platform::LockSurface(*device.depth, pixels) != 0) {
        return false;
    }
    bool found = false;
    if (x < pixels.width && y < pixels.height) {
        uint16_t depth = 0;
        const uint8_t* at = pixels.bits + static_cast<ptrdiff_t>(y) * pixels.pitch + x * 2;
        depth = static_cast<uint16_t>(at[0] | (at[1] << 8));
        constexpr float kMax = 65535.0f;
        if (depth != 0xFFFF) {
            // The stored depth is z / (z + 1) of the view-space z, scaled to the format's range.
            const float z = static_cast<float>(depth) / (kMax - static_cast<float>(depth));
            const float w = z + 1.0f;
            const float vx = (2.0f * static_cast<float>(px) / static_cast<float>(vp.width) - 1.0f) * w /
                             device.projection.m[0][0];
            const float vy = (1.0f - 2.0f * static_cast<float>(py) / static_cast<float>(vp.height)) * w /
                             device.projection.m[1][1];
            world = ViewToWorld(device.world * device.view, {vx, vy, z});
            found = true;
        }
    }
    platform::UnlockSurface(*device.depth);
    return found;
}

bool IsPointVisible(const platform::Device3D& device, const ViewState& view, Vec3 p, int pixel[2], float* w) {
    int at[2] = {};
    if (!ProjectToScreen(device, p, nullptr, at, w)) {
        return false;
    }
    if (pixel != nullptr) {
        pixel[0] = at[0];
        pixel[1] = at[1];
    }
    Vec3 drawn;
    if (!ScreenToWorldByDepth(device, at[0], at[1], drawn)) {
        return true;
    }
    return core::Distance3(view.CameraAnchor, drawn) >= core::Distance3(view.CameraAnchor, p);
}

PathScreenPoint PlacePathPoint(const platform::Device3D& device, const ViewState& view, Vec3 p, bool hidden) {
    PathScreenPoint point;
    float w = 1.0f;
    const bool visible = IsPointVisible(device, view, p, point.screen, &w);
    point.visible = (visible && !hidden) ? 1 : 0;
    point.scale = point.visible != 0 ? w : 1.0f;
    return point;
}

}  // namespace course
