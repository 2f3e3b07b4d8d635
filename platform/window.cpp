#include "platform/window.h"

#include "platform/window_icon.h"

#include <SDL.h>

#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <utility>
#include <vector>

#include "platform/keys.h"
#include "platform/picture_fit.h"

namespace platform {

struct GameWindow {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    uint32_t textureFormat = 0;
    int textureWidth = 0;
    int textureHeight = 0;
    int pictureWidth = 0;
    int pictureHeight = 0;
    bool hidden = false;
    std::vector<MessageSource> sources;
    std::vector<std::function<int()>> sourceFds;  // what each source waits on (-1: nothing)
    // The picture as last shown. Showing the same picture again at the same place is skipped:
    // scaling and presenting are most of a frame's cost.
    std::vector<uint8_t> shownPixels;
    PictureArea shownArea;
    bool shownStale = true;  // the window needs the picture again whatever it holds
};

namespace {

// Windows virtual-key numbers of the keys the game looks at; others pass as 0.
int VirtualKeyOf(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) {
        return 'A' + (key - SDLK_a);
    }
    if (key >= SDLK_0 && key <= SDLK_9) {
        return '0' + (key - SDLK_0);
    }
    if (key >= SDLK_F1 && key <= SDLK_F12) {
        return kKeyF1 + (key - SDLK_F1);
    }
    switch (key) {
        case SDLK_BACKSPACE:
            return kKeyBack;
        case SDLK_TAB:
            return kKeyTab;
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
            return kKeyReturn;
        case SDLK_LSHIFT:
        case SDLK_RSHIFT:
            return kKeyShift;
        case SDLK_LCTRL:
        case SDLK_RCTRL:
            return kKeyControl;
        case SDLK_LALT:
        case SDLK_RALT:
            return kKeyMenu;
        case SDLK_ESCAPE:
            return kKeyEscape;
        case SDLK_SPACE:
            return kKeySpace;
        case SDLK_END:
            return kKeyEnd;
        case SDLK_HOME:
            return kKeyHome;
        case SDLK_LEFT:
            return kKeyLeft;
        case SDLK_UP:
            return kKeyUp;
        case SDLK_RIGHT:
            return kKeyRight;
        case SDLK_DOWN:
            return kKeyDown;
        case SDLK_DELETE:
            return kKeyDelete;
        case SDLK_LGUI:
            return kKeyLeftWindows;
        case SDLK_RGUI:
            return kKeyRightWindows;
        case SDLK_APPLICATION:
            return kKeyApps;
        default:
            return 0;
    }
}

PictureArea CurrentArea(GameWindow& w) {
    int outW = 0;
    int outH = 0;
    if (w.renderer == nullptr || SDL_GetRendererOutputSize(w.renderer, &outW, &outH) != 0) {
        SDL_GetWindowSize(w.window, &outW, &outH);
    }
    return LetterboxArea(outW, outH, w.pictureWidth, w.pictureHeight);
}

void ToPicture(GameWindow& w, int x, int y, int& px, int& py) {
    OutputToPicture(CurrentArea(w), w.pictureWidth, w.pictureHeight, x, y, px, py);
}

template <typename F, typename... Args>
void Call(const F& handler, Args&&... args) {
    if (handler) {
        handler(std::forward<Args>(args)...);
    }
}

void HandleWindowEvent(GameWindow& w, const SDL_WindowEvent& e, const WindowHandlers& h) {
    w.shownStale = true;  // shown, exposed, resized, moved...: present the next picture in any case
    switch (e.event) {
        case SDL_WINDOWEVENT_MINIMIZED:
        case SDL_WINDOWEVENT_HIDDEN:
            if (!w.hidden) {
                w.hidden = true;
                Call(h.onSize, true);
            }
            break;
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_MAXIMIZED:
            if (w.hidden) {
                w.hidden = false;
                Call(h.onSize, false);
            }
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            // Switching away from the full-screen game (Alt+Tab) minimises it, so the desktop shows
            // and the game stops presenting until it comes back.
            if ((SDL_GetWindowFlags(w.window) & SDL_WINDOW_FULLSCREEN) != 0 && !w.hidden) {
                SDL_MinimizeWindow(w.window);
                w.hidden = true;
                Call(h.onSize, true);
            }
            break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            if (w.hidden && (SDL_GetWindowFlags(w.window) & SDL_WINDOW_MINIMIZED) == 0) {
                w.hidden = false;  // back without a restore event (no window manager minimised it)
                Call(h.onSize, false);
            }
            break;
        case SDL_WINDOWEVENT_MOVED:
            Call(h.onMove, e.data1, e.data2);
            break;
        case SDL_WINDOWEVENT_EXPOSED:
            Call(h.onPaint);
            break;
        case SDL_WINDOWEVENT_CLOSE:
            Call(h.onClose);
            break;
        default:
            break;
    }
}

void HandleEvent(GameWindow& w, const SDL_Event& e, const WindowHandlers& h) {
    int px = 0;
    int py = 0;
    switch (e.type) {
        case SDL_QUIT:
            Call(h.onClose);
            break;
        case SDL_WINDOWEVENT:
            HandleWindowEvent(w, e.window, h);
            break;
        case SDL_MOUSEMOTION:
            ToPicture(w, e.motion.x, e.motion.y, px, py);
            Call(h.onMouseMove, px, py);
            break;
        case SDL_MOUSEBUTTONDOWN:
            if (e.button.button == SDL_BUTTON_LEFT) {
                ToPicture(w, e.button.x, e.button.y, px, py);
                Call(h.onLeftButton, px, py);
            }
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            if (int vk = VirtualKeyOf(e.key.keysym.sym); vk != 0) {
                Call(h.onKey, vk, e.type == SDL_KEYDOWN);
            }
            break;
        case SDL_TEXTINPUT:
            Call(h.onText, e.text.text);
            break;
        case SDL_TEXTEDITING:
            Call(h.onTextEditing, e.edit.text, static_cast<int>(e.edit.start));
            break;
        default:
            break;
    }
}

}  // namespace

bool StartVideo(std::string& error) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        error = SDL_GetError();
        return false;
    }
    // Without any screen SDL falls back to a driver that draws nowhere. That is wanted only when
    // asked for by name (SDL_VIDEODRIVER=dummy for headless runs).
    const char* driver = SDL_GetCurrentVideoDriver();
    const char* wanted = SDL_getenv("SDL_VIDEODRIVER");
    const bool drawsNowhere =
        driver != nullptr && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
    if (drawsNowhere && (wanted == nullptr || SDL_strcasecmp(wanted, driver) != 0)) {
        error = "no screen found: neither DISPLAY nor WAYLAND_DISPLAY leads to one";
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return false;
    }
    return true;
}

void StopVideo() {
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

GameWindow* CreateGameWindow(const char* title, bool windowed, int pictureWidth, int pictureHeight,
                             std::string& error) {
    auto* w = new GameWindow;
    w->pictureWidth = pictureWidth;
    w->pictureHeight = pictureHeight;
    int width = pictureWidth;
    int height = pictureHeight;
    Uint32 flags = SDL_WINDOW_SHOWN;
    SDL_Rect usable;
    SDL_DisplayMode desktop;
    if (!windowed) {
        // Made at the desktop's size from the start: without a window manager the full-screen
        // request alone would leave the window at the picture's size.
        flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
        if (SDL_GetDesktopDisplayMode(0, &desktop) == 0) {
            width = desktop.w;
            height = desktop.h;
        }
    } else if (SDL_GetDisplayUsableBounds(0, &usable) == 0) {
        const int scale = IntegerScaleToFit(usable.w, usable.h, pictureWidth, pictureHeight);
        width *= scale;
        height *= scale;
    }
    w->window = SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height, flags);
    if (w->window == nullptr) {
        error = SDL_GetError();
        DestroyGameWindow(w);
        return nullptr;
    }
    w->renderer = SDL_CreateRenderer(w->window, -1, 0);
    if (w->renderer == nullptr) {
        w->renderer = SDL_CreateRenderer(w->window, -1, SDL_RENDERER_SOFTWARE);
    }
    if (w->renderer == nullptr) {
        error = SDL_GetError();
        DestroyGameWindow(w);
        return nullptr;
    }
    return w;
}

void SetWindowIcon(GameWindow& w, const std::vector<uint32_t>& argb, int width, int height) {
    if (width <= 0 || height <= 0 ||
        argb.size() != static_cast<size_t>(width) * static_cast<size_t>(height)) {
        return;
    }
    std::vector<uint32_t> pixels = argb;  // SDL wants writable pixels
    SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(pixels.data(), width, height, 32, width * 4,
                                                           SDL_PIXELFORMAT_ARGB8888);
    if (icon != nullptr) {
        SDL_SetWindowIcon(w.window, icon);
        SDL_FreeSurface(icon);
    }
}

void DestroyGameWindow(GameWindow* w) {
    if (w == nullptr) {
        return;
    }
    if (w->texture != nullptr) {
        SDL_DestroyTexture(w->texture);
    }
    if (w->renderer != nullptr) {
        SDL_DestroyRenderer(w->renderer);
    }
    if (w->window != nullptr) {
        SDL_DestroyWindow(w->window);
    }
    delete w;
}

bool DispatchOneMessage(GameWindow& window, const WindowHandlers& handlers) {
    SDL_Event e;
    if (SDL_PollEvent(&e) != 0) {
        HandleEvent(window, e, handlers);
        return true;
    }
    for (MessageSource& source : window.sources) {
        if (source()) {
            return true;
        }
    }
    return false;
}

void AddMessageSource(GameWindow& window, MessageSource source, std::function<int()> waitFd) {
    window.sources.push_back(std::move(source));
    window.sourceFds.push_back(waitFd ? std::move(waitFd) : [] { return -1; });
}

bool WaitForMessage(GameWindow& window, int timeoutMs) {
    // SDL cannot wait on our sockets, so the wait is cut into short slices that wait on the
    // sockets and look at the window's events in between.
    constexpr int kSliceMs = 4;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    std::vector<pollfd> fds;
    for (const auto& fdOf : window.sourceFds) {
        if (const int fd = fdOf(); fd >= 0) {
            fds.push_back(pollfd{fd, POLLIN, 0});
        }
    }
    for (;;) {
        SDL_PumpEvents();
        if (SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT) == SDL_TRUE) {
            return true;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return false;
        }
        const int slice = static_cast<int>(std::min<int64_t>(left.count(), kSliceMs));
        if (::poll(fds.data(), fds.size(), slice) > 0) {
            return true;
        }
    }
}

namespace {

// Compares the picture with the one last shown and remembers it.
bool ChangedSinceShown(GameWindow& w, const DrawSurface& picture, const PictureArea& area) {
    const auto* bytes = static_cast<const uint8_t*>(picture.pixels->pixels);
    const size_t size = static_cast<size_t>(picture.pixels->pitch) * picture.pixels->h;
    const bool sameArea = area.x == w.shownArea.x && area.y == w.shownArea.y &&
                          area.width == w.shownArea.width && area.height == w.shownArea.height;
    if (!w.shownStale && sameArea && w.shownPixels.size() == size &&
        std::memcmp(w.shownPixels.data(), bytes, size) == 0) {
        return false;
    }
    w.shownPixels.assign(bytes, bytes + size);
    w.shownArea = area;
    w.shownStale = false;
    return true;
}

}  // namespace

void ShowPicture(GameWindow& w, DrawSurface& picture) {
    if (picture.pixels == nullptr || w.renderer == nullptr) {
        return;
    }
    FinishPendingWork(picture);
    const uint32_t format = picture.pixels->format->format;
    if (w.texture == nullptr || w.textureFormat != format || w.textureWidth != picture.width ||
        w.textureHeight != picture.height) {
        if (w.texture != nullptr) {
            SDL_DestroyTexture(w.texture);
        }
        w.texture =
            SDL_CreateTexture(w.renderer, format, SDL_TEXTUREACCESS_STREAMING, picture.width, picture.height);
        w.textureFormat = format;
        w.textureWidth = picture.width;
        w.textureHeight = picture.height;
        w.shownStale = true;
        if (w.texture == nullptr) {
            return;
        }
    }
    const PictureArea area = CurrentArea(w);
    if (!ChangedSinceShown(w, picture, area)) {
        return;
    }
    SDL_UpdateTexture(w.texture, nullptr, picture.pixels->pixels, picture.pixels->pitch);
    const bool wholeScale = area.width % w.pictureWidth == 0 && area.height % w.pictureHeight == 0;
    SDL_SetTextureScaleMode(w.texture, wholeScale ? SDL_ScaleModeNearest : SDL_ScaleModeLinear);
    const SDL_Rect target{area.x, area.y, area.width, area.height};
    SDL_SetRenderDrawColor(w.renderer, 0, 0, 0, 255);
    SDL_RenderClear(w.renderer);
    SDL_RenderCopy(w.renderer, w.texture, nullptr, &target);
    SDL_RenderPresent(w.renderer);
}

void SetSystemCursorVisible(bool visible) {
    SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

void StartTextInput() {
    SDL_StartTextInput();
}

void StopTextInput() {
    SDL_StopTextInput();
}

void MinimiseWindow(GameWindow& window) {
    if (window.window != nullptr) {
        SDL_MinimizeWindow(window.window);
    }
}

}  // namespace platform
