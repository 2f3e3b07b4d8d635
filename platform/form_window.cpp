#include "platform/form_window.h"

#include <SDL.h>

namespace platform {

struct FormWindow {
    SDL_Window* window = nullptr;
    DrawSurface* picture = nullptr;
    bool closeRequested = false;
};

FormWindow* OpenFormWindow(int clientWidth, int clientHeight) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        return nullptr;
    }
    auto* form = new FormWindow;
    form->window = SDL_CreateWindow("", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, clientWidth,
                                    clientHeight, SDL_WINDOW_SHOWN);
    form->picture = CreateDrawSurface(clientWidth, clientHeight, kXrgb8888);
    if (form->window == nullptr || form->picture == nullptr) {
        CloseFormWindow(form);
        return nullptr;
    }
    return form;
}

void CloseFormWindow(FormWindow* form) {
    if (form == nullptr) {
        return;
    }
    ReleaseDrawSurface(form->picture);
    if (form->window != nullptr) {
        SDL_DestroyWindow(form->window);
    }
    delete form;
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

void SetFormCaption(FormWindow& form, const std::string& captionUtf8) {
    SDL_SetWindowTitle(form.window, captionUtf8.c_str());
}

DrawSurface& FormPicture(FormWindow& form) {
    return *form.picture;
}

void ShowFormPicture(FormWindow& form) {
    SDL_Surface* screen = SDL_GetWindowSurface(form.window);
    if (screen == nullptr) {
        return;
    }
    SDL_BlitSurface(form.picture->pixels, nullptr, screen, nullptr);
    SDL_UpdateWindowSurface(form.window);
}

bool PumpFormEvents(FormWindow& form, int waitMs) {
    SDL_Event event;
    bool got = SDL_WaitEventTimeout(&event, waitMs > 0 ? waitMs : 0) != 0;
    while (got) {
        if (event.type == SDL_QUIT ||
            (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_CLOSE)) {
            form.closeRequested = true;
        } else if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_EXPOSED) {
            ShowFormPicture(form);
        }
        got = SDL_PollEvent(&event) != 0;
    }
    return !form.closeRequested;
}

}  // namespace platform
