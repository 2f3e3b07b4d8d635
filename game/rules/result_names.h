#pragma once
// The name of a finished hole's result ("Birdie", "Double Par", ...) by par and strokes.

namespace rules {

inline constexpr int kResultNameSize = 20;

// Par 3, 4 or 5 and 1 .. 2 x par strokes; anything else gives "".
const char* ResultName(int par, int strokes);

}  // namespace rules
