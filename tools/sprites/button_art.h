#pragma once
// Buttons: a rounded face in one of the looks, an icon from the icon folder and a label.

#include <string>

namespace sprites {

struct ButtonLook {
    const char* top;     // face gradient, top colour
    const char* bottom;  // face gradient, bottom colour
    const char* border;
    const char* text;
};

// The look of that name, or nullptr.
const ButtonLook* FindButtonLook(const std::string& name);

// The SVG body of a button face (with its gradient) of width x height; id makes the gradient's id
// unique inside one document.
std::string ButtonFace(const ButtonLook& look, double x, double y, double width, double height,
                       const std::string& id);

// An icon fragment (drawn in a 100 x 100 box) placed in the box, turned by turnDegrees about its centre.
std::string PlaceIcon(const std::string& fragment, double x, double y, double size, double turnDegrees);

// Bold text centred on (cx, baseline y).
std::string Label(const std::string& text, double cx, double y, double size, const char* colour,
                  const char* family = "Liberation Sans");

// Every button of the recipe file (assets/art/hud/buttons.json) into outDir. Returns false and fills error.
bool MakeButtons(const std::string& recipePath, const std::string& iconDir, const std::string& outDir,
                 std::string& error);

}  // namespace sprites
