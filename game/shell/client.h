#pragma once
// Everything one running game client owns. Each area keeps its state in its own record and the
// client gathers them, so several clients can run side by side in one process (tests).

#include <cstdint>
#include <string>

#include "game/core/random.h"
#include "game/course/main_view_reuse.h"
#include "game/course/scene_renderer.h"
#include "game/present/display.h"
#include "game/present/sound.h"
#include "game/present/text.h"
#include "game/rules/match_state.h"
#include "game/screens/hud.h"
#include "game/shell/chat/chat_state.h"
#include "game/shell/game_state.h"
#include "game/shell/launch/launch_config.h"
#include "game/shell/lobby/lobby_link.h"
#include "game/shell/match/match_extras.h"
#include "game/shell/match/turn_records.h"
#include "platform/clock.h"

namespace platform {
struct GameWindow;
}

namespace shell {

// The application shell: window flags, the frame state machine and its timers.
struct ShellState {
    platform::GameWindow* gameWindow = nullptr;  // nullptr when running without a window (tests)
    bool windowed = false;                       // the command line asked for a window instead of full screen
    bool active = false;                         // false while the window is minimised or hidden
    bool ready = false;                          // the display exists and the frame loop runs
    bool quitting = false;    // the game is ending: no more frames, mouse or lobby handling
    bool quitPosted = false;  // the window is gone and everything released: the main loop ends
    int exitCode = 0;
    bool japaneseInput = false;
    bool fullRedrawRequested = false;
    bool waitingNoticeArmed = false;
    uint32_t waitingNoticeTime = 0;
    GameState gameState = GameState::Startup;
    uint32_t stateEnteredMs = 0;     // clock time of the last state change
    bool chatWindowCovered = false;  // the loading picture was presented over the chat window

    std::string captureFolder;  // pictures are saved there at every state change; empty: never
    int captureCount = 0;
    GameState capturedState = GameState::Startup;
};

struct Client {
    present::Display display;
    platform::GameClock clock = platform::GameClock::Real();
    platform::GameClock realClock = platform::GameClock::RealUnscaled();  // the lobby link and frame pacing
    core::Rand15 rand;
    ShellState shell;
    LobbyLink lobby;
    LaunchConfig config;
    present::TextFont text;  // the font setting of the texts drawn into the picture
    course::HoleState hole;
    course::ViewState view;
    course::SceneInputs scene;        // what the match shows in the course view
    course::MainViewRecord mainView;  // the last drawn main view, put back when nothing in it changed
    present::SoundSystem sound;
    screens::Hud hud;  // the play screen's controls, their state and pictures
    rules::MatchState match;
    TurnClock turn;
    SwingState swing;
    ReplayState replay;
    ChatState chat;           // the chat lines on the screen and the input line
    MatchExtras matchExtras;  // the shot world's collision copy, the state log, the built-in player
};

}  // namespace shell
