#include "updater/update_journal.h"

#include "platform/zip_entry_name.h"
#include "updater/line_rules.h"

namespace updater {

namespace {

constexpr std::string_view kFirstLine = "Brightlea update journal";

// A relative path as the journal writes it: no empty, "." or ".." parts, no control characters.
bool IsPlainPath(std::string_view path) {
    platform::EntryPath checked = platform::CheckEntryName(path);
    return checked.kind == platform::EntryKind::File && checked.path == path;
}

// Splits "word rest" at the first blank.
std::pair<std::string_view, std::string_view> FirstWord(std::string_view line) {
    size_t blank = line.find(' ');
    if (blank == std::string_view::npos) {
        return {line, {}};
    }
    return {line.substr(0, blank), line.substr(blank + 1)};
}

bool ParseFile(std::string_view rest, JournalFile& file) {
    auto [replaces, afterReplaces] = FirstWord(rest);
    auto [staged, target] = FirstWord(afterReplaces);
    if ((replaces != "0" && replaces != "1") || !IsPlainPath(staged) ||
        staged.find('/') != std::string_view::npos || !IsPlainPath(target)) {
        return false;
    }
    file = JournalFile{std::string(staged), std::string(target), replaces == "1"};
    return true;
}

}  // namespace

std::string JournalText(const UpdateJournal& journal) {
    std::string text(kFirstLine);
    text += "\nstate ";
    text += journal.committed ? "committed" : "applying";
    text += "\nstaging " + journal.staging + "\n";
    for (const std::string& folder : journal.newFolders) {
        text += "folder " + folder + "\n";
    }
    for (const JournalFile& file : journal.files) {
        text += std::string("file ") + (file.replaces ? "1 " : "0 ") + file.staged + " " + file.target + "\n";
    }
    return text + "end\n";
}

std::optional<UpdateJournal> ParseJournal(std::string_view text) {
    std::vector<std::string_view> lines = SplitLines(text);
    if (lines.size() < 4 || lines[0] != kFirstLine || lines.back() != "end") {
        return std::nullopt;
    }
    UpdateJournal journal;
    if (lines[1] == "state committed") {
        journal.committed = true;
    } else if (lines[1] != "state applying") {
        return std::nullopt;
    }
    auto [stagingWord, staging] = FirstWord(lines[2]);
    if (stagingWord != "staging" || !IsPlainPath(staging)) {
        return std::nullopt;
    }
    journal.staging = staging;
    for (size_t i = 3; i + 1 < lines.size(); ++i) {
        auto [word, rest] = FirstWord(lines[i]);
        if (word == "folder" && IsPlainPath(rest)) {
            journal.newFolders.emplace_back(rest);
        } else if (JournalFile file; word == "file" && ParseFile(rest, file)) {
            journal.files.push_back(std::move(file));
        } else {
            return std::nullopt;
        }
    }
    return journal;
}

std::string BackupName(size_t index) {
    return "old-" + std::to_string(index);
}

}  // namespace updater
