#include "tools/shotcli/shot_options.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace tools {

const char* const kShotUsage =
    "usage: shotcli --model HoleData.fnx [options]\n"
    "Plays one shot on a hole model the way the game plays it (set-up, gauge, launch, flight,\n"
    "bounce and roll, relocation) and prints the launch, every point of the ball's path and\n"
    "where the next stroke is played from. Positions are yards on the hole (x across, z along).\n"
    "  --help              this text\n"
    "  --ball X,Z          where the ball lies (default 0,0)\n"
    "  --aim X,Z           the point aimed at (default 0,200)\n"
    "  --pin X,Z           the cup (default: the aim point)\n"
    "  --club N            0 driver .. 12 sand wedge, 13 putter (default 0)\n"
    "  --lie N             lie class 0-7 (default from the ground under the ball)\n"
    "  --gauge TOP,END     click times in ms after the swing started (default: a perfect swing)\n"
    "  --spin BACK,SIDE    spin buttons 0-4, 2 is none (default 2,2)\n"
    "  --wind SPEED,DIR    yards per second 0-3 and radians (default calm)\n"
    "  --level N           game level 0-2 (default 0)\n"
    "  --par N --strokes N the hole's par and this stroke's number (default 4 and 1)\n"
    "  --seed N            random seed for mis-hits (default 1)\n"
    "  --bite --power      backspin shot, power shot\n"
    "  --summary           print only the launch and the result\n"
    "example: shotcli --model build/gamedata/Map/Club_01/Hole_01/HoleData.fnx --ball 0,-60 --aim 0,150 "
    "--summary\n";

namespace {

bool ParseInt(const char* text, int& out) {
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || v < -1000000 || v > 1000000) {
        return false;
    }
    out = static_cast<int>(v);
    return true;
}

bool ParsePair(const char* text, float& a, float& b) {
    char tail = 0;
    return std::sscanf(text, "%f,%f%c", &a, &b, &tail) == 2;
}

bool ParseIntPair(const char* text, int& a, int& b) {
    char tail = 0;
    return std::sscanf(text, "%d,%d%c", &a, &b, &tail) == 2;
}

bool InRange(int v, int lo, int hi) {
    return v >= lo && v <= hi;
}

}  // namespace

bool ParseShotOptions(int argc, char** argv, ShotOptions& o, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const std::string key = argv[i];
        if (key == "--bite" || key == "--power" || key == "--summary") {
            o.bite |= key == "--bite";
            o.powerShot |= key == "--power";
            o.everyPoint &= key != "--summary";
            continue;
        }
        if (i + 1 >= argc) {
            error = "missing value after " + key;
            return false;
        }
        const char* value = argv[++i];
        bool ok = true;
        int a = 0, b = 0;
        if (key == "--model") {
            o.model = value;
        } else if (key == "--ball") {
            ok = ParsePair(value, o.ball.x, o.ball.z);
        } else if (key == "--aim") {
            ok = ParsePair(value, o.aim.x, o.aim.z);
        } else if (key == "--pin") {
            ok = ParsePair(value, o.pin.x, o.pin.z);
            o.pinGiven = true;
        } else if (key == "--club") {
            ok = ParseInt(value, o.club) && InRange(o.club, 0, 13);
        } else if (key == "--lie") {
            ok = ParseInt(value, o.lieClass) && InRange(o.lieClass, 0, 7);
        } else if (key == "--gauge") {
            ok = ParseIntPair(value, a, b) && a > 0 && b >= a && b < 100000;
            o.gaugeTopMs = static_cast<uint32_t>(a);
            o.gaugeEndMs = static_cast<uint32_t>(b);
        } else if (key == "--spin") {
            ok = ParseIntPair(value, a, b) && InRange(a, 0, 4) && InRange(b, 0, 4);
            o.spin = {static_cast<uint8_t>(a), static_cast<uint8_t>(b)};
        } else if (key == "--wind") {
            ok = ParsePair(value, o.wind.windSpeed, o.wind.windDirection);
        } else if (key == "--level") {
            ok = ParseInt(value, o.gameLevel) && InRange(o.gameLevel, 0, 2);
        } else if (key == "--par") {
            ok = ParseInt(value, o.par) && InRange(o.par, 3, 5);
        } else if (key == "--strokes") {
            ok = ParseInt(value, o.strokes) && InRange(o.strokes, 1, 10);
        } else if (key == "--seed") {
            ok = ParseInt(value, a);
            o.seed = static_cast<uint32_t>(a);
        } else {
            error = "unknown option " + key;
            return false;
        }
        if (!ok) {
            error = "bad value for " + key + ": " + value;
            return false;
        }
    }
    if (o.model.empty()) {
        error = "no hole model given (--model)";
        return false;
    }
    if (!o.pinGiven) {
        o.pin = o.aim;
    }
    return true;
}

}  // namespace tools
