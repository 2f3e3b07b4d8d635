#pragma once
// The few numbers of a TrueType/OpenType file that decide how a font is sized the way Windows sizes
// it: a font asked for with cell height h is scaled so that its Windows ascent plus descent fill
// exactly h pixels.

#include <cstddef>
#include <cstdint>

namespace platform {

struct FontCellMetrics {
    int unitsPerEm = 0;
    int winAscent = 0;
    int winDescent = 0;
};

// Reads the "head" and "OS/2" tables of face faceIndex of a font file (a single font or a
// collection). Returns false when the bytes are not a font or a table is missing or cut short.
bool ParseFontCellMetrics(const uint8_t* data, size_t size, int faceIndex, FontCellMetrics& out);

// The classic average character width: the advances of the small letters and the blank, weighted
// by how often they occur in English text. advanceOf(c) gives the advance of character c in font
// units. This is the width a font requested with average width w gives to its average character.
template <typename AdvanceOf>
double WeightedAverageWidth(AdvanceOf advanceOf) {
    static constexpr int kWeights[26] = {64, 14, 27, 35, 100, 20, 14, 42, 63, 3,  6, 35, 20,
                                         56, 56, 17, 4,  49,  56, 71, 31, 10, 18, 3, 18, 2};
    double sum = 166.0 * advanceOf(' ');
    for (int i = 0; i < 26; ++i) {
        sum += kWeights[i] * static_cast<double>(advanceOf(static_cast<char>('a' + i)));
    }
    return sum / 1000.0;
}

}  // namespace platform
