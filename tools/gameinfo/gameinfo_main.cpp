// gameinfo SOURCE.json OUTPUT
// The source holds "steps": [sex flag 0..1][character type 0..7][swing kind 0..4], each a count of
// replay steps before the ball leaves the club.
#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>

#include "tools/toolkit/data_files.h"
#include "tools/toolkit/output_file.h"

namespace {

int Fail(const std::string& message) {
    std::fprintf(stderr, "gameinfo: %s\n", message.c_str());
    return 1;
}

bool ReadTiming(const nlohmann::json& doc, shell::SwingTiming& timing, std::string& problem) {
    const nlohmann::json& steps = doc.at("steps");
    if (!steps.is_array() || steps.size() != shell::kSwingSexes) {
        problem = "\"steps\" must list 2 sex flags";
        return false;
    }
    for (int sex = 0; sex < shell::kSwingSexes; ++sex) {
        if (!steps[sex].is_array() || steps[sex].size() != shell::kSwingCharacterTypes) {
            problem = "\"steps\"[" + std::to_string(sex) + "] must list 8 character types";
            return false;
        }
        for (int character = 0; character < shell::kSwingCharacterTypes; ++character) {
            const nlohmann::json& kinds = steps[sex][character];
            if (!kinds.is_array() || kinds.size() != shell::kSwingKinds) {
                problem = "\"steps\"[" + std::to_string(sex) + "][" + std::to_string(character) +
                          "] must list 5 swing kinds";
                return false;
            }
            for (int kind = 0; kind < shell::kSwingKinds; ++kind) {
                const int value = kinds[kind].get<int>();
                if (value < 0 || value > 300) {
                    problem = "step counts lie between 0 and 300";
                    return false;
                }
                timing.steps[sex][character][kind] = value;
            }
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: gameinfo SOURCE.json OUTPUT\n");
        return 2;
    }
    shell::SwingTiming timing;
    std::string problem;
    try {
        std::ifstream in(argv[1]);
        if (!in) {
            return Fail(std::string(argv[1]) + ": cannot open the file");
        }
        if (!ReadTiming(nlohmann::json::parse(in), timing, problem)) {
            return Fail(std::string(argv[1]) + ": " + problem);
        }
    } catch (const nlohmann::json::exception& e) {
        return Fail(std::string(argv[1]) + ": " + e.what());
    }
    if (!tools::WriteFileAtomically(argv[2], tools::EncodeGameInfo(timing), problem)) {
        return Fail(problem);
    }
    return 0;
}
