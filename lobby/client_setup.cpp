#include "lobby/client_setup.h"

#include "lobby/course_list.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace lobby {

namespace {

bool WriteFile(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    return static_cast<bool>(out);
}

// The numbers NN of the entries named prefix + NN (two digits) in dir, in ascending order.
std::vector<int> NumberedEntries(const fs::path& dir, const std::string& prefix) {
    std::vector<int> numbers;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dir, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.size() == prefix.size() + 2 && name.compare(0, prefix.size(), prefix) == 0 &&
            std::isdigit(static_cast<unsigned char>(name[prefix.size()])) &&
            std::isdigit(static_cast<unsigned char>(name[prefix.size() + 1]))) {
            numbers.push_back(std::stoi(name.substr(prefix.size())));
        }
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

std::string TwoDigits(int n) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d", n);
    return text;
}

std::string OptionIniWithLanguage(const std::string& original, const std::string& language) {
    std::stringstream in(original);
    std::string out = "LANGUAGE " + language + "\n";
    std::string line;
    while (std::getline(in, line)) {
        std::stringstream words(line);
        std::string key;
        words >> key;
        if (key != "LANGUAGE" && !key.empty()) {
            out += line + "\n";
        }
    }
    return out;
}

// Links every entry of from (when it exists) into to, except the one named skip.
bool LinkAllBut(const fs::path& from, const fs::path& to, const std::string& skip, std::string& error) {
    std::error_code ec;
    if (!fs::is_directory(from, ec)) {
        return true;
    }
    for (const auto& entry : fs::directory_iterator(from, ec)) {
        const std::string name = entry.path().filename().string();
        if (name == skip) {
            continue;
        }
        fs::create_symlink(fs::absolute(entry.path()), to / name, ec);
        if (ec) {
            error = "cannot link " + (to / name).string() + ": " + ec.message();
            return false;
        }
    }
    if (ec) {
        error = "cannot read " + from.string() + ": " + ec.message();
        return false;
    }
    return true;
}

}  // namespace

std::string ReadWholeFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string OptionLanguage(const std::string& optionIni) {
    std::stringstream in(optionIni);
    std::string line;
    std::string language;
    while (std::getline(in, line)) {
        std::stringstream words(line);
        std::string key;
        std::string value;
        words >> key >> value;
        if (key == "LANGUAGE") {
            language = value;
        }
    }
    return language;
}

bool ResolveMatchSettings(const fs::path& data, MatchSettings& match, std::string& error) {
    if (!fs::is_directory(data)) {
        error = "no game data at " + data.string();
        return false;
    }
    if (match.language.empty()) {
        match.language = OptionLanguage(ReadWholeFile(data / "Option.ini"));
        if (match.language.empty()) {
            match.language = "ENG";
        }
    }
    if (match.course < 0) {
        // Game data without courses still starts its clients (they find no hole to load).
        const std::vector<int> courses = NumberedEntries(data / "Map", "Club_");
        match.course = courses.empty() ? 1 : courses.front();
    }
    if (match.courseName.empty()) {
        match.courseName = CourseNameOf(data, match.course);
    }
    if (match.courseName.empty()) {
        match.courseName = "Course " + TwoDigits(match.course);
    }
    if (match.firstHole < 0) {
        const std::vector<int> holes =
            NumberedEntries(data / "Map" / ("Club_" + TwoDigits(match.course)), "Hole_");
        match.firstHole = holes.empty() ? 1 : holes.front();
    }
    if (match.lastHole < match.firstHole) {
        match.lastHole = match.firstHole;
    }
    return true;
}

std::string BuildStartIni(const MatchSettings& m, const std::vector<std::string>& players, const Seat& seat) {
    std::ostringstream out;
    auto line = [&out](const std::string& key, const std::string& value) {
        out << key << ' ' << value << "\n";
    };
    auto number = [&line](const std::string& key, int value) { line(key, std::to_string(value)); };
    line("GAMENAME", "\"" + m.gameName + "\"");
    number("CLUBCODE", m.course);
    line("CLUBNAME", "\"" + m.courseName + "\"");
    number("STARTHOLE", m.firstHole);
    number("ENDHOLE", m.lastHole);
    number("GAMELEVEL", m.level);
    number("GAMEMODE", m.gameMode);
    number("TEAMPLAY", m.teamPlay);
    number("OPTNEAR", m.nearOption);
    number("OPTLONGIST", m.longestOption);
    number("OPTGIVE", m.giveOption);
    number("BETTING", m.stake);
    number("GUEST", 0);
    number("FREE", m.freeGame);
    number("GAMECOUNT", 1);
    number("OBSERVER", 1);
    number("OBCHAT", m.observerChat);
    number("MAXPLAYERS", static_cast<int>(players.size()));
    number("MYNO", seat.observer ? 0 : seat.slot);
    for (size_t slot = 0; slot < players.size(); ++slot) {
        const std::string s = std::to_string(slot) + " ";
        line("PLAYERID", s + "\"" + players[slot] + "\"");
        line("PLAYERLEVEL", s + "1");
        line("PLAYERCOLOR", s + std::to_string(slot));
        line("PLAYERTYPE", s + std::to_string(slot * 2 % 8));
        line("PLAYERSEX", s + "0");
        line("PLAYERBALLS", s + std::to_string(m.balls));
    }
    number("MYOBSERVER", seat.observer);
    line("OBSERVERID", "\"" + (seat.observer ? seat.name : std::string()) + "\"");
    number("OBSGAMEJOIN", seat.observer && seat.joinsRunning);
    return out.str();
}

bool PrepareClientDirectory(const fs::path& data, const fs::path& dir, const MatchSettings& match,
                            const std::string& startIni, std::string& error) {
    std::error_code ec;
    fs::remove_all(dir, ec);
    fs::create_directories(dir, ec);
    if (ec) {
        error = "cannot make " + dir.string() + ": " + ec.message();
        return false;
    }
    const std::string dataLanguage = OptionLanguage(ReadWholeFile(data / "Option.ini"));
    const bool ownOptions = dataLanguage != match.language;
    // Real folders down to the language folder; everything else is the shared data.
    const fs::path languageDir = dir / "Info" / match.language;
    fs::create_directories(languageDir, ec);
    if (!LinkAllBut(data, dir, "Info", error) ||
        !LinkAllBut(data / "Info", dir / "Info", match.language, error) ||
        !LinkAllBut(data / "Info" / match.language, languageDir, "Start.ini", error)) {
        return false;
    }
    if (ownOptions) {
        fs::remove(dir / "Option.ini", ec);
        if (!WriteFile(dir / "Option.ini",
                       OptionIniWithLanguage(ReadWholeFile(data / "Option.ini"), match.language))) {
            error = "cannot write " + (dir / "Option.ini").string();
            return false;
        }
    }
    if (!WriteFile(dir / "Info" / match.language / "Start.ini", startIni)) {
        error = "cannot write the Start.ini of " + dir.string();
        return false;
    }
    return true;
}

}  // namespace lobby
