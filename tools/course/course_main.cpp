// course hole DESCRIPTION.json HOLE_FOLDER --textures FOLDER [--preview OUT.png]
// course balls IMAGE_FOLDER
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "tools/toolkit/course/ball_model.h"
#include "tools/toolkit/course/hole_builder.h"
#include "tools/toolkit/course/hole_preview.h"
#include "tools/toolkit/fnx_writer.h"
#include "tools/toolkit/output_file.h"
#include "tools/toolkit/png_file.h"

namespace {

// The far model is larger than a real ball so that it stays visible at a distance.
constexpr float kFarBallRadius = 0.06f;
constexpr float kNearBallRadius = 0.025f;

int Usage() {
    std::fprintf(stderr,
                 "usage: course hole DESCRIPTION.json HOLE_FOLDER --textures FOLDER [--preview OUT.png]\n"
                 "       course balls IMAGE_FOLDER\n");
    return 2;
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "course: %s\n", message.c_str());
    return 1;
}

bool WriteModel(const core::FnxModel& model, const std::string& path, std::string& error) {
    std::vector<uint8_t> bytes;
    if (!tools::EncodeFnxModel(model, bytes)) {
        error = path + ": the model does not fit the FNX format";
        return false;
    }
    return tools::WriteFileAtomically(path, bytes, error);
}

int BuildHoleFiles(int argc, char** argv) {
    if (argc < 6) {
        return Usage();
    }
    const std::string description = argv[2];
    const std::string folder = argv[3];
    std::string textures;
    std::string preview;
    for (int i = 4; i + 1 < argc; i += 2) {
        const std::string_view flag = argv[i];
        if (flag == "--textures") {
            textures = argv[i + 1];
        } else if (flag == "--preview") {
            preview = argv[i + 1];
        } else {
            return Usage();
        }
    }
    if (textures.empty()) {
        return Usage();
    }
    std::string error;
    tools::HoleDescription hole;
    tools::BuiltHole built;
    if (!tools::ReadHoleDescription(description, hole, error) || !tools::BuildHole(hole, built, error)) {
        return Fail(error);
    }
    // Everything is made and read before anything is written.
    std::vector<std::vector<uint8_t>> textureBytes;
    for (const std::string& name : built.holeTextures) {
        textureBytes.emplace_back();
        if (!tools::ReadWholeFile(textures + "/" + name, textureBytes.back(), error)) {
            return Fail(description + ": hole texture " + name + " is not there: " + error);
        }
    }
    if (!WriteModel(built.model, folder + "/HoleData.fnx", error) ||
        !tools::WriteFileAtomically(folder + "/Hole.ini", tools::EncodeHoleSettings(built.settings), error)) {
        return Fail(error);
    }
    for (size_t i = 0; i < built.holeTextures.size(); ++i) {
        if (!tools::WriteFileAtomically(folder + "/" + built.holeTextures[i], textureBytes[i], error)) {
            return Fail(error);
        }
    }
    if (!preview.empty() &&
        !tools::WritePng(preview, tools::DrawHolePreview(built.model, built.settings), error)) {
        return Fail(error);
    }
    return 0;
}

int BuildBalls(int argc, char** argv) {
    if (argc != 3) {
        return Usage();
    }
    const std::string folder = argv[2];
    std::string error;
    if (!WriteModel(tools::MakeBallModel(kFarBallRadius), folder + "/Ball.fnx", error) ||
        !WriteModel(tools::MakeBallModel(kNearBallRadius), folder + "/SBall.fnx", error)) {
        return Fail(error);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        return Usage();
    }
    const std::string_view command = argv[1];
    if (command == "hole") {
        return BuildHoleFiles(argc, argv);
    }
    if (command == "balls") {
        return BuildBalls(argc, argv);
    }
    return Usage();
}
