#include "lobby/course_list.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

namespace fs = std::filesystem;

// A hole file as the course builder writes it: "FNH", the name in 17 bytes, the length, the tee,
// aim and pin (six floats, all 0 here), 8 spare bytes, the par and 2 spare bytes.
std::string HoleIni(uint16_t length, uint8_t par) {
    std::string bytes("FNH\0", 4);
    bytes += std::string("Hole", 4) + std::string(13, '\0');
    bytes += static_cast<char>(length & 0xFF);
    bytes += static_cast<char>(length >> 8);
    bytes += std::string(24 + 8, '\0');
    bytes += static_cast<char>(par);
    bytes += std::string(2, '\0');
    return bytes;
}

void Write(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

TEST(CourseList, NamesHolesParAndLengthOfEveryCourse) {
    const fs::path data = fs::path(testing::TempDir()) / "course_list";
    fs::remove_all(data);
    Write(data / "Map/Club_01/Course.txt", "Brightlea Park\r\nParkland with ponds.\n");
    Write(data / "Map/Club_01/Hole_01/Hole.ini", HoleIni(412, 4));
    Write(data / "Map/Club_01/Hole_02/Hole.ini", HoleIni(1530, 5));
    Write(data / "Map/Club_01/Hole_03/Hole.ini", "FNH");  // cut short: not counted
    Write(data / "Map/Club_03/Hole_01/Hole.ini", HoleIni(160, 3));
    Write(data / "Map/Club_3/Hole_01/Hole.ini", HoleIni(160, 3));  // not a course folder

    const std::vector<lobby::CourseSummary> courses = lobby::ListCourses(data);
    ASSERT_EQ(courses.size(), 2u);
    EXPECT_EQ(courses[0].name, "Brightlea Park");
    EXPECT_EQ(courses[0].character, "Parkland with ponds.");
    EXPECT_EQ(courses[0].holes, 2);
    EXPECT_EQ(courses[0].par, 9);
    EXPECT_EQ(courses[1].name, "Course 03");
    EXPECT_EQ(lobby::FormatCourseList(courses, "x"),
              "Club_01  Brightlea Park: 2 holes, par 9, 1,942 yards\n"
              "          Parkland with ponds.\n"
              "Club_03  Course 03: 1 hole, par 3, 160 yards\n");
    EXPECT_EQ(lobby::CourseNameOf(data, 1), "Brightlea Park");
    EXPECT_EQ(lobby::CourseNameOf(data, 3), "");
    EXPECT_EQ(lobby::FormatCourseList({}, "DIR"), "no courses in DIR\n");
    fs::remove_all(data);
}

}  // namespace
