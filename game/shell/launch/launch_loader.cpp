#include "game/shell/launch/launch_loader.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "game/core/game_paths.h"
#include "game/present/text.h"
#include "game/shell/launch/game_strings.h"
#include "game/shell/launch/launch_files.h"
#include "game/shell/launch/word_filter.h"
#include "platform/code_page.h"
#include "platform/message_box.h"

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
void ReportError(const LaunchConfig& config, const ErrorBox& showError, int index, const core::GamePath& path,
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

// A file of the language folder and how its absence is reported.
struct LocalisedFile {
    const char* base;
    const char* name;
    int missingString;
    const char* missingText;
};

constexpr LocalisedFile kStartFile{"Info", "Start.ini", kStringStartFileMissing,
                                   ": the match file is missing."};
constexpr LocalisedFile kGameStringFile{"Image", "GameString.ini", kStringGameStringsMissing,
                                        ": the game texts are missing."};
constexpr LocalisedFile kQuickChatFile{"Info", "ChatMessage.ini", kStringQuickChatMissing,
                                       ": the quick-chat texts are missing."};
constexpr LocalisedFile kWordListFile{"Info", "Abuse.fns", kStringWordListMissing,
                                      ": the word list is missing."};

core::GamePath PathOf(const LaunchConfig& config, const LocalisedFile& file) {
    return core::LanguagePath(file.base, config.options.language, file.name);
}

std::optional<std::vector<uint8_t>> ReadReported(const LaunchConfig& config, const ErrorBox& showError,
                                                 const LocalisedFile& file) {
    core::GamePath path = PathOf(config, file);
    std::optional<std::vector<uint8_t>> bytes = ReadFileBytes(path.text);
    if (!bytes) {
        ReportError(config, showError, file.missingString, path, file.missingText);
    }
    return bytes;
}

bool LoadWordList(LaunchConfig& config, const ErrorBox& showError) {
    std::optional<std::vector<uint8_t>> bytes = ReadReported(config, showError, kWordListFile);
    if (!bytes) {
        return false;
    }
    switch (ParseWordList(*bytes, config.wordList)) {
        case WordListStatus::kBadMagic:
            ReportError(config, showError, kStringWordListBadMagic, PathOf(config, kWordListFile),
                        ": not a word list.");
            return false;
        case WordListStatus::kCheckMismatch:
            ReportError(config, showError, kStringWordListBadCheck, PathOf(config, kWordListFile),
                        ": the word list is damaged.");
            return true;
        case WordListStatus::kLoaded:
            break;
    }
    return true;
}

}  // namespace

ErrorBox PlayerErrorBox(const LaunchConfig& config) {
    return [&config](const char* text) {
        platform::CodePage codePage = present::TextCodePageForLanguage(config.options.language);
        platform::ShowErrorBox("Error", platform::CodePageToUtf8(text, codePage).c_str());
    };
}

LaunchStatus LoadLaunchConfig(LaunchConfig& config, bool windowed, const ErrorBox& showError) {
    std::optional<std::vector<uint8_t>> options = ReadFileBytes("Option.ini");
    if (!options) {
        return LaunchStatus::kNoOptionFile;
    }
    ParseOptionFile(*options, config.options);

    std::optional<std::vector<uint8_t>> start = ReadReported(config, showError, kStartFile);
    if (!start) {
        return LaunchStatus::kNoMatchFile;
    }
    ParseStartFile(*start, config.match, config.players);

    std::optional<std::vector<uint8_t>> strings = ReadReported(config, showError, kGameStringFile);
    if (!strings) {
        return LaunchStatus::kIncomplete;
    }
    ParseGameStrings(*strings, config.strings);

    std::optional<std::vector<uint8_t>> chat = ReadReported(config, showError, kQuickChatFile);
    if (!chat) {
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
        std::filesystem::remove(PathOf(config, kStartFile).text, ignored);
    }
    return LaunchStatus::kComplete;
}

bool ReadLaunchConfiguration(LaunchConfig& config, bool windowed, const ErrorBox& showError) {
    switch (LoadLaunchConfig(config, windowed, showError)) {
        case LaunchStatus::kNoOptionFile:
            std::fprintf(stderr, "Brightlea: no match to play: Option.ini could not be read.\n");
            return false;
        case LaunchStatus::kNoMatchFile:
            std::fprintf(stderr, "Brightlea: no match to play: %s could not be read.\n",
                         PathOf(config, kStartFile).text);
            return false;
        case LaunchStatus::kComplete:
        case LaunchStatus::kIncomplete:
            break;
    }
    return true;
}

int LoadSwingTiming(LaunchConfig& config) {
    core::GamePath path = core::LanguagePath("Info", config.options.language, "GameInfo.ini");
    std::optional<std::vector<uint8_t>> bytes = ReadFileBytes(path.text);
    if (!bytes) {
        return kLoadFailed;
    }
    ParseSwingTiming(*bytes, config.swingTiming);
    return 0;
}

int LoadHoleSettings(LaunchConfig& config, int hole) {
    core::GamePath path = core::HoleFilePath(config.match.courseCode, hole, "Hole.ini");
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
    std::filesystem::directory_iterator it(core::kFolderPrefixes[core::kFolderSky], error);
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
