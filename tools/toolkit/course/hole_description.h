#pragma once
// The readable description of one hole (a JSON file in assets/course/) and its reader. Every
// coordinate is (x, z) in yards: x across the hole, z along it; the tee usually sits near z = 0
// and the green further up.

#include <string>
#include <vector>

#include "tools/toolkit/course/shapes.h"

namespace tools {

struct Hill {
    Vec2 at;
    double radius = 0;
    double height = 0;  // negative for a hollow
};

struct GroundDescription {
    double base = 8;   // height of the land at the origin
    Vec2 tilt;         // rise per yard along x and along z
    double waves = 1;  // height of the gentle roll of the land
    int seed = 1;      // chooses the roll
    std::vector<Hill> hills;
};

struct GreenDescription {
    Shape outline;
    Vec2 tilt;                   // the putting surface's rise per yard
    std::vector<Hill> contours;  // gentle rises and hollows on the green
};

struct BunkerDescription {
    Shape outline;
    double depth = 0.8;
};

// Tree kinds: which scenery picture, the picture's width for its height, and the attribute letter
// the ball physics sees: 'T' for trees (the ball knocks against wood and drops), 'E' for bushes
// and shrubs (soft: the ball keeps more of its speed and lands with a thud).
struct TreeKind {
    const char* name;
    int picture;  // Nature\T%03d.fni
    double widthPerHeight;
    char attribute;
};
const TreeKind* FindTreeKind(const std::string& name);

struct TreePlacement {
    const TreeKind* kind = nullptr;
    Vec2 at;
    double height = 10;
    int line = 0;  // where the description placed it, for messages
};

struct HoleDescription {
    std::string path;
    std::string name;
    int par = 4;
    Vec2 tee;
    Vec2 aim;
    Vec2 pin;
    double corridor = 75;  // out of bounds beyond this distance from the line tee - aim - pin
    GroundDescription ground;
    Shape teeBox;
    double teeRaise = 0.4;
    std::vector<Shape> fairways;
    GreenDescription green;
    std::vector<Shape> otherGreens;
    std::vector<BunkerDescription> bunkers;
    std::vector<Shape> water;
    std::vector<double> waterBanks;  // per pond: yards over which its banks fall to the water
    std::vector<Shape> paths;
    std::vector<TreePlacement> trees;
    std::string backdropHills;  // hole textures ("B...") of the backdrop
    std::string backdropTreeLine;
    std::string backdropClouds;  // a hole texture of clouds drawn around the sky, or none
    // Common ground textures ("Texture\...") by surface kind, in the sun and in a tree's shade
    // (empty: the sunny one); a course of its own character names its own.
    std::string groundTextures[9] = {"GroundTee.fni", "Fairway.fni", "Green.fni",     "Rough.fni", "Sand.fni",
                                     "Path.fni",      "Water.fni",   "OutBounds.fni", "Green.fni"};
    std::string shadedTextures[9] = {"", "ShadeFairway.fni", "", "ShadeRough.fni", "", "",
                                     "", "ShadeOut.fni",     ""};
};

// Reads and checks a description. On failure error reads "file:line: what is wrong".
bool ReadHoleDescription(const std::string& path, HoleDescription& hole, std::string& error);
bool ParseHoleDescription(const std::string& path, const std::string& text, HoleDescription& hole,
                          std::string& error);

// The line of play: tee, aim point (when it differs from the pin), pin.
std::vector<Vec2> LineOfPlay(const HoleDescription& hole);

}  // namespace tools
