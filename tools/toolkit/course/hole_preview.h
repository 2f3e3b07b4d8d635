#pragma once
// A top view of a built hole for people to look at: the terrain coloured by surface kind and
// shaded by its slopes, trees as dark dots, stakes and signs as white dots, and the tee (white),
// aim point (yellow) and pin (red). North (+z) is up; one pixel per yard.

#include "game/core/fnx_model.h"
#include "tools/toolkit/data_files.h"
#include "tools/toolkit/rgba_image.h"

namespace tools {

RgbaImage DrawHolePreview(const core::FnxModel& model, const shell::HoleSettings& settings);

}  // namespace tools
