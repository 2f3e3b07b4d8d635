#include "tools/sprites/button_art.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <map>

#include "tools/sprites/svg_text.h"
#include "tools/toolkit/output_file.h"

namespace sprites {

const ButtonLook* FindButtonLook(const std::string& name) {
    static const std::map<std::string, ButtonLook> looks = {
        {"normal", {"#3b7ee8", "#173b8c", "#e8eefc", "#ffffff"}},
        {"hover", {"#6fb4ff", "#2a62cf", "#efb45c", "#ffffff"}},
        {"pressed", {"#142f6c", "#2a58b8", "#efb45c", "#ffe680"}},
        {"on", {"#4cc85a", "#1d7a2c", "#e8fce8", "#ffffff"}},
        {"onHover", {"#7de884", "#2f9a3e", "#efb45c", "#ffffff"}},
        {"off", {"#8a93a6", "#454d60", "#d0d4dc", "#e8e8e8"}},
        {"offHover", {"#aab3c6", "#5d667a", "#efb45c", "#ffffff"}},
        {"red", {"#ef5a4a", "#a3201a", "#ffe0dc", "#ffffff"}},
        {"redHover", {"#ff8a74", "#cc3a2a", "#ffe680", "#ffffff"}},
        {"gold", {"#ffd36a", "#d88a1c", "#fff4d0", "#3a1e00"}},
        {"goldHover", {"#ffe69c", "#eea63a", "#ffffff", "#3a1e00"}},
    };
    const auto found = looks.find(name);
    return found == looks.end() ? nullptr : &found->second;
}

std::string ButtonFace(const ButtonLook& look, double x, double y, double width, double height,
                       const std::string& id) {
    const double radius = std::min(width, height) * 0.28;
    return Format(
        "<defs><linearGradient id=\"%s\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"1\">"
        "<stop offset=\"0\" stop-color=\"%s\"/><stop offset=\"1\" stop-color=\"%s\"/>"
        "</linearGradient></defs>"
        "<rect x=\"%.2f\" y=\"%.2f\" width=\"%.2f\" height=\"%.2f\" rx=\"%.2f\" fill=\"url(#%s)\" "
        "stroke=\"%s\" stroke-width=\"1.2\"/>"
        "<rect x=\"%.2f\" y=\"%.2f\" width=\"%.2f\" height=\"%.2f\" rx=\"%.2f\" fill=\"#ffffff\" "
        "fill-opacity=\"0.22\"/>",
        id.c_str(), look.top, look.bottom, x + 0.6, y + 0.6, width - 1.2, height - 1.2, radius, id.c_str(),
        look.border, x + 2, y + 2, width - 4, (height - 4) * 0.42, radius * 0.7);
}

std::string PlaceIcon(const std::string& fragment, double x, double y, double size, double turnDegrees) {
    return Format(
               "<svg x=\"%.2f\" y=\"%.2f\" width=\"%.2f\" height=\"%.2f\" viewBox=\"0 0 100 100\">"
               "<g transform=\"rotate(%.1f 50 50)\">",
               x, y, size, size, turnDegrees) +
           fragment + "</g></svg>";
}

std::string Label(const std::string& text, double cx, double y, double size, const char* colour,
                  const char* family) {
    return Format(
               "<text x=\"%.2f\" y=\"%.2f\" font-family=\"%s\" font-weight=\"bold\" font-size=\"%.2f\" "
               "text-anchor=\"middle\" fill=\"%s\">",
               cx, y, family, size, colour) +
           EscapeXml(text) + "</text>";
}

namespace {

std::string ButtonSvg(const nlohmann::json& recipe, const ButtonLook& look, const std::string& icon) {
    const int width = recipe.at("size").at(0);
    const int height = recipe.at("size").at(1);
    const std::string label = recipe.value("label", "");
    const double turn = recipe.value("turn", 0.0);
    std::string body = ButtonFace(look, 0, 0, width, height, "face");
    const double pad = height >= 24 ? 3.0 : 1.5;
    const double iconSize = height - 2 * pad;
    if (label.empty()) {
        const double size = std::min<double>(width, height) - 2 * pad;
        body += PlaceIcon(icon, (width - size) / 2, (height - size) / 2, size, turn);
    } else if (icon.empty() || height < 20) {
        body += Label(label, width / 2.0, height * 0.5 + height * 0.28, height * 0.7, look.text);
    } else {
        body += PlaceIcon(icon, pad + 1, pad, iconSize, turn);
        const double textLeft = pad + iconSize;
        // Bold capitals are about 0.72 of the font size wide.
        const double size =
            std::min(height * 0.46, (width - textLeft - 3) / (0.72 * static_cast<double>(label.size())));
        body += Label(label, (textLeft + width) / 2.0, height * 0.5 + size * 0.36, size, look.text);
    }
    return SvgDocument(width, height, body);
}

}  // namespace

bool MakeButtons(const std::string& recipePath, const std::string& iconDir, const std::string& outDir,
                 std::string& error) {
    std::string text;
    if (!tools::ReadTextFile(recipePath, text, error)) {
        return false;
    }
    const nlohmann::json recipes = nlohmann::json::parse(text, nullptr, false);
    if (recipes.is_discarded() || !recipes.contains("buttons")) {
        error = recipePath + ": not a button recipe file";
        return false;
    }
    for (const nlohmann::json& recipe : recipes.at("buttons")) {
        const std::string name = recipe.value("name", "");
        const ButtonLook* look = FindButtonLook(recipe.value("look", ""));
        if (name.empty() || look == nullptr || !recipe.contains("size")) {
            error = recipePath + ": button " + name + " needs a name, a known look and a size";
            return false;
        }
        std::string icon;
        const std::string iconName = recipe.value("icon", "");
        if (!iconName.empty() && !tools::ReadTextFile(iconDir + "/" + iconName + ".svg", icon, error)) {
            return false;
        }
        if (!WriteSvgPicture(ButtonSvg(recipe, *look, icon), outDir + "/" + name + ".fni", 0, 0, error)) {
            return false;
        }
    }
    return true;
}

}  // namespace sprites
