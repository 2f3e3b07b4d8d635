// datacheck GAME_DIRECTORY LIST.txt
// Exit code 1, with the list of what is missing or broken, when the game directory lacks a file
// the game asks for; files still to come (the list's "[later]" part) are only counted.
#include <cstdio>
#include <string>

#include "tools/toolkit/data_set_check.h"
#include "tools/toolkit/output_file.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: datacheck GAME_DIRECTORY LIST.txt\n");
        return 2;
    }
    std::string list;
    std::string error;
    if (!tools::ReadTextFile(argv[2], list, error)) {
        std::fprintf(stderr, "datacheck: %s\n", error.c_str());
        return 1;
    }
    const tools::DataSetReport report = tools::CheckDataSet(argv[1], list);
    if (!report.pending.empty()) {
        std::printf("datacheck: %zu files of art still to come (first: %s)\n", report.pending.size(),
                    report.pending.front().c_str());
    }
    for (const std::string& name : report.missing) {
        std::fprintf(stderr, "datacheck: missing %s\n", name.c_str());
    }
    for (const std::string& problem : report.broken) {
        std::fprintf(stderr, "datacheck: %s\n", problem.c_str());
    }
    return report.missing.empty() && report.broken.empty() ? 0 : 1;
}
