#pragma once
// A picture of a finished sound for people to look at: one band per channel with the waveform's
// highest and lowest sample per column, grid lines every tenth of a second (every second on long sounds).

#include "tools/toolkit/rgba_image.h"
#include "tools/toolkit/sound/finish.h"

namespace tools::sound {

RgbaImage DrawWaveform(const FinishedSound& sound, int width, int bandHeight);

}  // namespace tools::sound
