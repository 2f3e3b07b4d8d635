#include "platform/font_lookup.h"

#include <fontconfig/fontconfig.h>

#include <cstdlib>
#include <mutex>

namespace platform {

namespace {

bool SameFaceName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z') {
            x = static_cast<unsigned char>(x + 32);
        }
        if (y >= 'A' && y <= 'Z') {
            y = static_cast<unsigned char>(y + 32);
        }
        if (x != y) {
            return false;
        }
    }
    return true;
}

struct FaceStandIn {
    const char* face;  // Windows face name in its code page's bytes
    const char* family;
};

constexpr FaceStandIn kStandIns[] = {
    {"Arial", "Liberation Sans"},
    {"Courier New", "Liberation Mono"},
    {"MS Gothic", "IPAGothic"},
    {"\xB1\xBC\xB8\xB2\xC3\xBC", "NanumGothicCoding"},  // the fixed-pitch Gulim face
    {"\xB1\xBC\xB8\xB2", "NanumGothic"},                // Gulim
    {"GulimChe", "NanumGothicCoding"},
    {"Gulim", "NanumGothic"},
};

}  // namespace

const char* StandInFamily(std::string_view face) {
    for (const FaceStandIn& standIn : kStandIns) {
        if (SameFaceName(face, standIn.face)) {
            return standIn.family;
        }
    }
    return nullptr;
}

const char* CodePageFamily(CodePage codePage) {
    switch (codePage) {
        case CodePage::Korean949:
            return "NanumGothic";
        case CodePage::Japanese932:
            return "IPAGothic";
        case CodePage::Western1252:
            break;
    }
    return "Liberation Sans";
}

FontFile FindFontFile(const std::string& family, bool bold) {
    static std::mutex lock;
    std::lock_guard<std::mutex> guard(lock);
    FontFile found;
    static const bool ready = [] {
        if (!FcInit()) {
            return false;
        }
        // Fontconfig keeps its configuration until told to let go.
        std::atexit(FcFini);
        return true;
    }();
    if (!ready) {
        return found;
    }
    FcPattern* pattern = FcPatternCreate();
    if (pattern == nullptr) {
        return found;
    }
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    if (match != nullptr) {
        FcChar8* file = nullptr;
        if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file != nullptr) {
            found.path = reinterpret_cast<const char*>(file);
        }
        int index = 0;
        if (FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch) {
            found.index = index;
        }
        int weight = FC_WEIGHT_REGULAR;
        if (FcPatternGetInteger(match, FC_WEIGHT, 0, &weight) == FcResultMatch) {
            found.hasBoldFace = weight >= FC_WEIGHT_DEMIBOLD;
        }
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    return found;
}

}  // namespace platform
