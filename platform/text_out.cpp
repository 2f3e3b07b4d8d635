#include "platform/text_out.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>
#include <string>
#include <tuple>
#include <vector>

#include "platform/font_lookup.h"
#include "platform/font_metrics.h"

namespace platform {

namespace {

// Decodes UTF-8 (as produced by CodePageToUtf8, so well formed) into code points.
std::vector<uint32_t> CodePoints(const std::string& utf8) {
    std::vector<uint32_t> points;
    size_t i = 0;
    while (i < utf8.size()) {
        auto lead = static_cast<unsigned char>(utf8[i]);
        int extra = lead < 0x80 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
        uint32_t point = extra == 0 ? lead : lead & (0x3F >> extra);
        for (int k = 1; k <= extra && i + k < utf8.size(); ++k) {
            point = point << 6 | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        }
        points.push_back(point);
        i += static_cast<size_t>(extra) + 1;
    }
    return points;
}

struct DesignMetrics {
    bool valid = false;
    FontCellMetrics cell;
    double averageWidth = 0;  // font units
};

struct SizedFont {
    TTF_Font* font = nullptr;
    int cellAscent = 0;  // pixels from the cell top to the baseline
    int cellHeight = 0;
};

using FaceKey = std::tuple<std::string, int, unsigned, unsigned, bool>;

// Everything opened so far. Fonts are immutable once sized, so one cache serves every client.
struct FontCache {
    std::mutex lock;
    bool ttfReady = false;
    std::map<std::pair<std::string, bool>, FontFile> files;
    std::map<std::pair<std::string, int>, DesignMetrics> designs;
    std::map<FaceKey, SizedFont> fonts;

    void CloseFonts() {
        for (auto& [key, sized] : fonts) {
            if (sized.font != nullptr) {
                TTF_CloseFont(sized.font);
            }
        }
        fonts.clear();
    }

    ~FontCache() {
        CloseFonts();
        if (ttfReady) {
            TTF_Quit();
        }
    }
};

FontCache& TheCache() {
    static FontCache cache;
    return cache;
}

const FontFile& FileFor(FontCache& cache, const std::string& family, bool bold) {
    auto key = std::make_pair(family, bold);
    auto it = cache.files.find(key);
    if (it == cache.files.end()) {
        it = cache.files.emplace(key, FindFontFile(family, bold)).first;
    }
    return it->second;
}

DesignMetrics MeasureDesign(const FontFile& file) {
    DesignMetrics design;
    std::ifstream in(file.path, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!ParseFontCellMetrics(bytes.data(), bytes.size(), file.index, design.cell)) {
        return design;
    }
    // At one pixel per font unit the advances come out in font units.
    auto dpi = static_cast<unsigned>(design.cell.unitsPerEm * 72);
    TTF_Font* probe = TTF_OpenFontIndexDPI(file.path.c_str(), 1, file.index, dpi, dpi);
    if (probe == nullptr) {
        return design;
    }
    TTF_SetFontHinting(probe, TTF_HINTING_NONE);
    design.averageWidth = WeightedAverageWidth([probe](char c) {
        int advance = 0;
        TTF_GlyphMetrics32(probe, static_cast<uint32_t>(c), nullptr, nullptr, nullptr, nullptr, &advance);
        return advance;
    });
    TTF_CloseFont(probe);
    if (design.averageWidth <= 0) {
        design.averageWidth = design.cell.unitsPerEm / 2.0;
    }
    design.valid = true;
    return design;
}

const DesignMetrics& DesignFor(FontCache& cache, const FontFile& file) {
    auto key = std::make_pair(file.path, file.index);
    auto it = cache.designs.find(key);
    if (it == cache.designs.end()) {
        it = cache.designs.emplace(key, MeasureDesign(file)).first;
    }
    return it->second;
}

// Opens (or finds) the glyphs of a font sized so that the regular design's cell is height pixels
// high and its average character width pixels wide. A bold design is opened at the regular
// design's scale, so that bold text widens a little per character as Windows bold does.
const SizedFont* SizeFont(FontCache& cache, const FontFile& regular, const FontFile& file, int width,
                          int height, bool bold) {
    if (file.path.empty() || regular.path.empty()) {
        return nullptr;
    }
    const DesignMetrics& design = DesignFor(cache, regular);
    if (!design.valid) {
        return nullptr;
    }
    const FontCellMetrics& cell = design.cell;
    int cellUnits = cell.winAscent + cell.winDescent;
    double emY = height > 0   ? static_cast<double>(height) * cell.unitsPerEm / cellUnits
                 : height < 0 ? -static_cast<double>(height)
                              : 16.0 * cell.unitsPerEm / cellUnits;
    double emX = width > 0 ? width * cell.unitsPerEm / design.averageWidth : emY;
    emX = std::min(emX, 4096.0);
    emY = std::min(emY, 4096.0);
    auto hdpi = static_cast<unsigned>(std::max(1L, std::lround(emX * 72)));
    auto vdpi = static_cast<unsigned>(std::max(1L, std::lround(emY * 72)));
    bool synthesiseBold = bold && !file.hasBoldFace;
    FaceKey key{file.path, file.index, hdpi, vdpi, synthesiseBold};
    auto it = cache.fonts.find(key);
    if (it != cache.fonts.end()) {
        return it->second.font != nullptr ? &it->second : nullptr;
    }
    SizedFont sized;
    sized.font = TTF_OpenFontIndexDPI(file.path.c_str(), 1, file.index, hdpi, vdpi);
    if (sized.font != nullptr) {
        TTF_SetFontKerning(sized.font, 0);
        TTF_SetFontHinting(sized.font, TTF_HINTING_LIGHT);
        if (synthesiseBold) {
            TTF_SetFontStyle(sized.font, TTF_STYLE_BOLD);
        }
        sized.cellAscent = static_cast<int>(std::lround(cell.winAscent * emY / cell.unitsPerEm));
        sized.cellHeight = static_cast<int>(std::lround(cellUnits * emY / cell.unitsPerEm));
    }
    it = cache.fonts.emplace(key, sized).first;
    return sized.font != nullptr ? &it->second : nullptr;
}

const SizedFont* SizeFamily(FontCache& cache, const std::string& family, const TextFontSpec& request) {
    const FontFile& regular = FileFor(cache, family, false);
    const FontFile& glyphs = request.bold ? FileFor(cache, family, true) : regular;
    return SizeFont(cache, regular, glyphs, request.width, request.height, request.bold);
}

bool CoversAll(TTF_Font* font, const std::vector<uint32_t>& points) {
    for (uint32_t point : points) {
        if (point >= 0x80 && !TTF_GlyphIsProvided32(font, point)) {
            return false;
        }
    }
    return true;
}

// The font for a text: the stand-in of the requested face, or, when that lacks some of the text's
// characters, the face that covers the code page (as Windows links fonts for Hangul and kanji).
const SizedFont* FontForText(FontCache& cache, const TextFontSpec& request,
                             const std::vector<uint32_t>& points) {
    if (!cache.ttfReady) {
        if (TTF_Init() != 0) {
            return nullptr;
        }
        cache.ttfReady = true;
    }
    const char* standIn = StandInFamily(request.face);
    std::string family = standIn != nullptr ? standIn : CodePageToUtf8(request.face, request.codePage);
    const SizedFont* sized = SizeFamily(cache, family, request);
    if (sized != nullptr && CoversAll(sized->font, points)) {
        return sized;
    }
    const SizedFont* linked = SizeFamily(cache, CodePageFamily(request.codePage), request);
    return linked != nullptr ? linked : sized;
}

int AdvanceSum(TTF_Font* font, const std::vector<uint32_t>& points) {
    int sum = 0;
    for (uint32_t point : points) {
        int advance = 0;
        if (TTF_GlyphMetrics32(font, point, nullptr, nullptr, nullptr, nullptr, &advance) == 0) {
            sum += advance;
        }
    }
    return sum;
}

std::string_view UpToNul(std::string_view text) {
    size_t end = text.find('\0');
    return end == std::string_view::npos ? text : text.substr(0, end);
}

}  // namespace

int MeasureTextExtent(const TextFontSpec& font, std::string_view text) {
    text = UpToNul(text);
    if (text.empty()) {
        return 0;
    }
    std::string utf8 = CodePageToUtf8(text, font.codePage);
    std::vector<uint32_t> points = CodePoints(utf8);
    FontCache& cache = TheCache();
    std::lock_guard<std::mutex> guard(cache.lock);
    const SizedFont* sized = FontForText(cache, font, points);
    return sized != nullptr ? AdvanceSum(sized->font, points) : 0;
}

void DrawTextOut(DrawSurface& surface, const TextFontSpec& font, int x, int y, uint32_t rgb, int alignment,
                 std::string_view text) {
    text = UpToNul(text);
    if (text.empty() || surface.pixels == nullptr) {
        return;
    }
    FinishPendingWork(surface);
    std::string utf8 = CodePageToUtf8(text, font.codePage);
    std::vector<uint32_t> points = CodePoints(utf8);
    FontCache& cache = TheCache();
    std::lock_guard<std::mutex> guard(cache.lock);
    const SizedFont* sized = FontForText(cache, font, points);
    if (sized == nullptr) {
        return;
    }
    int width = AdvanceSum(sized->font, points);
    int left = x;
    if ((alignment & kTextAlignCenter) == kTextAlignCenter) {
        left = x - width / 2;
    } else if ((alignment & kTextAlignRight) == kTextAlignRight) {
        left = x - width;
    }
    int baseline = y + sized->cellAscent;
    if ((alignment & kTextAlignBaseline) == kTextAlignBaseline) {
        baseline = y;
    } else if ((alignment & kTextAlignBottom) == kTextAlignBottom) {
        baseline = y - sized->cellHeight + sized->cellAscent;
    }

    SDL_Color colour{static_cast<Uint8>(rgb >> 16), static_cast<Uint8>(rgb >> 8), static_cast<Uint8>(rgb),
                     255};
    SDL_Surface* glyphs = TTF_RenderUTF8_Blended(sized->font, utf8.c_str(), colour);
    if (glyphs == nullptr) {
        return;
    }
    // The rendered strip starts at the leftmost ink when the first glyph reaches left of its origin.
    int firstMinX = 0;
    TTF_GlyphMetrics32(sized->font, points.front(), &firstMinX, nullptr, nullptr, nullptr, nullptr);
    SDL_Rect target{left + std::min(firstMinX, 0), baseline - TTF_FontAscent(sized->font), 0, 0};
    SDL_SetSurfaceBlendMode(glyphs, SDL_BLENDMODE_BLEND);
    SDL_BlitSurface(glyphs, nullptr, surface.pixels, &target);
    SDL_FreeSurface(glyphs);
}

void ReleaseTextFonts() {
    FontCache& cache = TheCache();
    std::lock_guard<std::mutex> guard(cache.lock);
    cache.CloseFonts();
}

}  // namespace platform
