#pragma once
// The picture of the updater's window: two centred labels and a progress bar on the window's
// face colour.

#include <string>

#include "platform/draw_surface.h"
#include "platform/text_out.h"
#include "updater/update_steps.h"

namespace updater {

inline constexpr int kFormWidth = 324;
inline constexpr int kFormHeight = 69;

// Everything that decides how the window looks; the window is redrawn when it changes.
struct FormPicture {
    std::string caption;
    std::string lblMsg;
    std::string lblProgress;
    int barFilledPixels = 0;
    bool operator==(const FormPicture&) const = default;
};

// Inside of the progress bar (305 x 13 at 8, 48), between its borders.
inline constexpr platform::SurfaceRect kProgressInside{9, 49, 312, 60};

FormPicture PictureOf(const TFmUpgrade& form);

// The code page of the installation's texts: Japanese and English have their own, every other
// language is the Korean installation.
platform::CodePage FormCodePage(const std::string& language);

// The window's font: "MS UI Gothic" for JPN, "MS Sans Serif" for ENG, the window's design face
// (Gulim) otherwise.
platform::TextFontSpec FormFont(const std::string& language);

// The caption, in UTF-8 for the window system.
std::string CaptionUtf8(const TFmUpgrade& form, const std::string& language);

void DrawUpgradeForm(platform::DrawSurface& picture, const FormPicture& form, const std::string& language);

}  // namespace updater
