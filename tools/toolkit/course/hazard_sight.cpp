#include "tools/toolkit/course/hazard_sight.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tools {
namespace {

constexpr double kEyeBehind = 8.0;
constexpr double kEyeAbove = 2.56;
constexpr double kViewpointSpacing = 15.0;
constexpr double kNearest = 30.0;  // closer than this the player is past looking
constexpr double kFarthest = 240.0;
constexpr double kHalfViewDegrees = 35.0;
constexpr int kMostSamples = 80;
constexpr double kPi = 3.14159265358979323846;

// Points spread over the inside of an area, at most kMostSamples of them.
std::vector<Vec2> SamplePoints(const Shape& shape) {
    Vec2 lo, hi;
    ShapeBounds(shape, lo, hi);
    std::vector<Vec2> inside;
    for (double z = lo.z; z <= hi.z; z += 1.5) {
        for (double x = lo.x; x <= hi.x; x += 1.5) {
            if (SignedDistance(shape, {x, z}) < -0.5) {
                inside.push_back({x, z});
            }
        }
    }
    if (inside.size() <= kMostSamples) {
        return inside;
    }
    std::vector<Vec2> picked;
    for (int k = 0; k < kMostSamples; ++k) {
        picked.push_back(inside[inside.size() * k / kMostSamples]);
    }
    return picked;
}

bool ClearSight(const HoleField& field, Vec2 eye, double eyeY, Vec2 target, double targetY) {
    const double length = Length(target - eye);
    const int steps = static_cast<int>(length / 1.5);
    for (int k = 1; k < steps; ++k) {
        const double t = k / static_cast<double>(steps);
        if (length * (1 - t) < 1.0) {
            break;
        }
        const Vec2 q = eye + (target - eye) * t;
        if (GroundHeight(field, q) > eyeY + (targetY - eyeY) * t + 0.02) {
            return false;
        }
    }
    return true;
}

HazardSight Sight(const HoleField& field, const std::string& what, const Shape& shape) {
    HazardSight sight;
    sight.what = what;
    const std::vector<Vec2> samples = SamplePoints(shape);
    if (samples.empty()) {
        sight.bestShare = 1;
        return sight;
    }
    const std::vector<Vec2>& line = field.corridor.points;
    for (size_t s = 0; s + 1 < line.size(); ++s) {
        const Vec2 d = line[s + 1] - line[s];
        const double length = Length(d);
        const Vec2 dir = d * (1.0 / length);
        for (double t = 0; t <= length; t += kViewpointSpacing) {
            const Vec2 ball = line[s] + dir * t;
            // The hazard must lie ahead, inside the view and within range.
            int ahead = 0;
            double nearest = 1e9;
            for (const Vec2& q : samples) {
                const Vec2 to = q - ball;
                const double distance = Length(to);
                nearest = std::min(nearest, distance);
                const double cosine = (to.x * dir.x + to.z * dir.z) / std::max(distance, 1e-9);
                ahead += cosine > std::cos(kHalfViewDegrees * kPi / 180);
            }
            if (ahead * 2 < static_cast<int>(samples.size()) || nearest < kNearest || nearest > kFarthest) {
                continue;
            }
            sight.inRange = true;
            const Vec2 eye = ball - dir * kEyeBehind;
            const double eyeY = GroundHeight(field, ball) + kEyeAbove;
            int seen = 0;
            for (const Vec2& q : samples) {
                seen += ClearSight(field, eye, eyeY, q, GroundHeight(field, q) + 0.05);
            }
            const double share = seen / static_cast<double>(samples.size());
            if (share > sight.bestShare) {
                sight.bestShare = share;
                sight.bestViewpoint = ball;
            }
        }
    }
    return sight;
}

}  // namespace

std::vector<HazardSight> HazardSights(const HoleField& field) {
    std::vector<HazardSight> sights;
    const HoleDescription& hole = *field.hole;
    for (size_t i = 0; i < hole.water.size(); ++i) {
        sights.push_back(Sight(field, "water " + std::to_string(i + 1), hole.water[i]));
        sights.back().leastShare = kLeastVisibleWater;
    }
    for (size_t i = 0; i < hole.bunkers.size(); ++i) {
        sights.push_back(Sight(field, "bunker " + std::to_string(i + 1), hole.bunkers[i].outline));
        sights.back().leastShare = kLeastVisibleSand;
    }
    return sights;
}

bool FlagSeenFromTee(const HoleField& field) {
    const HoleDescription& hole = *field.hole;
    const Vec2 toward = field.corridor.points[1] - hole.tee;
    const Vec2 eye = hole.tee - toward * (kEyeBehind / std::max(Length(toward), 1e-9));
    const double eyeY = GroundHeight(field, hole.tee) + kEyeAbove;
    const double pinY = GroundHeight(field, hole.pin);
    for (double above : {1.5, 2.25, 3.0}) {
        if (ClearSight(field, eye, eyeY, hole.pin, pinY + above)) {
            return true;
        }
    }
    return false;
}

bool CheckHazardsVisible(const HoleField& field, std::string& error) {
    if (!FlagSeenFromTee(field)) {
        error = field.hole->path + ": the ground hides the flag from the tee";
        return false;
    }
    for (const HazardSight& sight : HazardSights(field)) {
        if (sight.inRange && sight.bestShare < sight.leastShare) {
            char text[160];
            std::snprintf(text, sizeof text,
                          ": %s cannot be seen from the line of play (at best %.0f%% of it, from %.0f, %.0f)",
                          sight.what.c_str(), 100 * sight.bestShare, sight.bestViewpoint.x,
                          sight.bestViewpoint.z);
            error = field.hole->path + text;
            return false;
        }
    }
    return true;
}

}  // namespace tools
