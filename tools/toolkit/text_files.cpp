#include "tools/toolkit/text_files.h"

#include <cctype>
#include <utility>
#include <vector>

#include "game/shell/launch/launch_config.h"
#include "tools/toolkit/code_page.h"
#include "tools/toolkit/data_files.h"

namespace tools {
namespace {

// The game's own tables decide how many entries there are and how long each may be (one byte is
// the terminating zero).
using shell::kGameStringCount;
using shell::kQuickChatCount;
constexpr size_t kGameStringMax = shell::kGameStringCapacity - 1;
constexpr size_t kQuickChatMax = shell::kQuickChatCapacity - 1;
// The updater's lines: 0 and 1 name the update server, 2-7 its texts, 8-14 its failure texts.
constexpr int kUpdaterStringCount = 15;
// The data set names no update server (the installer sets the installation's own), so lines 0 and
// 1 may be left out of the source; they are written empty.
constexpr int kUpdaterServerLines = 2;

bool GameStringUnused(int index) {
    return index == 19 || index == 25;
}

// The placeholders the game fills into an entry; an entry without them would lose the name or number.
std::vector<std::string> PlaceholdersOf(int index) {
    if ((index >= 12 && index <= 18) || index == 20 || index == 40) {
        return {"{id}"};
    }
    if (index >= 21 && index <= 23) {
        return {"{ballcount}"};
    }
    if (index == 24) {
        return {"{count}"};
    }
    if (index == 26 || index == 27) {
        return {"{id}", "{ballcount}"};
    }
    return {};
}

using IndexedEntries = std::vector<std::pair<int, std::string>>;

// Reads "NN text" lines in ascending order, converting each text into the code page.
bool ReadIndexedEntries(const SourceFile& source, const std::string& language, int count, size_t maxBytes,
                        IndexedEntries& entries, std::string& error) {
    int previous = -1;
    for (const SourceLine& line : source.lines) {
        int index = 0;
        std::string text;
        if (!SplitIndexedLine(line.text, index, text)) {
            error = SourceError(source, line.number, "expected an index, one blank and the text");
            return false;
        }
        if (index >= count) {
            error = SourceError(source, line.number,
                                "index " + std::to_string(index) + " is beyond the last entry (" +
                                    std::to_string(count - 1) + ")");
            return false;
        }
        if (index <= previous) {
            error = SourceError(source, line.number,
                                "index " + std::to_string(index) + " is not above the one before it");
            return false;
        }
        if (text.empty()) {
            error = SourceError(source, line.number, "entry " + std::to_string(index) + " has no text");
            return false;
        }
        std::string converted;
        std::string problem;
        if (!ConvertForLanguage(text, language, converted, problem)) {
            error = SourceError(source, line.number, problem);
            return false;
        }
        if (converted.size() > maxBytes) {
            error = SourceError(source, line.number,
                                "the text is " + std::to_string(converted.size()) + " bytes long; at most " +
                                    std::to_string(maxBytes) + " fit");
            return false;
        }
        entries.emplace_back(index, converted);
        previous = index;
    }
    return true;
}

bool HasEntry(const IndexedEntries& entries, int index) {
    for (const auto& entry : entries) {
        if (entry.first == index) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool BuildGameStrings(const SourceFile& source, const std::string& language, std::string& out,
                      std::string& error) {
    IndexedEntries entries;
    if (!ReadIndexedEntries(source, language, kGameStringCount, kGameStringMax, entries, error)) {
        return false;
    }
    for (int index = 0; index < kGameStringCount; ++index) {
        if (!GameStringUnused(index) && !HasEntry(entries, index)) {
            error = source.path + ": entry " + std::to_string(index) + " is missing";
            return false;
        }
    }
    for (size_t i = 0; i < entries.size(); ++i) {
        for (const std::string& placeholder : PlaceholdersOf(entries[i].first)) {
            if (entries[i].second.find(placeholder) == std::string::npos) {
                error = SourceError(source, source.lines[i].number,
                                    "entry " + std::to_string(entries[i].first) + " needs " + placeholder);
                return false;
            }
        }
    }
    out = FormatIndexedLines(entries, 4);
    return true;
}

bool BuildQuickChat(const SourceFile& source, const std::string& language, std::string& out,
                    std::string& error) {
    if (source.lines.size() != kQuickChatCount) {
        error =
            source.path + ": needs exactly 8 lines (F1 to F8), has " + std::to_string(source.lines.size());
        return false;
    }
    out.clear();
    for (const SourceLine& line : source.lines) {
        std::string converted;
        std::string problem;
        if (!ConvertForLanguage(line.text, language, converted, problem)) {
            error = SourceError(source, line.number, problem);
            return false;
        }
        if (converted.size() > kQuickChatMax) {
            error = SourceError(
                source, line.number,
                "the line is " + std::to_string(converted.size()) + " bytes long; at most 48 fit");
            return false;
        }
        out += converted + "\n";
    }
    return true;
}

bool BuildUpdaterStrings(const SourceFile& source, const std::string& language, std::string& out,
                         std::string& error) {
    IndexedEntries entries;
    if (!ReadIndexedEntries(source, language, kUpdaterStringCount, 250, entries, error)) {
        return false;
    }
    for (int index = 0; index < kUpdaterStringCount; ++index) {
        if (!HasEntry(entries, index) && index < kUpdaterServerLines) {
            entries.emplace(entries.begin() + index, index, std::string());
        } else if (!HasEntry(entries, index)) {
            error = source.path + ": line " + std::to_string(index) + " is missing";
            return false;
        }
    }
    out = FormatIndexedLines(entries, 2);
    return true;
}

bool BuildWordList(const SourceFile& source, std::vector<uint8_t>& out, std::string& error) {
    std::vector<std::string> words;
    for (const SourceLine& line : source.lines) {
        for (char c : line.text) {
            if (!std::islower(static_cast<unsigned char>(c)) && c != '@') {
                error = SourceError(
                    source, line.number,
                    "a word may hold only small letters a-z and '@' (the filter compares nothing else)");
                return false;
            }
        }
        if (line.text.size() > 200) {
            error = SourceError(source, line.number, "the word is too long");
            return false;
        }
        words.push_back(line.text);
    }
    if (words.empty()) {
        error = source.path + ": the list has no words";
        return false;
    }
    out = EncodeWordList(words);
    return true;
}

}  // namespace tools
