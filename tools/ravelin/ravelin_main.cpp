// Ravelin: the stand-in lobby for development, tests and play on one machine or across machines.

#include <iostream>
#include <string>
#include <vector>

#include "brightlea_version.h"
#include "tools/ravelin/course_list.h"
#include "tools/ravelin/join_session.h"
#include "tools/ravelin/lobby_session.h"
#include "tools/ravelin/ravelin_options.h"

int main(int argc, char** argv) {
    tools::RavelinOptions options;
    std::string error;
    if (!tools::ParseRavelinOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
        std::cerr << "Ravelin: " << error << "\n(Ravelin --help explains the options)\n";
        return 2;
    }
    if (options.help) {
        std::cout << tools::RavelinHelpText();
        return 0;
    }
    if (options.version) {
        std::cout << "Ravelin " << BRIGHTLEA_VERSION << "\n";
        return 0;
    }
    if (options.listCourses) {
        const std::filesystem::path data = tools::GameDataDirectory(options);
        std::cout << tools::FormatCourseList(tools::ListCourses(data), data.string());
        return 0;
    }
    return options.join.empty() ? tools::RunLobby(options) : tools::RunJoin(options);
}
