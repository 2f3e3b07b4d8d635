#include "platform/window.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <vector>

#include "platform/lobby_socket.h"

namespace {

// Runs with SDL's dummy video driver (set for every test): the window exists without a screen.
TEST(GameWindow, ShowsPicturesAndPollsAddedSourcesWhenNoEventWaits) {
    std::string error;
    ASSERT_TRUE(platform::StartVideo(error)) << error;
    platform::GameWindow* window = platform::CreateGameWindow("test", true, 80, 60, error);
    ASSERT_NE(window, nullptr) << error;
    platform::DrawSurface* picture = platform::CreateDrawSurface(80, 60, platform::kRgb565);
    platform::ShowPicture(*window, *picture);
    platform::ShowPicture(*window, *picture);

    int pending = 2;
    int polls = 0;
    platform::AddMessageSource(*window, [&] {
        ++polls;
        if (pending == 0) {
            return false;
        }
        --pending;
        return true;
    });
    platform::WindowHandlers handlers;  // no handlers: events are taken and dropped
    int dispatched = 0;
    while (platform::DispatchOneMessage(*window, handlers) && dispatched < 1000) {
        ++dispatched;
    }
    EXPECT_EQ(pending, 0);  // both source messages were delivered before the pump ran dry
    EXPECT_GE(polls, 3);
    EXPECT_FALSE(platform::DispatchOneMessage(*window, handlers));

    platform::ReleaseDrawSurface(picture);
    platform::DestroyGameWindow(window);
    platform::StopVideo();
}

TEST(GameWindow, WaitingForAMessageWakesForASourceDescriptor) {
    std::string error;
    ASSERT_TRUE(platform::StartVideo(error)) << error;
    platform::GameWindow* window = platform::CreateGameWindow("test", true, 80, 60, error);
    ASSERT_NE(window, nullptr) << error;
    platform::WindowHandlers handlers;
    while (platform::DispatchOneMessage(*window, handlers)) {
    }
    auto pair = platform::LobbySocket::Pair();
    platform::LobbySocket& lobby = pair.first;
    platform::LobbySocket& client = pair.second;
    platform::AddMessageSource(
        *window, [] { return false; }, [&client] { return client.Fd(); });
    EXPECT_FALSE(platform::WaitForMessage(*window, 30));
    const uint8_t byte = 1;
    ASSERT_EQ(lobby.TrySend(&byte, 1), platform::SendResult::kSent);
    EXPECT_TRUE(platform::WaitForMessage(*window, 5000));
    platform::DestroyGameWindow(window);
    platform::StopVideo();
}

// Alt+Tab away from the full-screen game: the window is minimised and the game told it is hidden;
// a window on the desktop keeps showing when it loses the focus.
TEST(GameWindow, LosingTheFocusMinimisesOnlyAFullScreenWindow) {
    std::string error;
    ASSERT_TRUE(platform::StartVideo(error)) << error;
    for (const bool windowed : {false, true}) {
        platform::GameWindow* window = platform::CreateGameWindow("test", windowed, 80, 60, error);
        ASSERT_NE(window, nullptr) << error;
        platform::WindowHandlers handlers;
        std::vector<bool> sizes;
        handlers.onSize = [&](bool hidden) { sizes.push_back(hidden); };
        while (platform::DispatchOneMessage(*window, handlers)) {
        }
        sizes.clear();
        SDL_Event focus{};
        focus.type = SDL_WINDOWEVENT;
        focus.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
        SDL_PushEvent(&focus);
        while (platform::DispatchOneMessage(*window, handlers)) {
        }
        if (windowed) {
            EXPECT_TRUE(sizes.empty());
        } else {
            EXPECT_EQ(sizes, std::vector<bool>{true});
        }
        platform::DestroyGameWindow(window);
    }
    platform::StopVideo();
}

}  // namespace
