// The game's modules are used in one direction only: a file may include headers of its own module
// and of the modules below it, never of one above. The build enforces most of this by linking each
// module only to the ones below; this check also catches header-only uses, which link anyway.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Lowest first; the same list the build uses to link the module libraries.
std::vector<std::string> ModuleOrder() {
    std::vector<std::string> order;
    std::stringstream list(BRIGHTLEA_GAME_MODULES);
    for (std::string name; std::getline(list, name, ',');) {
        order.push_back(name);
    }
    return order;
}

int Rank(const std::vector<std::string>& order, const std::string& module) {
    const auto it = std::find(order.begin(), order.end(), module);
    return it == order.end() ? -1 : static_cast<int>(it - order.begin());
}

// The quoted path of an include line ("#include \"a/b.h\"" -> a/b.h), or empty for any other
// line. A plain scan rather than std::regex, whose inlined code trips GCC's uninitialised-use
// warning in the sanitizer build.
std::string QuotedInclude(const std::string& line) {
    size_t at = line.find_first_not_of(" \t");
    if (at == std::string::npos || line[at] != '#') {
        return {};
    }
    at = line.find_first_not_of(" \t", at + 1);
    const std::string directive = "include";
    if (at == std::string::npos || line.compare(at, directive.size(), directive) != 0) {
        return {};
    }
    at = line.find_first_not_of(" \t", at + directive.size());
    if (at == std::string::npos || line[at] != '"') {
        return {};
    }
    const size_t end = line.find('"', at + 1);
    return end == std::string::npos ? std::string() : line.substr(at + 1, end - at - 1);
}

// The module named by an include of a game header ("game/<module>/..."), or empty for any other
// line.
std::string IncludedGameModule(const std::string& line) {
    const std::string path = QuotedInclude(line);
    const std::string prefix = "game/";
    if (path.compare(0, prefix.size(), prefix) != 0) {
        return {};
    }
    size_t nameEnd = prefix.size();
    while (nameEnd < path.size() &&
           ((path[nameEnd] >= 'a' && path[nameEnd] <= 'z') || path[nameEnd] == '_')) {
        ++nameEnd;
    }
    if (nameEnd == prefix.size() || nameEnd >= path.size() || path[nameEnd] != '/') {
        return {};
    }
    return path.substr(prefix.size(), nameEnd - prefix.size());
}

// The includes of game headers in text that reach above the module of rank `rank` (-1: platform,
// which may include no game header at all). Each entry is the included path.
std::vector<std::string> UpwardIncludes(const std::string& text, int rank,
                                        const std::vector<std::string>& order) {
    std::vector<std::string> found;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        const std::string module = IncludedGameModule(line);
        if (!module.empty()) {
            const int used = Rank(order, module);
            if (used < 0 || used > rank) {
                found.push_back(line);
            }
        }
    }
    return found;
}

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Every C++ file under root/folder checked against the rank; the failures as "file: line".
std::vector<std::string> CheckFolder(const fs::path& root, const fs::path& folder, int rank,
                                     const std::vector<std::string>& order) {
    std::vector<std::string> failures;
    if (!fs::is_directory(root / folder)) {
        return failures;
    }
    for (const auto& entry : fs::recursive_directory_iterator(root / folder)) {
        const auto ext = entry.path().extension();
        if (!entry.is_regular_file() || (ext != ".cpp" && ext != ".h")) {
            continue;
        }
        for (const auto& line : UpwardIncludes(ReadAll(entry.path()), rank, order)) {
            failures.push_back(fs::relative(entry.path(), root).string() + ": " + line);
        }
    }
    return failures;
}

// The software 3D device keeps its stages behind platform/device3d.h: outside its folder and its
// tests, none of its own headers may be included. The include lines of text that reach behind that
// wall.
std::vector<std::string> DeviceInternalIncludes(const std::string& text) {
    const std::string folder = "platform/device3d/";
    std::vector<std::string> found;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        const std::string path = QuotedInclude(line);
        if (path.compare(0, folder.size(), folder) == 0) {
            found.push_back(line);
        }
    }
    return found;
}

// Every C++ file of the source tree outside the device and its tests checked against the device's
// wall (build trees, which hold a CMakeCache.txt, and hidden folders are passed over).
std::vector<std::string> CheckDeviceWall(const fs::path& root) {
    const fs::path device = root / "platform" / "device3d";
    const fs::path deviceTests = root / "tests" / "platform" / "device3d";
    std::vector<std::string> failures;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
        const fs::path& path = it->path();
        if (it->is_directory()) {
            if (path == device || path == deviceTests || path.filename().string().starts_with(".") ||
                fs::exists(path / "CMakeCache.txt")) {
                it.disable_recursion_pending();
            }
            continue;
        }
        const auto ext = path.extension();
        if (!it->is_regular_file() || (ext != ".cpp" && ext != ".h")) {
            continue;
        }
        for (const auto& line : DeviceInternalIncludes(ReadAll(path))) {
            failures.push_back(fs::relative(path, root).string() + ": " + line);
        }
    }
    return failures;
}

// game/shell/ is grouped by role, lowest first: the launch files and loaders, the lobby link and
// its packets, chat, what the client shows and plays (HUD screens, sounds, the hole's scene), the
// match flow, the steps the frame loop dispatches, and the frame loop itself (the files directly
// in game/shell/). A file may include headers of its own group and of the groups below it. The
// client's record (client.h) and the records it gathers are shared: every file may include them,
// and they may include the record headers of any group.
const std::vector<std::string> kShellGroups = {"launch", "lobby", "chat", "view", "match", "steps", ""};

bool IsShellRecord(const std::string& path) {
    return path == "client.h" || path == "game_state.h" || path == "match/match_extras.h" ||
           path == "match/turn_records.h";
}

// The group of a path inside game/shell/: its first folder, or "" for the frame loop's files.
std::string ShellGroup(const std::string& path) {
    const size_t slash = path.find('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// The include lines of the shell file at `path` (inside game/shell/) that reach a group above its
// own, or a folder that is no group.
std::vector<std::string> ShellUpwardIncludes(const std::string& path, const std::string& text) {
    const std::string prefix = "game/shell/";
    std::vector<std::string> found;
    const int rank = Rank(kShellGroups, ShellGroup(path));
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        const std::string included = QuotedInclude(line);
        if (included.compare(0, prefix.size(), prefix) != 0) {
            continue;
        }
        const std::string target = included.substr(prefix.size());
        if (IsShellRecord(path) || IsShellRecord(target)) {
            continue;
        }
        const int used = Rank(kShellGroups, ShellGroup(target));
        if (rank < 0 || used < 0 || used > rank) {
            found.push_back(line);
        }
    }
    return found;
}

TEST(ModuleLayers, TheCheckFindsUpwardAndUnknownIncludes) {
    const std::vector<std::string> order = {"core", "course", "physics"};
    const std::string text =
        "#include \"game/core/geometry.h\"\n"
        "#include \"game/course/camera.h\"\n"
        "  # include \"game/physics/launch.h\"\n"
        "#include \"game/elsewhere/thing.h\"\n"
        "#include \"platform/clock.h\"\n"
        "// #include \"game/physics/commented.h\" is not an include\n";
    EXPECT_EQ(UpwardIncludes(text, 2, order).size(), 1u);  // only the unknown module
    const auto fromCourse = UpwardIncludes(text, 1, order);
    ASSERT_EQ(fromCourse.size(), 2u);
    EXPECT_NE(fromCourse[0].find("physics/launch.h"), std::string::npos);
    EXPECT_EQ(UpwardIncludes(text, -1, order).size(), 4u);  // platform may use no game module
}

TEST(ModuleLayers, NoModuleIncludesOneAboveIt) {
    const fs::path root = BRIGHTLEA_SOURCE_DIR;
    const auto order = ModuleOrder();
    ASSERT_GE(order.size(), 2u);
    std::vector<std::string> failures = CheckFolder(root, "platform", -1, order);
    for (int rank = 0; rank < static_cast<int>(order.size()); ++rank) {
        for (const fs::path& folder : {fs::path("game") / order[rank], fs::path("tests") / order[rank]}) {
            const auto found = CheckFolder(root, folder, rank, order);
            failures.insert(failures.end(), found.begin(), found.end());
        }
    }
    std::string report;
    for (const auto& failure : failures) {
        report += failure + "\n";
    }
    EXPECT_TRUE(failures.empty()) << report;
}

TEST(ModuleLayers, EveryGameFolderIsAModule) {
    const fs::path root = BRIGHTLEA_SOURCE_DIR;
    const auto order = ModuleOrder();
    for (const auto& entry : fs::directory_iterator(root / "game")) {
        if (entry.is_directory()) {
            EXPECT_GE(Rank(order, entry.path().filename().string()), 0) << entry.path();
        }
    }
}

TEST(ModuleLayers, TheDeviceWallLetsOnlyThePublicHeaderThrough) {
    const std::string text =
        "#include \"platform/device3d.h\"\n"
        "#include \"platform/device3d/recording.h\"\n"
        "#include \"platform/device3d/pipeline.h\"\n"
        "  #  include \"platform/device3d/raster.h\"\n"
        "#include \"platform/draw_surface.h\"\n"
        "// #include \"platform/device3d/span.h\" is not an include\n";
    const auto found = DeviceInternalIncludes(text);
    ASSERT_EQ(found.size(), 3u);
    EXPECT_NE(found[0].find("recording.h"), std::string::npos);
    EXPECT_NE(found[1].find("pipeline.h"), std::string::npos);
    EXPECT_NE(found[2].find("raster.h"), std::string::npos);

    std::string report;
    for (const auto& failure : CheckDeviceWall(BRIGHTLEA_SOURCE_DIR)) {
        report += failure + "\n";
    }
    EXPECT_TRUE(report.empty()) << report;
}

TEST(ModuleLayers, TheShellsGroupsIncludeOnlyGroupsBelowThem) {
    const std::string text =
        "#include \"game/shell/client.h\"\n"
        "#include \"game/shell/launch/text_lines.h\"\n"
        "#include \"game/shell/match/replay.h\"\n"
        "#include \"game/shell/frame_tick.h\"\n"
        "#include \"game/shell/elsewhere/thing.h\"\n"
        "#include \"game/screens/hud_view.h\"\n";
    const auto fromChat = ShellUpwardIncludes("chat/chat_send.cpp", text);
    ASSERT_EQ(fromChat.size(), 3u);  // the match, the frame loop and the unknown folder
    EXPECT_NE(fromChat[0].find("match/replay.h"), std::string::npos);
    EXPECT_EQ(ShellUpwardIncludes("frame_tick.cpp", text).size(), 1u);    // only the unknown folder
    EXPECT_EQ(ShellUpwardIncludes("client.h", text).size(), 0u);          // the records gather all
    EXPECT_EQ(ShellUpwardIncludes("odd/new_file.cpp", text).size(), 4u);  // not a group at all

    const fs::path shell = fs::path(BRIGHTLEA_SOURCE_DIR) / "game" / "shell";
    std::string report;
    for (const auto& entry : fs::recursive_directory_iterator(shell)) {
        const auto ext = entry.path().extension();
        if (!entry.is_regular_file() || (ext != ".cpp" && ext != ".h")) {
            continue;
        }
        const std::string path = fs::relative(entry.path(), shell).generic_string();
        for (const auto& line : ShellUpwardIncludes(path, ReadAll(entry.path()))) {
            report += path + ": " + line + "\n";
        }
    }
    EXPECT_TRUE(report.empty()) << report;
}

}  // namespace
