#include "game/shell/launch_loader.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "game/shell/game_paths.h"
#include "game/shell/game_strings.h"
#include "game/shell/launch_files.h"
#include "game/shell/word_filter.h"

namespace shell {

namespace {

// Data files are small; anything beyond this is cut off rather than read into memory whole.
constexpr std::streamsize kMaxFileBytes = 16 * 1024 * 1024;

std::optional<std::vector<uint8_t>> ReadFileBytes(const char* path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::vector<uint8_t> bytes;
    char chunk[65536];
    while (in && static_cast<std::streamsize>(bytes.size()) < kMaxFileBytes) {
        in.read(chunk, sizeof(chunk));
        bytes.insert(bytes.end(), chunk, chunk + in.gcount());
    }
    if (static_cast<std::streamsize>(bytes.size()) > kMaxFileBytes) {
        bytes.resize(static_cast<size_t>(kMaxFileBytes));
    }
    return bytes;
}

// The error box text: the game string, or, while the strings are not read yet (or lack it), a plain
// description, so that the box is never empty.
void ReportError(const LaunchConfig& config, const ErrorBox& showError, int index, const GamePath& path,
                 const char* problem) {
    const char* text = config.strings.text[index];
    std::string fallback;
    if (text[0] == '\0') {
        fallback = std::string(path.text) + problem;
        text = fallback.c_str();
    }
    if (showError) {
        showError(text);
    }
}

bool LoadWordList(LaunchConfig& config, const ErrorBox& showError) {
    GamePath path = LanguagePath("Info", config.options.language, "Abuse.fns");
    std::optional<std::vector<uint8_t>> bytes = ReadFileBytes(path.text);
    if (!bytes) {
        ReportError(config, showError, kStringWordListMissing, path, ": the word list is missing.");
        return false;
    }
    switch (ParseWordList(*bytes, config.wordList)) {
        case WordListStatus::kBadMagic:
            ReportError(config, showError, kStringWordListBadMagic, path, ": not a word list.");
            return false;
        case WordListStatus::kCheckMismatch:
            ReportError(config, showError, kStringWordListBadCheck, path, ": the word list is damaged.");
            return true;
        case WordListStatus::kLoaded:
            break;
    }
    return true;
}

}  // namespace

LaunchStatus LoadLaunchConfig(LaunchConfig& config, bool windowed, const ErrorBox& showError) {
    std::optional<std::vector<uint8_t>> options = ReadFileBytes("Option.ini");
    if (!options) {
        return LaunchStatus::kNoMatch;
    }
    ParseOptionFile(*options, config.options);
    const char* language = config.options.language;

    GamePath startPath = LanguagePath("Info", language, "Start.ini");
    std::optional<std::vector<uint8_t>> start = ReadFileBytes(startPath.text);
    if (!start) {
        ReportError(config, showError, kStringStartFileMissing, startPath, ": the match file is missing.");
        return LaunchStatus::kNoMatch;
    }
    ParseStartFile(*start, config.match, config.players);

    GamePath stringsPath = LanguagePath("Image", language, "GameString.ini");
    std::optional<std::vector<uint8_t>> strings = ReadFileBytes(stringsPath.text);
    if (!strings) {
        ReportError(config, showError, kStringGameStringsMissing, stringsPath,
                    ": the game texts are missing.");
        return LaunchStatus::kIncomplete;
    }
    ParseGameStrings(*strings, config.strings);

    GamePath chatPath = LanguagePath("Info", language, "ChatMessage.ini");
    std::optional<std::vector<uint8_t>> chat = ReadFileBytes(chatPath.text);
    if (!chat) {
        ReportError(config, showError, kStringQuickChatMissing, chatPath,
                    ": the quick-chat texts are missing.");
        return LaunchStatus::kIncomplete;
    }
    ParseQuickChat(*chat, config.quickChat);

    if (!LoadWordList(config, showError)) {
        return LaunchStatus::kIncomplete;
    }
    if (config.match.teamPlay != 0) {
        config.teamLastShooter[0] = 1;
        config.teamLastShooter[1] = 3;
    }
    if (!windowed) {
        std::error_code ignored;
        std::filesystem::remove(startPath.text, ignored);
    }
    return LaunchStatus::kComplete;
}

bool ReadLaunchConfiguration(LaunchConfig& config, bool windowed, const ErrorBox& showError) {
    if (LoadLaunchConfig(config, windowed, showError) != LaunchStatus::kNoMatch) {
        return true;
    }
    std::fprintf(stderr, "Brightlea: no match to play: %s could not be read.\n",
                 config.options.language[0] == '\0'
                     ? "Option.ini"
                     : LanguagePath("Info", config.options.language, "Start.ini").text);
    return false;
}

int LoadSwingTiming(LaunchConfig& config) {
    GamePath path = LanguagePath("Info", config.options.language, "GameInfo.ini");
    std::optional<std::vector<uint8_t>> bytes = ReadFileBytes(path.text);
    if (!bytes) {
        return kLoadFailed;
    }
    ParseSwingTiming(*bytes, config.swingTiming);
    return 0;
}

int LoadHoleSettings(LaunchConfig& config, int hole) {
    GamePath path = HoleFilePath(config.match.courseCode, hole, "Hole.ini");
    std::optional<std::vector<uint8_t>> bytes = ReadFileBytes(path.text);
    if (!bytes || !ParseHoleSettings(*bytes, config.hole)) {
        return 1;
    }
    if (hole >= 0 && hole < kParTableSize) {
        config.parByHole[hole] = config.hole.par;
    }
    return 0;
}

int CountSkyPictures() {
    std::error_code error;
    std::filesystem::directory_iterator it(kFolderPrefixes[kFolderSky], error);
    int count = 0;
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        std::string name = it->path().filename().string();
        for (char& c : name) {
            c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
        }
        if (name.size() >= 7 && name.starts_with("sky") && name.ends_with(".fni")) {
            ++count;
        }
    }
    return count;
}

}  // namespace shell
