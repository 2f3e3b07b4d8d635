#include "tools/toolkit/data_set_check.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <set>
#include <sstream>

#include "game/course/fnx_loader.h"
#include "game/course/hole_state.h"
#include "game/present/fni_image.h"
#include "game/shell/launch/launch_files.h"
#include "tools/toolkit/ground_coverage.h"
#include "tools/toolkit/output_file.h"
#include "tools/toolkit/texture_seams.h"

namespace tools {
namespace {

bool EndsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::string WithFniExtension(const std::string& name) {
    // The game replaces the last four characters (the extension) by ".fni".
    return (name.size() >= 4 ? name.substr(0, name.size() - 4) : name) + ".fni";
}

bool HasTransparentPixels(const present::FniImage& image) {
    for (uint8_t index : image.pixels) {
        if (index == image.transparentIndex) {
            return true;
        }
    }
    return false;
}

// How the renderer repeats a material's texture: terrain tiles it both ways, the backdrop across,
// objects draw their picture once (cut out when it has transparent parts).
TextureWrap WrapOfGroup(const char* name, const present::FniImage& image) {
    if (std::strncmp(name, "BAK", 3) == 0) {
        return TextureWrap::kAcross;
    }
    const bool object = std::strncmp(name, "RST", 3) == 0 || std::strncmp(name, "SST", 3) == 0;
    if (!object) {
        return TextureWrap::kBothWays;
    }
    return HasTransparentPixels(image) ? TextureWrap::kCutOut : TextureWrap::kOnce;
}

void CheckTextureSeam(const std::string& root, const std::string& texture, const char* groupName,
                      DataSetReport& report) {
    present::FniImage image;
    if (present::LoadFni(image, (root + "/" + texture).c_str(), false) != 0) {
        report.broken.push_back(texture + ": not a readable FNI picture");
        return;
    }
    const std::string problem = WrapSeamProblem(image, WrapOfGroup(groupName, image));
    if (!problem.empty()) {
        report.broken.push_back(texture + ": " + problem);
    }
    present::FreeFni(image);
}

void CheckModel(const std::string& root, const std::string& modelPath, std::set<std::string>& seamChecked,
                DataSetReport& report) {
    core::FnxModel* model = course::LoadFnxModel(root + "/" + modelPath);
    if (model == nullptr) {
        report.broken.push_back(modelPath + ": not a readable FNX model");
        return;
    }
    const std::string folder = std::filesystem::path(modelPath).parent_path().string();
    for (const core::FnxMaterial& material : model->materials) {
        const std::string texture = TexturePathOf(material.textureName, folder);
        if (!texture.empty() && !std::filesystem::exists(root + "/" + texture)) {
            report.missing.push_back(texture + " (named by " + modelPath + ")");
        }
    }
    for (const core::FnxGroup& group : model->groups) {
        if (group.materialIndex >= model->materials.size()) {
            continue;
        }
        const std::string texture = TexturePathOf(model->materials[group.materialIndex].textureName, folder);
        if (!texture.empty() && std::filesystem::exists(root + "/" + texture) &&
            seamChecked.insert(texture).second) {
            CheckTextureSeam(root, texture, group.name, report);
        }
    }
    if (EndsWith(modelPath, "HoleData.fnx")) {
        std::vector<GroundPoint> seated;
        shell::HoleSettings settings;
        std::vector<uint8_t> ini;
        std::string error;
        if (ReadWholeFile(root + "/" + folder + "/Hole.ini", ini, error) &&
            shell::ParseHoleSettings(ini, settings)) {
            seated = {{settings.tee[0], settings.tee[1]},
                      {settings.defaultAim[0], settings.defaultAim[1]},
                      {settings.pin[0], settings.pin[1]}};
        }
        for (const std::string& point : UncoveredGround(*model, seated, 3)) {
            report.broken.push_back(modelPath + ": no ground at " + point + " inside the terrain grid");
        }
    }
    course::FreeFnxModel(model);
}

// The near ball is drawn with the far ball's triangle list, so both must share it.
void CheckBallModels(const std::string& root, DataSetReport& report) {
    core::FnxModel* far = course::LoadFnxModel(root + "/Image/Ball.fnx");
    core::FnxModel* near = course::LoadFnxModel(root + "/Image/SBall.fnx");
    if (far != nullptr && near != nullptr) {
        const bool same = !far->groups.empty() && !near->groups.empty() &&
                          far->groups[0].vertexCount == near->groups[0].vertexCount &&
                          far->groups[0].indices == near->groups[0].indices;
        if (!same) {
            report.broken.push_back(
                "Image/SBall.fnx: its first group must match Ball.fnx in vertices and triangles");
        }
    }
    course::FreeFnxModel(far);
    course::FreeFnxModel(near);
}

}  // namespace

std::vector<std::string> ExpandListedName(const std::string& name) {
    const size_t open = name.find('{');
    const size_t dots = name.find("..", open);
    const size_t close = name.find('}', dots);
    if (open == std::string::npos || dots == std::string::npos || close == std::string::npos) {
        return {name};
    }
    const std::string first = name.substr(open + 1, dots - open - 1);
    const std::string last = name.substr(dots + 2, close - dots - 2);
    auto allDigits = [](const std::string& text) {
        return !text.empty() && text.size() < 6 && std::all_of(text.begin(), text.end(), [](char c) {
            return std::isdigit(static_cast<unsigned char>(c));
        });
    };
    if (!allDigits(first) || !allDigits(last)) {
        return {name};
    }
    std::vector<std::string> names;
    for (int n = std::stoi(first); n <= std::stoi(last); ++n) {
        char number[16];
        std::snprintf(number, sizeof number, "%0*d", static_cast<int>(first.size()), n);
        names.push_back(name.substr(0, open) + number + name.substr(close + 1));
    }
    return names;
}

std::string TexturePathOf(const std::string& textureName, const std::string& modelFolder) {
    if (textureName.empty()) {
        return "";
    }
    if (textureName[0] == 'B') {
        return (modelFolder.empty() ? "" : modelFolder + "/") + WithFniExtension(textureName);
    }
    // Scenery and common textures are found exactly as the game finds them.
    return course::ResolveTexturePicture(textureName.c_str(), 0, 0).path;
}

DataSetReport CheckDataSet(const std::string& gameDirectory, const std::string& listText) {
    DataSetReport report;
    std::istringstream lines(listText);
    std::string line;
    bool later = false;
    std::set<std::string> seamChecked;
    while (std::getline(lines, line)) {
        while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back()))) {
            line.pop_back();
        }
        if (line.empty() || line[0] == '#') {
            continue;
        }
        if (line == "[later]") {
            later = true;
            continue;
        }
        for (const std::string& name : ExpandListedName(line)) {
            if (!std::filesystem::exists(gameDirectory + "/" + name)) {
                (later ? report.pending : report.missing).push_back(name);
            } else if (EndsWith(name, ".fnx")) {
                CheckModel(gameDirectory, name, seamChecked, report);
            }
        }
    }
    CheckBallModels(gameDirectory, report);
    return report;
}

}  // namespace tools
