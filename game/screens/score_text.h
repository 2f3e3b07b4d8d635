#pragma once
// Score and balance texts of the HUD, the banner and the scoreboard, and cutting a text to a width.

#include <cstddef>
#include <functional>
#include <string>

#include "platform/code_page.h"

namespace screens {

// A score against par: "E" for 0, "+3" above, "-2" below.
void FormatToPar(char* out, size_t size, int toPar);
// A ball balance: "+120" above 0, "0", "-5" below (no "E").
void FormatBalance(char* out, size_t size, int balance);

// Bytes of one character starting with byte lead in the code page (two for a lead byte of a Korean
// or Japanese double-byte character, else one).
int CharacterBytes(unsigned char lead, platform::CodePage codePage);

// The longest start of text, cut between whole characters, whose measured width is at most
// maxWidth (all of it when it fits).
std::string FitToWidth(const std::string& text, platform::CodePage codePage, int maxWidth,
                       const std::function<int(const std::string&)>& measure);

}  // namespace screens
