#pragma once
// One articulated golfer, seen face-on, that every character wears: joints from a few pose
// angles, limbs as rounded strokes with a dark outline, and the club in the hands.

#include <string>
#include <vector>

namespace sprites {

struct Outfit {
    std::string shirt, trousers, shoes, skin, hair, cap;
    std::string style;  // short, cap, bun, ponytail, long, bob, spiky, bald
    bool skirt = false;
    double height = 1.0;  // body height factor
    double build = 1.0;   // shoulder and limb width factor
};

// The swing kinds' clubs and swings, by pose letter index: 0 D (woods), 1 I (irons), 2 L (wedges),
// 3 S (a mis-hit swing), 4 P (putter).
inline constexpr int kPoseCount = 5;
inline constexpr char kPoseLetters[kPoseCount + 1] = "DILSP";

struct SwingPose {
    double arm = 0;       // degrees the hands have turned about the chest: + back, - through
    double wrist = 0;     // degrees the club is cocked from the line of the arms
    double turn = 0;      // 0..1 how far the shoulders are turned away (narrower)
    double hipShift = 0;  // figure units the hips move sideways (+ towards the target)
    double heelLift = 0;  // 0..1 how far the trail heel has come up
};

// The SVG of the figure in a 100 x 200 figure space (feet on y 190) scaled by scale and moved by
// (ox, oy).
std::string DrawGolfer(const Outfit& outfit, const SwingPose& pose, int poseIndex, double scale, double ox,
                       double oy);

// The frames of the swing of that pose: the club meets the ball at frame impactFrame.
std::vector<SwingPose> SwingFrames(int poseIndex, int impactFrame);

}  // namespace sprites
