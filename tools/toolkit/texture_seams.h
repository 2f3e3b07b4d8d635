#pragma once
// Whether a picture shows a seam where the renderer wraps its texture coordinates: ground pictures
// repeat both ways, backdrop pictures repeat across, and object pictures with transparent parts
// must be transparent along their whole border (the renderer's wrap would otherwise draw a row or
// column of the far side, such as a trunk-coloured bar above a tree's top).

#include <string>

#include "game/present/fni_image.h"

namespace tools {

enum class TextureWrap {
    kBothWays,  // ground, tiled across the hole
    kAcross,    // backdrop: repeats left to right; its top and bottom rows are never reached
    kCutOut,    // objects: pictures with transparent parts drawn once
    kOnce,      // opaque objects: the picture is drawn once on each face, nearest texel
};

// Empty when the picture wraps cleanly; otherwise what is wrong. The picture must be expanded.
std::string WrapSeamProblem(const present::FniImage& image, TextureWrap wrap);

}  // namespace tools
