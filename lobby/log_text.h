#pragma once
// Text for Ravelin's log, which people read on a terminal: names, reasons and anything else a peer
// chose must not move the cursor, change colours or clear the screen there.

#include <string>
#include <string_view>

namespace lobby {

// The text with printable ASCII and well-formed UTF-8 characters kept; control characters (C0,
// DEL, C1), stray bytes and broken sequences are written as \xNN.
std::string LogSafe(std::string_view text);

}  // namespace lobby
