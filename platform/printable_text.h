#pragma once
// Making untrusted bytes (names from an update package, text read from files) safe to print on a
// terminal or in a window: nothing in them can move the cursor, change colours or end a line.

#include <string>
#include <string_view>

namespace platform {

// Every byte outside printable ASCII (0x20-0x7E) becomes \xNN; a backslash becomes \\ so that the
// result reads back unambiguously.
std::string PrintableName(std::string_view bytes);

// Control bytes (below 0x20, and 0x7F) become \xNN; other bytes, including the code-page bytes of
// translated messages, stay as they are.
std::string WithoutControlBytes(std::string_view text);

}  // namespace platform
