#pragma once
// Builds the localised text files from their UTF-8 sources. Each returns false with a message that
// names the source file and line when the source is malformed.

#include <string>

#include "tools/toolkit/source_lines.h"

namespace tools {

// "GameString.ini": every entry the game uses, ascending, "0007 text", with its placeholders.
bool BuildGameStrings(const SourceFile& source, const std::string& language, std::string& out,
                      std::string& error);
// "ChatMessage.ini": exactly 8 lines of at most 48 bytes each.
bool BuildQuickChat(const SourceFile& source, const std::string& language, std::string& out,
                    std::string& error);
// "ATString.ini": the updater's lines 00-07, "05 text".
bool BuildUpdaterStrings(const SourceFile& source, const std::string& language, std::string& out,
                         std::string& error);
// "Abuse.fns": one word per line, letters (and '@') only, which is all the chat filter compares.
bool BuildWordList(const SourceFile& source, std::vector<uint8_t>& out, std::string& error);

}  // namespace tools
