#include "updater/form_drawing.h"

#include <algorithm>

namespace updater {

namespace {

constexpr uint32_t kFaceColor = 0xF0F0F0;
constexpr uint32_t kShadowColor = 0xA0A0A0;
constexpr uint32_t kLightColor = 0xFFFFFF;
constexpr uint32_t kBarColor = 0x06B025;

// 0xRRGGBB in a 32-bit surface.
void Fill(platform::DrawSurface& picture, const platform::SurfaceRect& rect, uint32_t rgb) {
    platform::ColorFill(picture, &rect, rgb);
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
        int64_t filled = std::min(bar.position, bar.max) * width / bar.max;
        picture.barFilledPixels = static_cast<int>(filled);
    }
    return picture;
}

std::string CaptionUtf8(const UpdaterState& state) {
    return state.form.caption;
}

void DrawUpgradeForm(platform::DrawSurface& picture, const FormPicture& form, const std::string&) {
    Fill(picture, {0, 0, kFormWidth, kFormHeight}, kFaceColor);
    DrawProgressBar(picture, form.barFilledPixels);
}

}  // namespace updater
