#pragma once
// The game's one window and its event pump. Events become calls of the handlers the game hands
// in; the presented picture is a DrawSurface shown scaled: windowed at a whole-number scale that
// fits the desktop, full screen letterboxed. Mouse positions arrive in picture coordinates.

#include <functional>
#include <string>

#include "platform/draw_surface.h"

namespace platform {

struct GameWindow;

struct WindowHandlers {
    // hidden: the window was minimised or hidden; false: it came back.
    std::function<void(bool hidden)> onSize;
    std::function<void(int x, int y)> onMove;  // new position of the window on the desktop
    std::function<void()> onPaint;             // the window needs its picture again
    std::function<void()> onClose;
    std::function<void(int x, int y)> onMouseMove;
    std::function<void(int x, int y)> onLeftButton;
    std::function<void(int virtualKey, bool down)> onKey;             // codes of platform/keys.h
    std::function<void(const char* utf8)> onText;                     // typed text
    std::function<void(const char* utf8, int cursor)> onTextEditing;  // text being composed
};

// Something besides the window that delivers messages to the game through the pump (for example a
// socket). It returns true when it handled one message, false when nothing was waiting.
using MessageSource = std::function<bool()>;

// Starts the video system. On failure (no display) returns false with a readable reason.
bool StartVideo(std::string& error);
void StopVideo();

// Opens the window for a picture of the given size. nullptr on failure, with the reason.
GameWindow* CreateGameWindow(const char* title, bool windowed, int pictureWidth, int pictureHeight,
                             std::string& error);
void DestroyGameWindow(GameWindow* window);

// Takes one pending event (or one message of an added source) and calls its handler. Returns false
// when nothing was pending, so the caller may run a frame.
bool DispatchOneMessage(GameWindow& window, const WindowHandlers& handlers);
// waitFd, when given, names the file descriptor the source's messages arrive on (it may change;
// -1: none), so that WaitForMessage wakes up for them.
void AddMessageSource(GameWindow& window, MessageSource source, std::function<int()> waitFd = {});
// Waits at most timeoutMs until a window event is pending or a source's descriptor is readable.
// True when something arrived; false on time-out.
bool WaitForMessage(GameWindow& window, int timeoutMs);

// Minimises the window (to the task bar, or as the desktop hides windows).
void MinimiseWindow(GameWindow& window);

// Shows the picture in the window (uploaded, scaled, presented).
void ShowPicture(GameWindow& window, DrawSurface& picture);

void SetSystemCursorVisible(bool visible);
void StartTextInput();
void StopTextInput();

}  // namespace platform
