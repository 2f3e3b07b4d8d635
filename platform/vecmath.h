#pragma once
// The two small value types the whole program shares: a 3-vector of floats and a 4 x 4 float
// matrix in the row-vector convention (a point p transforms as p * M, translation in row 3).

#include <cmath>

namespace platform {

struct Vec3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

inline Vec3 operator+(Vec3 a, Vec3 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline Vec3 operator-(Vec3 a, Vec3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Vec3 operator*(Vec3 a, float s) {
    return {a.x * s, a.y * s, a.z * s};
}
inline float Length(Vec3 a) {
    return std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z);
}
// Exactly the same coordinates (no tolerance): for telling whether something must be redrawn.
inline bool SamePoint(Vec3 a, Vec3 b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}
// Divides by the length; a zero vector gives non-finite components, as division does.
inline Vec3 Normalize(Vec3 a) {
    const float len = Length(a);
    return {a.x / len, a.y / len, a.z / len};
}

// Turns a vector about the vertical (y) axis: (x, z) becomes (x cos a + z sin a, -x sin a + z cos a).
inline Vec3 TurnAboutVertical(Vec3 v, float angle) {
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    return {v.x * c + v.z * s, v.y, -v.x * s + v.z * c};
}

struct Matrix4 {
    float m[4][4] = {};
};

inline Matrix4 IdentityMatrix() {
    Matrix4 r;
    for (int i = 0; i < 4; ++i) {
        r.m[i][i] = 1.0f;
    }
    return r;
}

inline Matrix4 operator*(const Matrix4& a, const Matrix4& b) {
    Matrix4 r;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) {
                sum += a.m[i][k] * b.m[k][j];
            }
            r.m[i][j] = sum;
        }
    }
    return r;
}

}  // namespace platform
