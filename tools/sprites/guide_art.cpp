#include "tools/sprites/guide_art.h"

#include <nlohmann/json.hpp>

#include "tools/sprites/button_art.h"
#include "tools/sprites/svg_text.h"
#include "tools/toolkit/output_file.h"

namespace sprites {

bool MakeGuides(const std::string& recipePath, const std::string& outDir, std::string& error) {
    std::string text;
    if (!tools::ReadTextFile(recipePath, text, error)) {
        return false;
    }
    const nlohmann::json recipe = nlohmann::json::parse(text, nullptr, false);
    if (recipe.is_discarded() || !recipe.contains("guides") || !recipe.contains("fonts")) {
        error = recipePath + ": not a guide recipe file";
        return false;
    }
    for (const auto& [language, guides] : recipe.at("guides").items()) {
        const std::string family = recipe.at("fonts").value(language, "Liberation Sans");
        int index = 0;
        for (const nlohmann::json& guide : guides) {
            std::string body = Format(
                "<rect x=\"1\" y=\"1\" width=\"%d\" height=\"%d\" rx=\"10\" fill=\"#131c46\" "
                "fill-opacity=\"0.92\" stroke=\"#efb45c\" stroke-width=\"2\"/>"
                "<rect x=\"6\" y=\"6\" width=\"%d\" height=\"20\" rx=\"6\" fill=\"#2f9a3e\"/>",
                kGuideWidth - 2, kGuideHeight - 2, kGuideWidth - 12);
            body += Label(guide.value("title", ""), kGuideWidth / 2.0, 21, 13, "#ffffff", family.c_str());
            int line = 0;
            for (const nlohmann::json& row : guide.at("lines")) {
                body +=
                    Format("<text x=\"10\" y=\"%d\" font-family=\"%s\" font-size=\"12\" fill=\"#f6fbf6\">",
                           44 + 18 * line, family.c_str()) +
                    EscapeXml(row.get<std::string>()) + "</text>";
                ++line;
            }
            const std::string path = outDir + "/" + language + Format("/BeginerGuide%d.fni", index);
            if (!WriteSvgPicture(SvgDocument(kGuideWidth, kGuideHeight, body), path, 0, 0, error)) {
                return false;
            }
            ++index;
        }
    }
    return true;
}

}  // namespace sprites
