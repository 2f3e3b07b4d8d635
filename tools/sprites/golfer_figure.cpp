#include "tools/sprites/golfer_figure.h"

#include <algorithm>
#include <cmath>

#include "tools/sprites/svg_text.h"

namespace sprites {
namespace {

constexpr double kPi = 3.14159265358979;
constexpr const char* kOutline = "#0e1226";

struct Point {
    double x, y;
};

Point Add(Point a, Point b) {
    return {a.x + b.x, a.y + b.y};
}

double Radians(double degrees) {
    return degrees * kPi / 180.0;
}

// The elbow or knee between root and end for bones a and b, bent towards side (+1 or -1).
Point Joint(Point root, Point end, double a, double b, double side) {
    const double dx = end.x - root.x, dy = end.y - root.y;
    double d = std::hypot(dx, dy);
    d = std::clamp(d, 0.001, a + b - 0.001);
    const double along = (a * a - b * b + d * d) / (2 * d);
    const double h = std::sqrt(std::max(0.0, a * a - along * along));
    const double ux = dx / d, uy = dy / d;
    return {root.x + ux * along - uy * h * side, root.y + uy * along + ux * h * side};
}

struct Canvas {
    double scale, ox, oy;
    std::string outline, fill;

    Point Map(Point p) const { return {p.x * scale + ox, p.y * scale + oy}; }

    void Limb(Point a, Point b, double width, const std::string& colour) {
        const Point pa = Map(a), pb = Map(b);
        outline += Format(
            "<path d=\"M%.2f %.2f L%.2f %.2f\" stroke=\"%s\" stroke-width=\"%.2f\" "
            "stroke-linecap=\"round\"/>",
            pa.x, pa.y, pb.x, pb.y, kOutline, (width + 2.4) * scale);
        fill += Format(
            "<path d=\"M%.2f %.2f L%.2f %.2f\" stroke=\"%s\" stroke-width=\"%.2f\" "
            "stroke-linecap=\"round\"/>",
            pa.x, pa.y, pb.x, pb.y, colour.c_str(), width * scale);
    }
    void Polygon(const std::vector<Point>& points, const std::string& colour) {
        std::string d;
        for (size_t i = 0; i < points.size(); ++i) {
            const Point p = Map(points[i]);
            d += Format("%s%.2f %.2f ", i == 0 ? "M" : "L", p.x, p.y);
        }
        outline += Format(
            "<path d=\"%sZ\" fill=\"%s\" stroke=\"%s\" stroke-width=\"%.2f\" stroke-linejoin=\"round\"/>",
            d.c_str(), kOutline, kOutline, 2.4 * scale);
        fill += Format("<path d=\"%sZ\" fill=\"%s\"/>", d.c_str(), colour.c_str());
    }
    void Circle(Point c, double r, const std::string& colour) {
        const Point p = Map(c);
        outline += Format("<circle cx=\"%.2f\" cy=\"%.2f\" r=\"%.2f\" fill=\"%s\"/>", p.x, p.y,
                          (r + 1.2) * scale, kOutline);
        fill += Format("<circle cx=\"%.2f\" cy=\"%.2f\" r=\"%.2f\" fill=\"%s\"/>", p.x, p.y, r * scale,
                       colour.c_str());
    }
    // Drawn on top of everything so far (outline and fill together).
    void Flush(std::string& out) {
        out += outline + fill;
        outline.clear();
        fill.clear();
    }
};

double ClubLength(int poseIndex) {
    static const double lengths[kPoseCount] = {80, 72, 66, 72, 54};
    return lengths[poseIndex];
}

void DrawClub(Canvas& canvas, Point hands, double angleDegrees, int poseIndex, std::string& out) {
    const double a = Radians(angleDegrees);
    const Point dir{-std::sin(a), std::cos(a)};
    const double length = ClubLength(poseIndex);
    const Point head = Add(hands, {dir.x * length, dir.y * length});
    canvas.Limb(hands, Add(hands, {dir.x * 10, dir.y * 10}), 4.2, "#1a1a1a");  // grip
    canvas.Limb(Add(hands, {dir.x * 9, dir.y * 9}), head, 1.6, "#c8d0dc");     // shaft
    const Point side{dir.y, -dir.x};  // towards the target at address
    const double toe = poseIndex == 0 ? 9 : poseIndex == 4 ? 8 : 7;
    const double depth = poseIndex == 0 ? 6 : poseIndex == 4 ? 2.5 : 3.5;
    const std::string colour = poseIndex == 0 ? "#6a3a1a" : poseIndex == 4 ? "#3a3a44" : "#dde4ee";
    canvas.Polygon({Add(head, {-side.x * 2, -side.y * 2}), Add(head, {side.x * toe, side.y * toe}),
                    Add(head, {side.x * toe + dir.x * depth, side.y * toe + dir.y * depth}),
                    Add(head, {-side.x * 2 + dir.x * depth, -side.y * 2 + dir.y * depth})},
                   colour);
    canvas.Flush(out);
}

void DrawHead(Canvas& canvas, const Outfit& outfit, Point head, std::string& out) {
    const double r = 11;
    if (outfit.style == "long" || outfit.style == "bob") {
        const double drop = outfit.style == "long" ? 20 : 11;
        canvas.Polygon({{head.x - r - 1.5, head.y - 2},
                        {head.x + r + 1.5, head.y - 2},
                        {head.x + r + 2.5, head.y + drop},
                        {head.x - r - 2.5, head.y + drop}},
                       outfit.hair);
    }
    if (outfit.style == "ponytail") {
        canvas.Limb({head.x + r - 2, head.y - 4}, {head.x + r + 8, head.y + 12}, 6, outfit.hair);
    }
    if (outfit.style == "bun") {
        canvas.Circle({head.x, head.y - r - 3}, 5.5, outfit.hair);
    }
    canvas.Circle(head, r, outfit.skin);
    canvas.Flush(out);
    // Hair on top of the head, then the face.
    const Point c = canvas.Map(head);
    const double s = canvas.scale;
    if (outfit.style != "bald") {
        const double cut = outfit.style == "spiky" ? 1.0 : 3.0;
        out +=
            Format("<path d=\"M%.2f %.2f A%.2f %.2f 0 0 1 %.2f %.2f Q%.2f %.2f %.2f %.2f Z\" fill=\"%s\"/>",
                   c.x - r * s, c.y - cut * s, r * s, r * s, c.x + r * s, c.y - cut * s, c.x,
                   c.y - (r * 0.35) * s, c.x - r * s, c.y - cut * s, outfit.hair.c_str());
        if (outfit.style == "spiky") {
            for (int i = -2; i <= 2; ++i) {
                out += Format("<path d=\"M%.2f %.2f l%.2f %.2f l%.2f %.2f z\" fill=\"%s\"/>",
                              c.x + (i * 4 - 2) * s, c.y - (r - 2) * s, 2 * s, -6 * s, 2 * s, 6 * s,
                              outfit.hair.c_str());
            }
        }
    } else {
        out += Format(
            "<path d=\"M%.2f %.2f q%.2f %.2f %.2f 0\" stroke=\"%s\" stroke-width=\"%.2f\" fill=\"none\"/>",
            c.x - r * s, c.y + 1 * s, r * s, -3 * s, 2 * r * s, outfit.hair.c_str(), 2.5 * s);
    }
    if (!outfit.cap.empty()) {
        out += Format(
            "<path d=\"M%.2f %.2f A%.2f %.2f 0 0 1 %.2f %.2f Z\" fill=\"%s\" stroke=\"%s\" "
            "stroke-width=\"%.2f\"/>"
            "<path d=\"M%.2f %.2f h%.2f\" stroke=\"%s\" stroke-width=\"%.2f\" stroke-linecap=\"round\"/>",
            c.x - (r + 0.5) * s, c.y - 2 * s, (r + 0.5) * s, (r + 0.5) * s, c.x + (r + 0.5) * s, c.y - 2 * s,
            outfit.cap.c_str(), kOutline, 1.0 * s, c.x - (r + 3) * s, c.y - 2 * s, 2 * (r + 3) * s,
            outfit.cap.c_str(), 2.6 * s);
    }
    // Eyes and a smile, facing the viewer.
    out += Format(
        "<circle cx=\"%.2f\" cy=\"%.2f\" r=\"%.2f\" fill=\"%s\"/><circle cx=\"%.2f\" cy=\"%.2f\" r=\"%.2f\" "
        "fill=\"%s\"/><path d=\"M%.2f %.2f q%.2f %.2f %.2f 0\" stroke=\"%s\" stroke-width=\"%.2f\" "
        "fill=\"none\"/>",
        c.x - 4 * s, c.y + 2 * s, 1.4 * s, kOutline, c.x + 4 * s, c.y + 2 * s, 1.4 * s, kOutline,
        c.x - 3.5 * s, c.y + 6 * s, 3.5 * s, 2.5 * s, 7 * s, kOutline, 1.2 * s);
}

}  // namespace

std::string DrawGolfer(const Outfit& outfit, const SwingPose& pose, int poseIndex, double scale, double ox,
                       double oy) {
    const bool putt = poseIndex == 4;
    const double h = outfit.height;
    const double build = outfit.build;
    // Everything stands on y 190; heights shrink towards the ground for shorter characters.
    auto up = [h](double y) { return 190.0 - (190.0 - y) * h; };
    const double bend = putt ? 12 : 6;  // the chest leans over the ball
    const Point hipL{42 + pose.hipShift, up(118)}, hipR{58 + pose.hipShift, up(118)};
    const Point footTrail{33, 188 - pose.heelLift * 3}, footLead{67, 188};
    const double halfShoulder = 15 * build * (1.0 - 0.45 * pose.turn);
    const Point chest{50 + pose.hipShift * 0.5, up(64 + bend)};
    const Point shoulderTrail{chest.x - halfShoulder, chest.y}, shoulderLead{chest.x + halfShoulder, chest.y};
    const Point head{50 + pose.hipShift * 0.3, up(40 + bend)};
    // The hands hang so that the club head rests on the ground at address.
    const double radius = std::max(24.0, (188.0 - ClubLength(poseIndex)) - (chest.y + 4));
    const double arm = Radians(pose.arm);
    const Point hands{chest.x - radius * std::sin(arm), chest.y + 4 + radius * std::cos(arm)};

    Canvas canvas{scale, ox, oy, "", ""};
    std::string out;
    // Legs: thighs and shins with the knees flexed outwards; a skirt over the thighs.
    const double thigh = 36.5 * h, shin = 35.5 * h;
    const Point kneeTrail = Joint(hipL, footTrail, thigh, shin, 1);
    const Point kneeLead = Joint(hipR, footLead, thigh, shin, -1);
    const double legWidth = 10 * build;
    canvas.Limb(hipL, kneeTrail, legWidth, outfit.trousers);
    canvas.Limb(kneeTrail, footTrail, legWidth * 0.85, outfit.skirt ? outfit.skin : outfit.trousers);
    canvas.Limb(hipR, kneeLead, legWidth, outfit.trousers);
    canvas.Limb(kneeLead, footLead, legWidth * 0.85, outfit.skirt ? outfit.skin : outfit.trousers);
    canvas.Polygon({{footTrail.x - 7, footTrail.y - 4},
                    {footTrail.x + 4, footTrail.y - 4},
                    {footTrail.x + 4, footTrail.y + 2},
                    {footTrail.x - 8, footTrail.y + 2}},
                   outfit.shoes);
    canvas.Polygon({{footLead.x - 4, footLead.y - 4},
                    {footLead.x + 7, footLead.y - 4},
                    {footLead.x + 8, footLead.y + 2},
                    {footLead.x - 4, footLead.y + 2}},
                   outfit.shoes);
    if (outfit.skirt) {
        canvas.Polygon({{hipL.x - 6, hipL.y - 4},
                        {hipR.x + 6, hipR.y - 4},
                        {hipR.x + 12, hipR.y + 22},
                        {hipL.x - 12, hipL.y + 22}},
                       outfit.trousers);
    }
    canvas.Flush(out);
    // Torso: shirt from the shoulders to the hips, a belt, the neck.
    canvas.Limb({head.x, head.y + 8}, {chest.x, chest.y - 4}, 8, outfit.skin);
    canvas.Polygon({{shoulderTrail.x - 2, shoulderTrail.y - 3},
                    {shoulderLead.x + 2, shoulderLead.y - 3},
                    {hipR.x + 3, hipR.y - 2},
                    {hipL.x - 3, hipL.y - 2}},
                   outfit.shirt);
    canvas.Flush(out);
    if (!outfit.skirt) {
        out += Format("<path d=\"M%.2f %.2f L%.2f %.2f\" stroke=\"#1a1a1a\" stroke-width=\"%.2f\"/>",
                      canvas.Map({hipL.x - 3, 0}).x, canvas.Map({0, hipL.y - 3}).y,
                      canvas.Map({hipR.x + 3, 0}).x, canvas.Map({0, hipR.y - 3}).y, 3 * scale);
    }
    // Arms: the trail arm first, then the club, then the lead arm over it.
    const double upper = 27 * h, lower = 25 * h;
    const double armWidth = 7.5 * build;
    const Point elbowTrail = Joint(shoulderTrail, hands, upper, lower, 1);
    canvas.Limb(shoulderTrail, elbowTrail, armWidth, outfit.shirt);
    canvas.Limb(elbowTrail, hands, armWidth * 0.85, outfit.skin);
    canvas.Flush(out);
    DrawHead(canvas, outfit, head, out);
    DrawClub(canvas, hands, pose.arm + pose.wrist, poseIndex, out);
    const Point elbowLead = Joint(shoulderLead, hands, upper, lower, -1);
    canvas.Limb(shoulderLead, elbowLead, armWidth, outfit.shirt);
    canvas.Limb(elbowLead, hands, armWidth * 0.85, outfit.skin);
    canvas.Circle(hands, 4.2, "#ffffff");  // the glove
    canvas.Flush(out);
    return out;
}

namespace {

SwingPose Blend(const SwingPose& a, const SwingPose& b, double t) {
    const double s = t * t * (3 - 2 * t);  // ease in and out
    return {a.arm + (b.arm - a.arm) * s, a.wrist + (b.wrist - a.wrist) * s, a.turn + (b.turn - a.turn) * s,
            a.hipShift + (b.hipShift - a.hipShift) * s, a.heelLift + (b.heelLift - a.heelLift) * s};
}

// Appends count frames moving from a towards b (b itself is the last).
void Move(std::vector<SwingPose>& frames, const SwingPose& a, const SwingPose& b, int count) {
    for (int i = 1; i <= count; ++i) {
        frames.push_back(Blend(a, b, static_cast<double>(i) / count));
    }
}

}  // namespace

std::vector<SwingPose> SwingFrames(int poseIndex, int impactFrame) {
    const SwingPose address{0, 0, 0, 0, 0};
    SwingPose top{150, 95, 1.0, -3, 0};
    SwingPose impact{0, 0, 0.2, 2, 0.3};
    SwingPose through{-90, -40, 0.4, 5, 0.7};
    SwingPose finish{-165, -100, 0.6, 6, 1.0};
    switch (poseIndex) {
        case 1:
            top = {140, 90, 0.9, -3, 0};
            break;
        case 2:
            top = {110, 80, 0.7, -2, 0};
            finish = {-120, -60, 0.4, 4, 0.6};
            break;
        case 3:  // a mis-hit: a hurried swing that stops short and falls back
            top = {155, 100, 1.0, -4, 0};
            through = {-60, 10, 0.3, 7, 0.5};
            finish = {-70, 30, 0.2, 4, 0.3};
            break;
        case 4:
            top = {28, 0, 0.15, 0, 0};
            impact = {0, 0, 0, 0, 0};
            through = {-26, 0, 0.1, 0, 0};
            finish = {-30, 0, 0.1, 0, 0};
            break;
        default:
            break;
    }
    impactFrame = std::max(impactFrame, 4);
    std::vector<SwingPose> frames{address};
    const int hold = 2;
    frames.push_back(address);
    frames.push_back(address);
    const int back = std::max(1, (impactFrame - hold) * 2 / 3);
    const int down = std::max(1, impactFrame - hold - back);
    Move(frames, address, top, back);
    Move(frames, top, impact, down);
    Move(frames, impact, through, 4);
    Move(frames, through, finish, 4);
    frames.push_back(finish);
    frames.push_back(finish);
    return frames;
}

}  // namespace sprites
