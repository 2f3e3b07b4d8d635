// The 3D device renders into the back buffer with a depth surface of the picture's size. Until the
// software device exists the display runs without one: the 2D picture, the HUD and the cursor
// work, and nothing is drawn in 3D.
#include "game/present/display.h"

namespace present {

int CreateSceneDevice(Display& display) {
    (void)display;
    return 0;
}

void ReleaseSceneDevice(Display& display) {
    display.device = nullptr;
}

}  // namespace present
