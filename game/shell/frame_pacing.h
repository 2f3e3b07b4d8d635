#pragma once
// When the main loop runs the next frame. A frame that would present nothing new is not run at
// once: the loop waits for window events and lobby packets instead. States that animate (the
// swing gauge, the replay) run about 60 frames a second; the others often enough for their
// cursor animation and timers, which compare clock times and so fire on the first frame after
// they are due; loading states and waiting game messages run at once. Frames are paced in real
// time: a faster game clock (BRIGHTLEA_TIME_SCALE) moves the game on further each frame, it does
// not draw more frames, since every timer and the replay catch up by the clock.

#include <cstdint>

namespace shell {

struct Client;

inline constexpr uint32_t kAnimatedFrameMs = 16;
inline constexpr uint32_t kQuietFrameMs = 30;

// Real milliseconds the loop may still wait before the next frame, sinceLastFrameMs after the last
// one; 0: run it now.
uint32_t FrameWaitMs(const Client& client, uint32_t sinceLastFrameMs);

}  // namespace shell
