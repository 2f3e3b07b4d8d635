#include "lobby/course_list.h"

#include <cstdio>
#include <sstream>

#include "game/shell/launch/launch_files.h"
#include "lobby/client_setup.h"

namespace fs = std::filesystem;

namespace lobby {

namespace {

std::string TwoDigitName(const char* prefix, int n) {
    char text[32];
    std::snprintf(text, sizeof text, "%s%02d", prefix, n);
    return text;
}

// The numbers NN of the folders prefix + NN in dir, ascending.
std::vector<int> NumberedFolders(const fs::path& dir, const char* prefix) {
    std::vector<int> numbers;
    for (int n = 0; n <= 99; ++n) {
        std::error_code ec;
        if (fs::is_directory(dir / TwoDigitName(prefix, n), ec)) {
            numbers.push_back(n);
        }
    }
    return numbers;
}

// A line without its line end and surrounding blanks.
std::string Trimmed(const std::string& line) {
    const size_t first = line.find_first_not_of(" \t\r");
    if (first == std::string::npos) {
        return "";
    }
    return line.substr(first, line.find_last_not_of(" \t\r") - first + 1);
}

std::string WithThousands(int n) {
    std::string digits = std::to_string(n);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) {
        digits.insert(static_cast<size_t>(at), ",");
    }
    return digits;
}

}  // namespace

std::string CourseNameOf(const fs::path& data, int number) {
    std::istringstream text(ReadWholeFile(data / "Map" / TwoDigitName("Club_", number) / "Course.txt"));
    std::string line;
    std::getline(text, line);
    return Trimmed(line);
}

std::vector<CourseSummary> ListCourses(const fs::path& data) {
    std::vector<CourseSummary> courses;
    for (int number : NumberedFolders(data / "Map", "Club_")) {
        const fs::path folder = data / "Map" / TwoDigitName("Club_", number);
        CourseSummary course;
        course.number = number;
        std::istringstream text(ReadWholeFile(folder / "Course.txt"));
        std::string line;
        if (std::getline(text, line)) {
            course.name = Trimmed(line);
        }
        if (std::getline(text, line)) {
            course.character = Trimmed(line);
        }
        if (course.name.empty()) {
            course.name = TwoDigitName("Course ", number);
        }
        for (int hole : NumberedFolders(folder, "Hole_")) {
            const std::string ini = ReadWholeFile(folder / TwoDigitName("Hole_", hole) / "Hole.ini");
            shell::HoleSettings settings;
            const auto* bytes = reinterpret_cast<const uint8_t*>(ini.data());
            if (!ini.empty() && shell::ParseHoleSettings({bytes, ini.size()}, settings)) {
                ++course.holes;
                course.par += settings.par;
                course.yards += settings.length;
            }
        }
        courses.push_back(course);
    }
    return courses;
}

std::string FormatCourseList(const std::vector<CourseSummary>& courses, const std::string& dataName) {
    if (courses.empty()) {
        return "no courses in " + dataName + "\n";
    }
    std::string out;
    for (const CourseSummary& c : courses) {
        out += TwoDigitName("Club_", c.number) + "  " + c.name + ": " + std::to_string(c.holes) +
               (c.holes == 1 ? " hole" : " holes") + ", par " + std::to_string(c.par) + ", " +
               WithThousands(c.yards) + " yards\n";
        if (!c.character.empty()) {
            out += "          " + c.character + "\n";
        }
    }
    return out;
}

}  // namespace lobby
