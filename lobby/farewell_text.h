#pragma once
// What a joining Ravelin tells its client when the link to the host ends during the match, in the
// client's language and code page, before the client's lobby closes: a system line with the
// reason, then the lobby's close of the match, so that the player reads why his game ends.

#include <cstdint>
#include <string>
#include <vector>

namespace lobby {

// The system line for a link that ended with reason (as FrameLink tells it), in the code page of
// language (KOR, JPN, else English).
std::string LinkEndedText(const std::string& language, const std::string& reason);

// The packets to write to the client: the system line (82) and the close of the match (97).
std::vector<std::vector<uint8_t>> LinkEndedPackets(const std::string& language, const std::string& reason);

}  // namespace lobby
