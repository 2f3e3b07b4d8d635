#include "tools/sprites/hud_art.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "tools/sprites/button_art.h"
#include "tools/sprites/svg_text.h"

namespace sprites {
namespace {

// The point of gauge unit u (0 at the left end, 120 at the right end, over the top) at radius r.
void GaugePoint(double u, double r, double& x, double& y) {
    const double angle = kHudPi - kHudPi * u / 120.0;
    x = kGaugeCentreX + r * std::cos(angle);
    y = kGaugeCentreY - r * std::sin(angle);
}

// An annular band from unit u0 to u1 between radii r0 and r1.
std::string GaugeBand(double u0, double u1, double r0, double r1, const char* fill) {
    double ax, ay, bx, by, cx, cy, dx, dy;
    GaugePoint(u0, r1, ax, ay);
    GaugePoint(u1, r1, bx, by);
    GaugePoint(u1, r0, cx, cy);
    GaugePoint(u0, r0, dx, dy);
    const int large = (u1 - u0) > 120.0 ? 1 : 0;
    return Format(
        "<path d=\"M%.2f %.2f A%.2f %.2f 0 %d 1 %.2f %.2f L%.2f %.2f A%.2f %.2f 0 %d 0 %.2f %.2f Z\" "
        "fill=\"%s\"/>",
        ax, ay, r1, r1, large, bx, by, cx, cy, r0, r0, large, dx, dy, fill);
}

std::string GaugeTick(double u, double r0, double r1, const char* colour, double width) {
    double ax, ay, bx, by;
    GaugePoint(u, r0, ax, ay);
    GaugePoint(u, r1, bx, by);
    return Format(
        "<path d=\"M%.2f %.2f L%.2f %.2f\" stroke=\"%s\" stroke-width=\"%.1f\" stroke-linecap=\"round\"/>",
        ax, ay, bx, by, colour, width);
}

constexpr double kInner = kGaugeRadius - 6.0;
constexpr double kOuter = kGaugeRadius + 6.0;

std::string GaugeTrack() {
    std::string body = GaugeBand(0, 120, kInner - 1.5, kOuter + 1.5, kHudGold);
    body += GaugeBand(0, 120, kInner, kOuter, "#0d1538");
    for (int u = 10; u < 120; u += 10) {
        body += GaugeTick(u, kOuter - 3, kOuter, "#5a6a9a", 1.0);
    }
    return body;
}

std::string GaugeMarks() {
    return GaugeTick(15, kInner - 3, kOuter + 3, "#ffffff", 2.4) +
           GaugeTick(105, kInner - 3, kOuter + 3, "#ff3b2f", 2.4);
}

// The colour of the gauge fill at unit u: green low, yellow near the top mark, red beyond it.
std::string GaugeColour(double u) {
    if (u >= 105) {
        return "#ff4a2a";
    }
    const double t = u / 105.0;
    const int red = static_cast<int>(60 + 195 * t);
    const int green = static_cast<int>(200 + 30 * t);
    return Format("#%02x%02x30", std::min(red, 255), std::min(green, 255));
}

std::string ShotBall(bool lit) {
    const double cx = kGaugeCentreX;
    const double cy = kGaugeCentreY;
    std::string body = Format(
        "<defs><radialGradient id=\"ball\" cx=\"0.38\" cy=\"0.32\" r=\"0.75\">"
        "<stop offset=\"0\" stop-color=\"#ffffff\"/><stop offset=\"0.7\" stop-color=\"%s\"/>"
        "<stop offset=\"1\" stop-color=\"%s\"/></radialGradient></defs>",
        lit ? "#fff6c8" : "#e9eef6", lit ? "#f0b83c" : "#9aa8c0");
    if (lit) {
        body += Format("<circle cx=\"%.1f\" cy=\"%.1f\" r=\"29\" fill=\"#ffd84a\" fill-opacity=\"0.55\"/>",
                       cx, cy);
    }
    body += Format(
        "<circle cx=\"%.1f\" cy=\"%.1f\" r=\"26.5\" fill=\"url(#ball)\" stroke=\"%s\" stroke-width=\"2\"/>",
        cx, cy, lit ? "#fff2a0" : kHudNavy);
    const std::array<std::array<double, 2>, 8> dimples = {
        {{-12, -12}, {0, -16}, {12, -12}, {-16, 2}, {16, 2}, {-10, 14}, {10, 14}, {0, 17}}};
    for (const auto& d : dimples) {
        body += Format("<circle cx=\"%.1f\" cy=\"%.1f\" r=\"2.2\" fill=\"#b8c4d8\"/>", cx + d[0], cy + d[1]);
    }
    body += Label("SHOT", cx, cy + 5, 14, lit ? "#b83a00" : "#173b8c");
    return body;
}

}  // namespace

bool MakeGauge(const std::string& outDir, std::string& error) {
    for (const bool lit : {false, true}) {
        const std::string body = GaugeTrack() + GaugeMarks() + ShotBall(lit);
        if (!WriteSvgPicture(SvgDocument(kShotWidth, kShotHeight, body),
                             outDir + (lit ? "/BShotOn.fni" : "/BShot.fni"), 0, 0, error)) {
            return false;
        }
    }
    for (int frame = 0; frame <= 120; ++frame) {
        std::string body = GaugeTrack();
        if (frame > 0) {
            // The fill grows in short steps so that its colour runs from green to red.
            for (int u = 0; u < frame; u += 5) {
                body += GaugeBand(u, std::min(frame, u + 5) + 0.3, kInner + 1, kOuter - 1,
                                  GaugeColour(u).c_str());
            }
        }
        body += GaugeMarks();
        // The marker stays inside the band, whose pixels every frame paints, so that drawing one
        // frame over another leaves nothing of the first.
        body += GaugeTick(frame, kInner + 1.5, kOuter - 1.5, "#ffffff", 3.2);
        const std::string path = outDir + Format("/Shot/AShot%03d.fni", frame);
        if (!WriteSvgPicture(SvgDocument(kShotWidth, kShotHeight, body), path, 0, 0, error)) {
            return false;
        }
    }
    return true;
}

namespace {

// A wind cell: a compass ellipse lying on the ground and an arrow whose size and colour grow with
// the strength column. The arrow lies on the ground seen from behind the ball, where up the
// picture is away from the player: row 0 points to the right, each further row 22.5 degrees
// anticlockwise, so row 4 points away and row 12 at the player.
std::string WindCell(int column, int row, double ox, double oy) {
    static const char* colours[5] = {"#7fe36a", "#c8ec4a", "#ffd23a", "#ff8a2a", "#ff3a2a"};
    const double cx = ox + 50;
    const double cy = oy + 38;
    std::string body = Format(
        "<rect x=\"%.1f\" y=\"%.1f\" width=\"96\" height=\"76\" rx=\"10\" fill=\"%s\" "
        "fill-opacity=\"0.85\" stroke=\"%s\" stroke-width=\"1.5\"/>",
        ox + 2, oy + 2, kHudNavy, kHudGold);
    body += Format(
        "<ellipse cx=\"%.1f\" cy=\"%.1f\" rx=\"38\" ry=\"22\" fill=\"#1f3a8a\" stroke=\"#8fb0ff\" "
        "stroke-width=\"1.2\"/>",
        cx, cy);
    const double angle = row * kHudPi / 8.0;
    const double dx = std::cos(angle);
    const double dy = -std::sin(angle) * 0.58;  // flattened: the arrow lies on the ground
    const double length = 18 + 3.5 * column;
    const double half = 4 + 1.2 * column;
    const double tipX = cx + dx * length, tipY = cy + dy * length;
    const double tailX = cx - dx * length, tailY = cy - dy * length;
    const double nx = std::sin(angle) * 0.58, ny = std::cos(angle);  // across the arrow
    const double norm = std::hypot(nx, ny);
    const double px = nx / norm, py = ny / norm;
    const double headX = cx + dx * (length - 12), headY = cy + dy * (length - 12);
    body += Format(
        "<path d=\"M%.2f %.2f L%.2f %.2f L%.2f %.2f L%.2f %.2f L%.2f %.2f L%.2f %.2f L%.2f %.2f Z\" "
        "fill=\"%s\" stroke=\"#0b1640\" stroke-width=\"1.5\" stroke-linejoin=\"round\"/>",
        tailX + px * half * 0.5, tailY + py * half * 0.5, headX + px * half * 0.5, headY + py * half * 0.5,
        headX + px * half * 1.5, headY + py * half * 1.5, tipX, tipY, headX - px * half * 1.5,
        headY - py * half * 1.5, headX - px * half * 0.5, headY - py * half * 0.5, tailX - px * half * 0.5,
        tailY - py * half * 0.5, colours[column]);
    for (int bar = 0; bar <= column; ++bar) {
        body += Format("<rect x=\"%.1f\" y=\"%.1f\" width=\"6\" height=\"%d\" fill=\"%s\"/>",
                       ox + 68 + bar * 6.5, oy + 71 - (3 + 2 * bar), 3 + 2 * bar, colours[column]);
    }
    body += Format(
        "<text x=\"%.1f\" y=\"%.1f\" font-family=\"Liberation Sans\" font-weight=\"bold\" font-size=\"11\" "
        "fill=\"#f6fbf6\">WIND</text>",
        ox + 9, oy + 71);
    return body;
}

}  // namespace

bool MakeWind(const std::string& outDir, std::string& error) {
    std::string sheet;
    for (int row = 0; row < 16; ++row) {
        for (int column = 0; column < 5; ++column) {
            sheet += WindCell(column, row, 100.0 * column, 80.0 * row);
        }
    }
    if (!WriteSvgPicture(SvgDocument(500, 1280, sheet), outDir + "/AWind.fni", 0, 0, error)) {
        return false;
    }
    std::string calm = Format(
        "<rect x=\"2\" y=\"2\" width=\"96\" height=\"76\" rx=\"10\" fill=\"%s\" fill-opacity=\"0.85\" "
        "stroke=\"%s\" stroke-width=\"1.5\"/>"
        "<ellipse cx=\"50\" cy=\"38\" rx=\"38\" ry=\"22\" fill=\"#1f3a8a\" stroke=\"#8fb0ff\" "
        "stroke-width=\"1.2\"/><circle cx=\"50\" cy=\"38\" r=\"5\" fill=\"#7fe36a\"/>",
        kHudNavy, kHudGold);
    calm += Label("CALM", 50, 72, 12, "#f6fbf6");
    return WriteSvgPicture(SvgDocument(100, 80, calm), outDir + "/NoWind.fni", 0, 0, error);
}

namespace {

// One badge row per level, the highest level in the top row.
std::string BadgeSheet(int levels, bool championship) {
    std::string body;
    for (int row = 0; row < levels; ++row) {
        const int level = levels - row;
        const double t = static_cast<double>(level - 1) / std::max(1, levels - 1);
        const char* fill = championship ? "#7b2fbf"
                           : t > 0.75   ? "#e23a3a"
                           : t > 0.5    ? "#f08c1a"
                           : t > 0.25   ? "#2f9a3e"
                                        : "#2a62cf";
        const double y = 16.0 * row;
        body += Format(
            "<rect x=\"0.5\" y=\"%.1f\" width=\"35\" height=\"15\" rx=\"3\" fill=\"%s\" stroke=\"#ffffff\" "
            "stroke-width=\"1\"/>",
            y + 0.5, fill);
        body += Format(
            "<path d=\"M4 %.1f l2.2 4.4 4.8 0.7 -3.5 3.4 0.8 4.8 -4.3 -2.3 -4.3 2.3 0.8 -4.8 -3.5 -3.4 4.8 "
            "-0.7 z\" "
            "transform=\"translate(4 0)\" fill=\"#ffe680\"/>",
            y + 1.2);
        body += Label(Format(championship ? "C%d" : "%d", level), 24, y + 12.5, 11, "#ffffff");
    }
    return SvgDocument(36, 16 * levels, body);
}

}  // namespace

bool MakeLevelBadges(const std::string& outDir, std::string& error) {
    return WriteSvgPicture(BadgeSheet(18, false), outDir + "/ULevel.fni", 0, 0, error) &&
           WriteSvgPicture(BadgeSheet(6, true), outDir + "/ChampULevel.fni", 0, 0, error);
}

namespace {

// The club pop-up: a panel with a plate for the hovered club's names along its top and the
// fourteen clubs as chips in their rectangles (relative to the panel's top-left corner).
constexpr int kPopupWidth = 274;
constexpr int kPopupHeight = 203;
constexpr int kIconWidth = 150;
constexpr int kClubRects[14][4] = {{144, 41, 182, 66},   {206, 4, 239, 31},    {234, 34, 272, 62},
                                   {235, 70, 273, 94},   {131, 75, 157, 103},  {166, 79, 186, 113},
                                   {190, 86, 210, 121},  {216, 92, 234, 126},  {131, 118, 163, 149},
                                   {167, 123, 191, 157}, {195, 128, 218, 162}, {133, 158, 165, 182},
                                   {170, 170, 196, 197}, {208, 177, 240, 200}};
constexpr const char* kClubCodes[14] = {"W1", "W3", "W4", "W5", "I3", "I4", "I5",
                                        "I6", "I7", "I8", "I9", "PW", "SW", "P"};

const char* ClubColour(int club) {
    return club <= 3 ? "#9a5a2a" : club <= 10 ? "#8c98ac" : club <= 12 ? "#b87a3a" : "#2f6a3a";
}

std::string ClubChip(int club, double offsetX, bool lit) {
    const int* r = kClubRects[club];
    const double x = r[0] + offsetX, y = r[1], w = r[2] - r[0], h = r[3] - r[1];
    std::string body;
    if (lit) {
        body += Format(
            "<rect x=\"%.1f\" y=\"%.1f\" width=\"%.1f\" height=\"%.1f\" rx=\"6\" fill=\"#ffe680\" "
            "fill-opacity=\"0.6\"/>",
            x - 1, y - 1, w + 2, h + 2);
    }
    body += Format(
        "<rect x=\"%.1f\" y=\"%.1f\" width=\"%.1f\" height=\"%.1f\" rx=\"5\" fill=\"%s\" stroke=\"%s\" "
        "stroke-width=\"1.5\"/>",
        x + 1, y + 1, w - 2, h - 2, lit ? "#ffc83a" : ClubColour(club), lit ? "#ffffff" : "#0b1640");
    const double size = std::min(12.0, std::min(w * 0.5, h * 0.55));
    body += Label(kClubCodes[club], x + w / 2, y + h / 2 + size * 0.36, size, lit ? "#3a1e00" : "#ffffff");
    return body;
}

std::string PopupPanel(double scale) {
    const double w = kPopupWidth * scale, h = kPopupHeight * scale;
    return Format(
        "<rect x=\"1\" y=\"1\" width=\"%.1f\" height=\"%.1f\" rx=\"%.1f\" fill=\"%s\" stroke=\"%s\" "
        "stroke-width=\"2\"/>",
        w - 2, h - 2, 12 * scale, kHudNavy, kHudGold);
}

}  // namespace

bool MakeClubArt(const std::string& outDir, std::string& error) {
    std::string panel = PopupPanel(1.0);
    // The hovered club's names are centred 100 pixels in, on lines 5 and 23 from the top: their
    // plate spans the longest of them ("Wood 1 (245 yard)") above the first chips.
    panel +=
        "<rect x=\"14\" y=\"3\" width=\"172\" height=\"36\" rx=\"6\" fill=\"#101c42\" stroke=\"#4d738e\"/>";
    panel += "<path d=\"M126 44 V194\" stroke=\"#4d738e\" stroke-width=\"1.5\"/>";
    panel += Label("CLUBS", 66, 190, 12, "#efb45c");
    for (int club = 0; club < 14; ++club) {
        panel += ClubChip(club, 0, false);
    }
    if (!WriteSvgPicture(SvgDocument(kPopupWidth, kPopupHeight, panel), outDir + "/BClubBk.fni", 0, 0,
                         error)) {
        return false;
    }
    for (int club = 0; club < 14; ++club) {
        const std::string body = ClubChip(club, kIconWidth - kPopupWidth, true);
        if (!WriteSvgPicture(SvgDocument(kIconWidth, kPopupHeight, body),
                             outDir + Format("/BClub_%02d.fni", club), 0, 0, error)) {
            return false;
        }
    }
    const double scales[3] = {0.3, 0.55, 0.8};
    for (int frame = 0; frame < 3; ++frame) {
        const int w = static_cast<int>(kPopupWidth * scales[frame]);
        const int h = static_cast<int>(kPopupHeight * scales[frame]);
        if (!WriteSvgPicture(SvgDocument(w, h, PopupPanel(scales[frame])),
                             outDir + Format("/BClubM%d.fni", frame), 0, 0, error)) {
            return false;
        }
    }
    return true;
}

}  // namespace sprites
