// The HUD's markers and small series: the map and view markers, the lie sheet, the spin step
// displays and the impact animations.
#include "tools/sprites/hud_art.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "tools/sprites/button_art.h"
#include "tools/sprites/svg_text.h"

namespace sprites {
namespace {

std::string Ball(double cx, double cy, double r) {
    return Format(
        "<circle cx=\"%.2f\" cy=\"%.2f\" r=\"%.2f\" fill=\"#ffffff\" stroke=\"#1a1a2a\" "
        "stroke-width=\"%.2f\"/>",
        cx, cy, r, std::max(0.8, r * 0.18));
}

std::string Flag(double footX, double footY, double height, const char* colour) {
    return Format(
        "<path d=\"M%.2f %.2f V%.2f\" stroke=\"#ffffff\" stroke-width=\"1.6\"/>"
        "<path d=\"M%.2f %.2f l%.2f %.2f l%.2f %.2f z\" fill=\"%s\" stroke=\"#0b1640\" "
        "stroke-width=\"0.6\"/>",
        footX, footY, footY - height, footX + 0.8, footY - height, height * 0.5, height * 0.2, -height * 0.5,
        height * 0.2, colour);
}

// The lie sheet: one 50-pixel row per lie class (teed, clean, divot, rough, deep rough, sand,
// buried, putting), each a small scene of the ball in that lie.
std::string LieRow(int lie, double y) {
    std::string body = Format(
        "<rect x=\"1\" y=\"%.1f\" width=\"88\" height=\"48\" rx=\"8\" fill=\"%s\" fill-opacity=\"0.85\" "
        "stroke=\"%s\" stroke-width=\"1.5\"/>",
        y + 1, kHudNavy, kHudGold);
    const char* ground = lie == 5 || lie == 6   ? "#e8cf8a"
                         : lie == 3 || lie == 4 ? "#2f7a2a"
                         : lie == 7             ? "#5ccf4a"
                                                : "#48a83a";
    body += Format("<path d=\"M6 %.1f Q45 %.1f 84 %.1f V%.1f H6 Z\" fill=\"%s\"/>", y + 32, y + 28, y + 32,
                   y + 44, ground);
    double ballY = y + 26;
    switch (lie) {
        case 0:
            body += Format("<path d=\"M42 %.1f h6 l-2 10 h-2 z\" fill=\"#ffffff\"/>", y + 28);
            ballY = y + 22;
            break;
        case 2:
            body += Format("<ellipse cx=\"45\" cy=\"%.1f\" rx=\"12\" ry=\"4\" fill=\"#6a4a2a\"/>", y + 32);
            ballY = y + 28;
            break;
        case 6:
            ballY = y + 31;
            break;
        default:
            break;
    }
    body += Ball(45, ballY, 6);
    if (lie == 3 || lie == 4) {
        const int blades = lie == 3 ? 6 : 11;
        for (int i = 0; i < blades; ++i) {
            const double x = 30 + i * (30.0 / blades);
            body += Format("<path d=\"M%.1f %.1f l%.1f %.1f\" stroke=\"#1f5a1a\" stroke-width=\"2\"/>", x,
                           y + 34, (i % 2 == 0 ? 2.0 : -2.0), lie == 3 ? -10.0 : -15.0);
        }
    }
    if (lie == 7) {
        body += Format("<ellipse cx=\"70\" cy=\"%.1f\" rx=\"5\" ry=\"2\" fill=\"#10301a\"/>", y + 33);
        body += Flag(70, y + 33, 24, "#ff3a2a");
    }
    if (lie == 5 || lie == 6) {
        body += Format(
            "<path d=\"M30 %.1f q15 -6 30 0\" stroke=\"#c8a860\" stroke-width=\"2\" fill=\"none\"/>", y + 38);
    }
    return body;
}

}  // namespace

bool MakeMarkers(const std::string& outDir, std::string& error) {
    struct Piece {
        const char* name;
        int width;
        int height;
        std::string body;
    };
    std::vector<Piece> pieces;
    // The waiting badge: an hourglass, narrow enough to leave room for the balance beside it.
    pieces.push_back({"PWait", 18, 16,
                      "<rect x=\"0.5\" y=\"0.5\" width=\"17\" height=\"15\" rx=\"5\" fill=\"#f08c1a\" "
                      "stroke=\"#ffffff\"/><path d=\"M5 3 H13 L9 8 L13 13 H5 L9 8 Z\" fill=\"#ffffff\" "
                      "stroke=\"#3a1e00\" stroke-width=\"0.8\" stroke-linejoin=\"round\"/>"});
    std::string ballSheet;
    for (int frame = 0; frame < 7; ++frame) {
        const double r = 5.5 - frame * 0.55;
        ballSheet += Ball(6, frame * 12 + 6, r);
    }
    pieces.push_back({"ABall", 12, 84, ballSheet});
    pieces.push_back(
        {"PDivot", 24, 10,
         "<ellipse cx=\"12\" cy=\"5\" rx=\"11\" ry=\"4.5\" fill=\"#5a3a1a\"/><ellipse cx=\"12\" cy=\"4\" "
         "rx=\"8\" ry=\"2.5\" fill=\"#3a2410\"/>"});
    static const char* playerColours[4] = {"#2a5cff", "#ff3a2a", "#ffffff", "#ffe23a"};
    std::string others;
    for (int frame = 0; frame < 4; ++frame) {
        others += Format(
            "<circle cx=\"%.1f\" cy=\"4\" r=\"3.4\" fill=\"%s\" stroke=\"#000000\" stroke-width=\"1\"/>",
            frame * 8 + 4.0, playerColours[frame]);
    }
    pieces.push_back({"OtBall", 32, 8, others});
    pieces.push_back({"MkBall", 8, 8, Ball(4, 4, 3.2)});
    pieces.push_back({"MkFlag", 12, 20, Flag(1.5, 19, 18, "#ff3a2a")});
    pieces.push_back(
        {"MkHole", 10, 10,
         "<circle cx=\"5\" cy=\"5\" r=\"4.3\" fill=\"#0b1a0b\" stroke=\"#ffffff\" stroke-width=\"1.2\"/>"});
    // The target pole: nine frames 8 pixels wide, nearer targets taller; the distance label of
    // frame f sits 20 + 20 (9 - f) pixels above the foot, at the pole's top.
    std::string poles;
    for (int frame = 0; frame < 9; ++frame) {
        const double top = 200 - (20 + 20 * (9 - frame)) + 2;
        const double x = frame * 8 + 4;
        poles += Format(
            "<path d=\"M%.1f 200 V%.1f\" stroke=\"#0b1640\" stroke-width=\"3\"/>"
            "<path d=\"M%.1f 200 V%.1f\" stroke=\"#ffe23a\" stroke-width=\"1.6\"/>"
            "<circle cx=\"%.1f\" cy=\"%.1f\" r=\"3.3\" fill=\"#ff3a2a\" stroke=\"#ffffff\" "
            "stroke-width=\"0.8\"/>"
            "<ellipse cx=\"%.1f\" cy=\"198\" rx=\"3.6\" ry=\"1.6\" fill=\"#ffffff\"/>",
            x, top, x, top, x, top + 1.5, x);
    }
    pieces.push_back({"APoll", 72, 200, poles});
    pieces.push_back({"SPoll", 9, 14,
                      "<path d=\"M4.5 13.5 L1 5 A4 4 0 1 1 8 5 Z\" fill=\"#ffe23a\" stroke=\"#3a1e00\" "
                      "stroke-width=\"1\"/>"
                      "<circle cx=\"4.5\" cy=\"4.5\" r=\"1.6\" fill=\"#3a1e00\"/>"});
    std::string lies;
    for (int lie = 0; lie < 8; ++lie) {
        lies += LieRow(lie, lie * 50.0);
    }
    pieces.push_back({"GlaKind", 90, 400, lies});
    pieces.push_back(
        {"BeginerArrowBig0", 40, 40,
         "<path d=\"M4 8 L26 30 L30 20 L36 36 L20 30 L30 26 L8 4 Z\" fill=\"#ffe23a\" stroke=\"#b83a00\" "
         "stroke-width=\"2\" stroke-linejoin=\"round\"/>"});
    pieces.push_back(
        {"BeginerArrowBig1", 40, 40,
         "<path d=\"M4 8 L26 30 L30 20 L36 36 L20 30 L30 26 L8 4 Z\" fill=\"#ff8a2a\" stroke=\"#ffffff\" "
         "stroke-width=\"2\" stroke-linejoin=\"round\"/>"});
    pieces.push_back(
        {"BeginerArrowSmall0", 16, 16,
         "<path d=\"M3 2 H13 L8 14 Z\" fill=\"#ffe23a\" stroke=\"#b83a00\" stroke-width=\"1.5\"/>"});
    pieces.push_back(
        {"BeginerArrowSmall1", 16, 16,
         "<path d=\"M3 2 H13 L8 14 Z\" fill=\"#ff8a2a\" stroke=\"#ffffff\" stroke-width=\"1.5\"/>"});
    for (const Piece& piece : pieces) {
        if (!WriteSvgPicture(SvgDocument(piece.width, piece.height, piece.body),
                             outDir + "/" + piece.name + ".fni", 0, 0, error)) {
            return false;
        }
    }
    return true;
}

// The spin step displays: five pips, the chosen step lit, 2 being no spin.
bool MakeSpinSteps(const std::string& outDir, std::string& error) {
    for (const bool curve : {false, true}) {
        for (int step = 0; step < 5; ++step) {
            std::string body = Format(
                "<rect x=\"0.5\" y=\"0.5\" width=\"75\" height=\"17\" rx=\"8\" fill=\"%s\" "
                "stroke=\"%s\"/>",
                kHudNavy, kHudGold);
            body += Label(curve ? "CURVE" : "SPIN", 17, 13, 9, "#f6fbf6");
            for (int pip = 0; pip < 5; ++pip) {
                const bool lit = pip == step;
                const char* colour = lit ? (pip == 2 ? "#7fe36a" : "#ffd23a") : "#3a4a7a";
                body += Format("<circle cx=\"%d\" cy=\"9\" r=\"%.1f\" fill=\"%s\"/>", 38 + pip * 8,
                               lit ? 3.6 : 2.6, colour);
            }
            const std::string name = Format(curve ? "/BCurveStep%d.fni" : "/BAngleStep%d.fni", step);
            if (!WriteSvgPicture(SvgDocument(76, 18, body), outDir + name, 0, 0, error)) {
                return false;
            }
        }
    }
    return true;
}

namespace {

// A vertical sheet of frames: a burst of particles that rises, spreads and fades.
std::string Burst(int frames, int width, int height, const char* colour, const char* second, int particles,
                  double spread) {
    std::string body;
    for (int frame = 0; frame < frames; ++frame) {
        const double t = (frame + 1.0) / frames;
        const double oy = frame * height;
        for (int p = 0; p < particles; ++p) {
            const double angle = kHudPi * (0.15 + 0.7 * p / std::max(1, particles - 1));
            const double speed = spread * (0.6 + 0.4 * ((p * 7) % 5) / 4.0);
            const double x = width / 2.0 + std::cos(angle) * speed * t;
            const double y = oy + height - 4 - std::sin(angle) * speed * t * 1.4 + 30 * t * t;
            const double r = std::max(0.8, 2.6 * (1.0 - t * 0.7));
            if (y > oy + 1 && y < oy + height - 1) {
                body += Format("<circle cx=\"%.2f\" cy=\"%.2f\" r=\"%.2f\" fill=\"%s\"/>", x, y, r,
                               p % 2 == 0 ? colour : second);
            }
        }
    }
    return body;
}

}  // namespace

bool MakeEffects(const std::string& outDir, std::string& error) {
    struct Effect {
        const char* name;
        int frames;
        int width;
        int height;
        const char* colour;
        const char* second;
        int particles;
        double spread;
    };
    const Effect effects[] = {
        {"ATee", 12, 64, 48, "#ffffff", "#7fd86a", 9, 26},
        {"AMower", 15, 64, 48, "#3a9a2a", "#7fd86a", 12, 30},
        {"AMowerS", 15, 40, 32, "#3a9a2a", "#7fd86a", 8, 18},
        {"ASand", 10, 64, 48, "#e8cf8a", "#c8a860", 16, 32},
        {"ASandS", 10, 40, 32, "#e8cf8a", "#c8a860", 10, 18},
    };
    for (const Effect& e : effects) {
        const std::string body =
            Burst(e.frames, e.width, e.height, e.colour, e.second, e.particles, e.spread);
        if (!WriteSvgPicture(SvgDocument(e.width, e.height * e.frames, body), outDir + "/" + e.name + ".fni",
                             0, 0, error)) {
            return false;
        }
    }
    // The splash: ten frames of 40 x 64, a column of water that rises and falls back in drops.
    std::string splash;
    for (int frame = 0; frame < 10; ++frame) {
        const double t = (frame + 1) / 10.0;
        const double oy = frame * 64.0;
        const double rise = 52 * std::sin(kHudPi * t);
        splash += Format(
            "<ellipse cx=\"20\" cy=\"%.1f\" rx=\"%.1f\" ry=\"3\" fill=\"#bfe8ff\" stroke=\"#ffffff\"/>",
            oy + 60, 6 + 12 * t);
        if (rise > 4) {
            splash += Format("<path d=\"M14 %.1f Q20 %.1f 26 %.1f Z\" fill=\"#dff4ff\" stroke=\"#8fd0ff\"/>",
                             oy + 60, oy + 60 - rise * 2, oy + 60);
        }
        for (int d = 0; d < 4; ++d) {
            const double x = 20 + (d - 1.5) * 9 * t;
            const double y = oy + 60 - rise * (0.6 + 0.1 * d);
            splash += Format("<circle cx=\"%.1f\" cy=\"%.1f\" r=\"1.8\" fill=\"#ffffff\"/>", x,
                             std::max(oy + 2, y));
        }
    }
    return WriteSvgPicture(SvgDocument(40, 640, splash), outDir + "/AWater.fni", 0, 0, error);
}

}  // namespace sprites
