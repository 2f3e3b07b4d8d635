#include "platform/message_box.h"

#include <SDL.h>

#include <cstdio>
#include <cstring>

namespace platform {

namespace {

// A box can be shown only with a real video driver; the dummy and offscreen drivers have no screen.
bool HaveScreen() {
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0) {
        return false;
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver != nullptr && std::strcmp(driver, "dummy") != 0 && std::strcmp(driver, "offscreen") != 0;
}

}  // namespace

void ShowErrorBox(const char* caption, const char* text) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
    if (HaveScreen()) {
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption, text, nullptr);
    }
}

}  // namespace platform
