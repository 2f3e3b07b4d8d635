#pragma once
// The courses of a game directory as a player choosing one sees them: each "Map/Club_NN" folder
// with its name and character (the folder's "Course.txt": the name on the first line, a short
// description on the second) and the holes, par and length read from its holes' "Hole.ini".

#include <filesystem>
#include <string>
#include <vector>

namespace lobby {

struct CourseSummary {
    int number = 0;
    std::string name;       // "Course NN" when the folder has no "Course.txt"
    std::string character;  // may be empty
    int holes = 0;          // holes whose "Hole.ini" could be read
    int par = 0;
    int yards = 0;
};

std::vector<CourseSummary> ListCourses(const std::filesystem::path& data);

// One course as "Club_01  Brightlea Park: 18 holes, par 72, 6,391 yards" and its description
// indented on the next line; "no courses in DIR" for an empty list.
std::string FormatCourseList(const std::vector<CourseSummary>& courses, const std::string& dataName);

// The name of course `number`, or empty when it has none of its own.
std::string CourseNameOf(const std::filesystem::path& data, int number);

}  // namespace lobby
