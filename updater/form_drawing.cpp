#include "updater/form_drawing.h"

#include <algorithm>

#include "platform/code_page.h"

namespace updater {

namespace {

constexpr uint32_t kFaceColor = 0xF0F0F0;
constexpr uint32_t kShadowColor = 0xA0A0A0;
constexpr uint32_t kLightColor = 0xFFFFFF;
constexpr uint32_t kBarColor = 0x06B025;
constexpr uint32_t kTextColor = 0x000000;

// Labels are 321 pixels wide from the left edge, text centred.
constexpr int kLabelCentre = 321 / 2;
constexpr int kMessageTop = 16;
constexpr int kProgressTop = 32;

void Fill(platform::DrawSurface& picture, const platform::SurfaceRect& rect, uint32_t rgb) {
    platform::ColorFill(picture, &rect, rgb);  // the picture is 32-bit: 0xRRGGBB is its pixel value
}

void DrawProgressBar(platform::DrawSurface& picture, int filledPixels) {
    const platform::SurfaceRect& inside = kProgressInside;
    Fill(picture, {inside.left - 1, inside.top - 1, inside.right + 1, inside.bottom + 1}, kShadowColor);
    Fill(picture, {inside.left, inside.top, inside.right + 1, inside.bottom + 1}, kLightColor);
    Fill(picture, inside, kLightColor);
    if (filledPixels > 0) {
        Fill(picture, {inside.left, inside.top, inside.left + filledPixels, inside.bottom}, kBarColor);
    }
}

}  // namespace

FormPicture PictureOf(const TFmUpgrade& form) {
    FormPicture picture;
    picture.caption = form.caption;
    picture.lblMsg = form.lblMsg;
    picture.lblProgress = form.lblProgress;
    const ProgressBar& bar = form.ProgressBar1;
    int width = kProgressInside.right - kProgressInside.left;
    if (bar.max > 0 && bar.position > 0) {
        picture.barFilledPixels = static_cast<int>(std::min(bar.position, bar.max) * width / bar.max);
    }
    return picture;
}

platform::CodePage FormCodePage(const std::string& language) {
    if (language == "JPN") {
        return platform::CodePage::Japanese932;
    }
    if (language == "ENG") {
        return platform::CodePage::Western1252;
    }
    return platform::CodePage::Korean949;
}

platform::TextFontSpec FormFont(const std::string& language) {
    platform::TextFontSpec font;
    font.face = language == "JPN" ? "MS UI Gothic" : language == "ENG" ? "MS Sans Serif" : "Gulim";
    font.height = -12;  // 9 points at 96 dots per inch
    font.codePage = FormCodePage(language);
    return font;
}

std::string CaptionUtf8(const TFmUpgrade& form, const std::string& language) {
    return platform::CodePageToUtf8(form.caption, FormCodePage(language));
}

void DrawUpgradeForm(platform::DrawSurface& picture, const FormPicture& form, const std::string& language) {
    Fill(picture, {0, 0, kFormWidth, kFormHeight}, kFaceColor);
    platform::TextFontSpec font = FormFont(language);
    platform::DrawTextOut(picture, font, kLabelCentre, kMessageTop, kTextColor, platform::kTextAlignCenter,
                          form.lblMsg);
    platform::DrawTextOut(picture, font, kLabelCentre, kProgressTop, kTextColor, platform::kTextAlignCenter,
                          form.lblProgress);
    DrawProgressBar(picture, form.barFilledPixels);
}

}  // namespace updater
