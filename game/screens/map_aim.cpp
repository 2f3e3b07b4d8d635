#include "game/screens/map_aim.h"

#include <cmath>

namespace screens {

bool MakeMapFrame(const int teeMap[2], float teeX, float teeZ, const int pinMap[2], float pinZ,
                  MapFrame& out) {
    const float dz = teeZ - pinZ;
    if (dz == 0.0f) {
        return false;
    }
    const float scale = static_cast<float>(pinMap[1] - teeMap[1]) / dz;
    if (!std::isfinite(scale) || scale == 0.0f) {
        return false;
    }
    out = {scale, teeMap[0], teeMap[1], teeX, teeZ};
    return true;
}

void MapToCourse(const MapFrame& frame, int cx, int cy, float& x, float& z) {
    x = static_cast<float>(cx - (kMapPanelX + frame.refMapX)) / frame.scale + frame.refX;
    z = -static_cast<float>(cy - (kMapPanelY + frame.refMapY)) / frame.scale + frame.refZ;
}

void CourseToMap(const MapFrame& frame, float x, float z, int& cx, int& cy) {
    cx = static_cast<int>(std::lround((x - frame.refX) * frame.scale)) + kMapPanelX + frame.refMapX;
    cy = static_cast<int>(std::lround(-(z - frame.refZ) * frame.scale)) + kMapPanelY + frame.refMapY;
}

}  // namespace screens
