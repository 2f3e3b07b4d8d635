#include "game/shell/entry.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "game/core/game_paths.h"
#include "game/shell/client.h"
#include "game/shell/command_line.h"
#include "game/shell/frame_pacing.h"
#include "game/shell/frame_tick.h"
#include "game/shell/match/match_steps.h"
#include "game/shell/steps/chat_steps.h"
#include "game/shell/steps/config_steps.h"
#include "game/shell/steps/lobby_steps.h"
#include "game/shell/view/sounds.h"
#include "game/shell/window_messages.h"
#include "platform/instance_lock.h"
#include "platform/png_file.h"
#include "platform/window.h"
#include "platform/window_icon.h"

namespace shell {

namespace {

const char* EnvOr(const char* name, const char* fallback) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? value : fallback;
}

// The game's icon from the game directory; without it the desktop shows its own.
void ShowWindowIcon(platform::GameWindow& window) {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    if (platform::ReadPngArgb(core::DataPath(core::kFolderImage, "Icon.png").text, width, height, pixels) ==
        0) {
        platform::SetWindowIcon(window, pixels, width, height);
    }
}

// Start-up after the window exists. false: start-up was abandoned.
bool StartGame(Client& client) {
    ShellState& shell = client.shell;
    ConnectLobby(client);
    CreateChatInput(client);
    InitSoundSystem(client);
    if (ReadLaunchConfig(client) < 0) {
        return false;
    }
    SetUpLanguageInput(client);
    if (present::InitDisplay(client.display, shell.gameWindow, client.clock.NowMs()) < 0) {
        std::fprintf(stderr, "Brightlea: the display could not be created\n");
        return false;
    }
    WorkOutPowerShotAllowance(client);
    shell.captureFolder = EnvOr("BRIGHTLEA_CAPTURE", "");
    SetUpMatchSwitches(client, EnvOr("BRIGHTLEA_AUTOPLAY", ""), EnvOr("BRIGHTLEA_STATE_LOG", ""));
    shell.ready = true;
    SetGameState(client, GameState::Startup);
    return true;
}

// Every waiting message is handled first; then a frame runs when one is due (see frame_pacing.h),
// and until then the loop waits for the next message instead of spinning.
void RunMainLoop(Client& client) {
    const platform::WindowHandlers handlers = MakeWindowHandlers(client);
    uint32_t lastFrameMs = client.realClock.NowMs();
    while (!client.shell.quitPosted) {
        if (platform::DispatchOneMessage(*client.shell.gameWindow, handlers)) {
            continue;
        }
        const uint32_t now = client.realClock.NowMs();
        const uint32_t wait = client.shell.quitting ? kQuietFrameMs : FrameWaitMs(client, now - lastFrameMs);
        if (wait > 0) {
            platform::WaitForMessage(*client.shell.gameWindow, static_cast<int>(wait));
            continue;
        }
        lastFrameMs = now;
        FrameTick(client);
    }
}

}  // namespace

int RunBrightlea(int argc, const char* const* argv) {
    platform::InstanceLock* lock = platform::AcquireInstanceLock(EnvOr("BRIGHTLEA_INSTANCE", "Brightlea"));
    if (lock == nullptr) {
        return 0;  // another game is running
    }
    auto client = std::make_unique<Client>();
    ShellState& shell = client->shell;
    shell.windowed = IsWindowModeCommandLine(argc, argv);
    client->display.windowed = shell.windowed ? 1 : 0;
    client->display.cursorShown = 0;

    std::string error;
    if (!platform::StartVideo(error)) {
        std::fprintf(stderr,
                     "Brightlea: no display available (%s).\n"
                     "Start it from a desktop session, or set SDL_VIDEODRIVER=dummy to run without one.\n",
                     error.c_str());
        platform::ReleaseInstanceLock(lock);
        return 1;
    }
    shell.gameWindow = platform::CreateGameWindow("TovaGolf", shell.windowed, client->display.displayWidth,
                                                  client->display.displayHeight, error);
    if (shell.gameWindow == nullptr) {
        std::fprintf(stderr, "Brightlea: the game window could not be opened (%s).\n", error.c_str());
        platform::StopVideo();
        platform::ReleaseInstanceLock(lock);
        return 1;
    }
    ShowWindowIcon(*shell.gameWindow);
    shell.active = true;
    int exitCode = 0;
    if (StartGame(*client)) {
        RunMainLoop(*client);
        exitCode = shell.exitCode;
    } else {
        present::ReleaseDisplay(client->display);
        exitCode = 1;  // no match file, no display: the game could not start
    }
    FinishLobby(*client);  // the lobby gets our last reports before the connection ends
    platform::DestroyGameWindow(shell.gameWindow);
    shell.gameWindow = nullptr;
    platform::StopVideo();
    platform::ReleaseInstanceLock(lock);
    return exitCode;
}

}  // namespace shell
