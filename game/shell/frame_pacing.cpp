#include "game/shell/frame_pacing.h"

#include "game/shell/client.h"
#include "game/shell/frame_tick.h"

namespace shell {

namespace {

// The states in which the frame tick takes a waiting game message.
bool TakesGameMessages(GameState state) {
    return state == GameState::Waiting || state == GameState::Playing;
}

uint32_t FrameIntervalMs(const Client& client) {
    const ShellState& shell = client.shell;
    if (IsLoadingState(shell.gameState) || shell.fullRedrawRequested ||
        (!client.lobby.gameQueue.empty() && TakesGameMessages(shell.gameState))) {
        return 0;
    }
    const bool animated = shell.gameState == GameState::Swing || shell.gameState == GameState::Replay;
    return animated ? kAnimatedFrameMs : kQuietFrameMs;
}

}  // namespace

uint32_t FrameWaitMs(const Client& client, uint32_t sinceLastFrameMs) {
    const uint32_t interval = FrameIntervalMs(client);
    return sinceLastFrameMs >= interval ? 0 : interval - sinceLastFrameMs;
}

}  // namespace shell
