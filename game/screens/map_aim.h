#pragma once
// The hole map's one uniform scale between the course's horizontal plane (x right, z up the
// panel) and the picture, from a point known on both: the tee. A click on the map becomes a course
// point and a course point a map position.

namespace screens {

inline constexpr int kMapPanelX = 630;
inline constexpr int kMapPanelY = 10;
inline constexpr int kMapPanelWidth = 160;
inline constexpr int kMapPanelHeight = 300;

struct MapFrame {
    float scale = 0.0f;  // pixels per yard
    int refMapX = 0;     // the reference point on the map, relative to the panel's corner
    int refMapY = 0;
    float refX = 0.0f;  // ... and on the course
    float refZ = 0.0f;
};

// The frame from the tee and the pin, each on the map (relative to the panel) and on the course.
// False when the two lie level on the panel's vertical axis, which leaves no scale.
bool MakeMapFrame(const int teeMap[2], float teeX, float teeZ, const int pinMap[2], float pinZ,
                  MapFrame& out);

// A picture point on the map to the course plane.
void MapToCourse(const MapFrame& frame, int cx, int cy, float& x, float& z);
// A course point to the picture (rounded to the nearest pixel).
void CourseToMap(const MapFrame& frame, float x, float z, int& cx, int& cy);

}  // namespace screens
