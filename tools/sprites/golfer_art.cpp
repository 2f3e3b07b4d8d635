#include "tools/sprites/golfer_art.h"

#include <nlohmann/json.hpp>

#include "tools/sprites/golfer_figure.h"
#include "tools/sprites/svg_text.h"
#include "tools/toolkit/output_file.h"

namespace sprites {
namespace {

bool ReadJson(const std::string& path, nlohmann::json& out, std::string& error) {
    std::string text;
    if (!tools::ReadTextFile(path, text, error)) {
        return false;
    }
    out = nlohmann::json::parse(text, nullptr, false);
    if (out.is_discarded()) {
        error = path + ": not valid JSON";
        return false;
    }
    return true;
}

Outfit ReadOutfit(const nlohmann::json& entry) {
    Outfit outfit;
    outfit.shirt = entry.value("shirt", "#2a62cf");
    outfit.trousers = entry.value("trousers", "#26304a");
    outfit.shoes = entry.value("shoes", "#ffffff");
    outfit.skin = entry.value("skin", "#f2c39a");
    outfit.hair = entry.value("hair", "#3a2410");
    outfit.cap = entry.value("cap", "");
    outfit.style = entry.value("style", "short");
    outfit.skirt = entry.value("skirt", false);
    outfit.height = entry.value("height", 1.0);
    outfit.build = entry.value("build", 1.0);
    return outfit;
}

}  // namespace

bool MakeGolfers(const std::string& charactersPath, const std::string& timingPath, const std::string& gender,
                 const std::string& outDir, std::string& error) {
    nlohmann::json characters;
    nlohmann::json timing;
    if (!ReadJson(charactersPath, characters, error) || !ReadJson(timingPath, timing, error)) {
        return false;
    }
    const int sex = gender == "W" ? 1 : 0;
    if (!characters.contains(gender) || characters.at(gender).size() != 8 || !timing.contains("steps")) {
        error = charactersPath + ": needs eight characters for " + gender + " and the timing its steps";
        return false;
    }
    for (int character = 0; character < 8; ++character) {
        const Outfit outfit = ReadOutfit(characters.at(gender).at(character));
        for (int pose = 0; pose < kPoseCount; ++pose) {
            const std::string name = Format("%s%c%02d.fni", gender.c_str(), kPoseLetters[pose], character);
            const double smallScale = 0.76;
            const std::string small =
                DrawGolfer(outfit, SwingPose{}, pose, smallScale, 40 - 50 * smallScale, 4);
            if (!WriteSvgPicture(SvgDocument(kSmallWidth, kSmallHeight, small), outDir + "/Small/" + name, 0,
                                 0, error)) {
                return false;
            }
            const int impact = timing.at("steps").at(sex).at(character).at(pose).get<int>();
            const std::vector<SwingPose> frames = SwingFrames(pose, impact);
            std::string sheet;
            for (size_t frame = 0; frame < frames.size(); ++frame) {
                // Each frame in a viewport of its own, so that no club reaches into the next frame.
                sheet +=
                    Format("<svg x=\"0\" y=\"%d\" width=\"%d\" height=\"%d\">",
                           kSwingFrameHeight * static_cast<int>(frame), kSwingFrameWidth, kSwingFrameHeight) +
                    DrawGolfer(outfit, frames[frame], pose, 1.45, kSwingFrameWidth / 2.0 - 50 * 1.45, 36) +
                    "</svg>";
            }
            const int height = kSwingFrameHeight * static_cast<int>(frames.size());
            if (!WriteSvgPicture(SvgDocument(kSwingFrameWidth, height, sheet), outDir + "/" + name, 0, 0,
                                 error)) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace sprites
