// Ravelin: the lobby that ships with the game, for play on one machine or across machines.

#include <iostream>
#include <string>
#include <vector>

#include "brightlea_version.h"
#include "lobby/course_list.h"
#include "lobby/join_session.h"
#include "lobby/lobby_session.h"
#include "lobby/ravelin_options.h"

int main(int argc, char** argv) {
    lobby::RavelinOptions options;
    std::string error;
    if (!lobby::ParseRavelinOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
        std::cerr << "Ravelin: " << error << "\n(Ravelin --help explains the options)\n";
        return 2;
    }
    if (options.help) {
        std::cout << lobby::RavelinHelpText();
        return 0;
    }
    if (options.version) {
        std::cout << "Ravelin " << BRIGHTLEA_VERSION << "\n";
        return 0;
    }
    if (options.listCourses) {
        const std::filesystem::path data = lobby::GameDataDirectory(options);
        std::cout << lobby::FormatCourseList(lobby::ListCourses(data), data.string());
        return 0;
    }
    return options.join.empty() ? lobby::RunLobby(options) : lobby::RunJoin(options);
}
