#pragma once
// Everything Ravelin prepares before it starts a client: the settings it fills in from the game
// data, the client's "Start.ini", and the client's own game directory.

#include <filesystem>
#include <string>
#include <vector>

#include "lobby/ravelin_options.h"

namespace lobby {

// Who a client is in the match.
struct Seat {
    std::string name;
    bool observer = false;
    int slot = 0;               // players: 0-3
    bool joinsRunning = false;  // an observer who arrives after the start waits for a snapshot
};

// Fills what the command line left open from the game data: the language of its "Option.ini"
// (ENG when it names none), the first course under Map/ and that course's first hole (course 1,
// hole 1 when there are none). False with error set when the data folder does not exist.
bool ResolveMatchSettings(const std::filesystem::path& data, MatchSettings& match, std::string& error);

// The text of one client's "Start.ini".
std::string BuildStartIni(const MatchSettings& match, const std::vector<std::string>& players,
                          const Seat& seat);

// Makes dir a game directory that shares everything in data through symbolic links, except the
// language folder's "Start.ini", which is written from startIni, and "Option.ini", which is
// rewritten when the match's language differs from the data's. False with error set on failure.
bool PrepareClientDirectory(const std::filesystem::path& data, const std::filesystem::path& dir,
                            const MatchSettings& match, const std::string& startIni, std::string& error);

// The whole content of a file; empty when it cannot be read.
std::string ReadWholeFile(const std::filesystem::path& path);

// The LANGUAGE value of an "Option.ini" text, or empty.
std::string OptionLanguage(const std::string& optionIni);

}  // namespace lobby
