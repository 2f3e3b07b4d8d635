#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "game/present/draw_primitives.h"
#include "game/shell/capture.h"
#include "game/shell/client.h"
#include "game/shell/command_line.h"
#include "game/shell/frame_tick.h"
#include "game/shell/view/hole_scene.h"
#include "game/shell/window_messages.h"
#include "platform/keys.h"
#include "tests/course/hole_files.h"
#include "tests/present/fni_bytes.h"

namespace {

using platform::ReadPixelRgb;
using shell::Client;
using shell::FrameTick;
using shell::GameState;

TEST(CommandLine, OnlyExactlyWindowmodeIsWindowed) {
    const char* exact[] = {"Brightlea", "WINDOWMODE"};
    const char* lower[] = {"Brightlea", "windowmode"};
    const char* blank[] = {"Brightlea", "WINDOWMODE "};
    const char* two[] = {"Brightlea", "WINDOWMODE", "x"};
    EXPECT_TRUE(shell::IsWindowModeCommandLine(2, exact));
    EXPECT_FALSE(shell::IsWindowModeCommandLine(2, lower));
    EXPECT_FALSE(shell::IsWindowModeCommandLine(2, blank));
    EXPECT_FALSE(shell::IsWindowModeCommandLine(3, two));
    EXPECT_FALSE(shell::IsWindowModeCommandLine(1, exact));
}

// A client without a window, on the test clock, in a game folder of its own.
class FrameLoop : public ::testing::Test {
  protected:
    void SetUp() override {
        previous_ = std::filesystem::current_path();
        dir_ = std::filesystem::temp_directory_path() / ("frame_loop_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_ / "Image");
        std::filesystem::current_path(dir_);
        fixtures::WriteHoleFiles(dir_, 0, 0);
        client_ = std::make_unique<Client>();
        client_->clock = platform::GameClock::Test(1000);
    }
    void TearDown() override {
        course::UnloadHole(client_->hole);
        present::ReleaseDisplay(client_->display);
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(dir_);
    }
    void WritePicture(const char* name, int w, int h, uint8_t index) {
        const std::vector<fni_bytes::Color> palette = {{0, 0, 0, 0}, {0, 0, 0xFF, 0}, {0, 0xFF, 0, 0}};
        const std::vector<uint8_t> px(static_cast<size_t>(w) * h, index);
        const auto bytes = fni_bytes::File(static_cast<uint16_t>(w), static_cast<uint16_t>(h), 0, palette,
                                           fni_bytes::Encode(px, w, 0));
        std::ofstream(dir_ / "Image" / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    void Start() {
        ASSERT_EQ(present::InitDisplay(client_->display, nullptr, client_->clock.NowMs()), 0);
        client_->shell.active = true;
        client_->shell.ready = true;
    }
    void Enter(GameState state) {
        shell::SetGameState(*client_, state);
        client_->shell.capturedState = state;
    }
    void Tick(uint32_t advanceMs = 0) {
        client_->clock.Advance(advanceMs);
        FrameTick(*client_);
    }
    uint32_t Screen(int x, int y) { return ReadPixelRgb(*client_->display.primarySurface, x, y); }
    uint32_t Back(int x, int y) { return ReadPixelRgb(*client_->display.backBuffer, x, y); }
    void PaintBack(uint32_t rgb) { present::FillSurface(*client_->display.backBuffer, rgb); }

    std::unique_ptr<Client> client_;
    std::filesystem::path dir_;
    std::filesystem::path previous_;
};

TEST_F(FrameLoop, StartsWithTheLoadingPictureAndWaitsAfterTheHoleLoads) {
    WritePicture("Main_start.fni", 10, 8, 1);
    Start();
    Tick();
    EXPECT_EQ(client_->shell.gameState, GameState::LoadHole);
    EXPECT_EQ(Screen(0, 0), 0xFF0000u);  // presented during the start-up frame
    EXPECT_EQ(Screen(9, 7), 0xFF0000u);
    EXPECT_EQ(Screen(10, 7), 0x000000u);  // the rest of the loading screen is black
    Tick();
    EXPECT_EQ(client_->shell.gameState, GameState::Waiting);
}

TEST_F(FrameLoop, HoleIsLoadedAndPreparedAndAMissingHoleEndsTheGame) {
    Start();
    Tick();
    Tick();
    ASSERT_NE(client_->hole.HoleModel, nullptr);
    EXPECT_TRUE(client_->hole.prepared);
    EXPECT_FALSE(client_->shell.quitting);

    std::filesystem::remove(dir_ / "Map" / "Club_00" / "Hole_00" / "HoleData.fnx");
    Enter(GameState::LoadHole);
    Tick();
    EXPECT_TRUE(client_->shell.quitting);
    EXPECT_EQ(client_->hole.HoleModel, nullptr);
}

TEST_F(FrameLoop, RebuiltDisplayRedrawsTheCourseOnlyWhileItIsShown) {
    Start();
    Tick();
    Tick();
    PaintBack(0x00FF00);
    shell::RebuildSceneResources(*client_);  // still waiting for the first turn: nothing to show
    EXPECT_EQ(Back(400, 5), 0x00FF00u);
    Enter(GameState::Playing);
    shell::RebuildSceneResources(*client_);
    EXPECT_NE(Back(400, 5), 0x00FF00u);  // the sky of the redrawn scene
    EXPECT_NE(Back(400, 590), 0x00FF00u);
}

TEST_F(FrameLoop, MissingLoadingPictureLeavesTheScreenBlack) {
    Start();
    PaintBack(0x00FF00);
    Tick();
    EXPECT_EQ(client_->shell.gameState, GameState::LoadHole);
    EXPECT_EQ(Screen(400, 300), 0x000000u);
}

TEST_F(FrameLoop, FullRedrawRequestSkipsPresentingForExactlyOneFrame) {
    Start();
    Enter(GameState::Waiting);
    Tick();
    PaintBack(0x0000FF);
    shell::RequestFullRedraw(*client_);
    Tick();
    EXPECT_EQ(Screen(5, 5), 0x000000u);
    EXPECT_FALSE(client_->shell.fullRedrawRequested);
    Tick();
    EXPECT_EQ(Screen(5, 5), 0x0000FFu);
}

TEST_F(FrameLoop, CursorStepsNoFasterThanEvery125MsAndOnlyWhileShown) {
    Start();
    Enter(GameState::Waiting);
    std::vector<int> frames;
    for (int i = 0; i < 12; ++i) {
        Tick(50);
        frames.push_back(client_->display.cursorFrame);
    }
    EXPECT_EQ(frames, std::vector<int>(12, 0));
    client_->display.cursorShown = 1;
    client_->display.cursorFrameTime = client_->clock.NowMs();
    frames.clear();
    for (int i = 0; i < 12; ++i) {
        Tick(50);  // a step once 150 ms have gone by
        frames.push_back(client_->display.cursorFrame);
    }
    EXPECT_EQ(frames, (std::vector<int>{0, 0, 1, 1, 1, 2, 2, 2, 0, 0, 0, 1}));
}

TEST_F(FrameLoop, WaitingNoticeAppearsEveryTenSeconds) {
    Start();
    Enter(GameState::Waiting);
    PaintBack(0x0000FF);
    Tick();
    EXPECT_TRUE(client_->shell.waitingNoticeArmed);
    Tick(9999);
    EXPECT_EQ(Back(150, 260), 0x0000FFu);
    Tick(1);
    EXPECT_FALSE(client_->shell.waitingNoticeArmed);
    EXPECT_EQ(Back(150, 260), 0xFFFF00u);  // frame
    EXPECT_EQ(Back(650, 340), 0xFFFF00u);  // frame corners are inclusive
    EXPECT_EQ(Back(400, 330), 0x000000u);  // inside
    EXPECT_EQ(Back(149, 260), 0x0000FFu);
    Tick();
    EXPECT_TRUE(client_->shell.waitingNoticeArmed);  // armed again on the next frame
    Enter(GameState::Playing);
    Tick();
    EXPECT_FALSE(client_->shell.waitingNoticeArmed);  // leaving Waiting disarms it
}

TEST_F(FrameLoop, ResultAndScoreboardLeaveAfterTheirTime) {
    Start();
    Enter(GameState::ShotResult);
    Tick(1999);
    EXPECT_EQ(client_->shell.gameState, GameState::ShotResult);
    Tick(1);
    EXPECT_EQ(client_->shell.gameState, GameState::Waiting);
    Enter(GameState::Scoreboard);
    Tick(4999);
    EXPECT_EQ(client_->shell.gameState, GameState::Scoreboard);
    Tick(1);
    EXPECT_EQ(client_->shell.gameState, GameState::Waiting);
}

TEST_F(FrameLoop, UnusedStatesDoNothingButRedrawTheLoadingPicture) {
    WritePicture("Main_start.fni", 4, 4, 2);
    Start();
    for (int state : {1, 3, 9}) {
        Enter(static_cast<GameState>(state));
        PaintBack(0x0000FF);
        Tick(10000);
        EXPECT_EQ(static_cast<int>(client_->shell.gameState), state);
        EXPECT_EQ(Back(0, 0), 0x0000FFu);
    }
    Enter(static_cast<GameState>(1));
    shell::FullRedraw(*client_);
    EXPECT_EQ(Back(0, 0), 0x00FF00u);
    EXPECT_EQ(Back(4, 4), 0x000000u);
}

TEST_F(FrameLoop, MinimisedWindowPresentsNothingAndComesBackRebuilt) {
    Start();
    Enter(GameState::Waiting);
    Tick();
    shell::OnSize(*client_, true);
    EXPECT_FALSE(client_->shell.active);
    PaintBack(0xFF0000);
    Tick();
    EXPECT_EQ(Screen(1, 1), 0x000000u);
    shell::OnPaint(*client_);
    EXPECT_EQ(Screen(1, 1), 0x000000u);
    shell::OnSize(*client_, false);
    EXPECT_TRUE(client_->shell.active);
    EXPECT_TRUE(client_->shell.ready);
    ASSERT_NE(client_->display.backBuffer, nullptr);
    EXPECT_EQ(Back(1, 1), 0x000000u);  // a new, empty display
    PaintBack(0x00FF00);
    Tick();
    EXPECT_EQ(Screen(1, 1), 0x00FF00u);
}

TEST_F(FrameLoop, ClosingReleasesEverythingAndStopsFramesAndMouse) {
    Start();
    Enter(GameState::Waiting);
    shell::OnMouseMove(*client_, 12, 34);
    EXPECT_EQ(client_->display.cursorX, 12);
    EXPECT_EQ(client_->display.cursorY, 34);
    shell::OnClose(*client_);
    EXPECT_TRUE(client_->shell.quitting);
    EXPECT_TRUE(client_->shell.quitPosted);
    EXPECT_EQ(client_->display.primarySurface, nullptr);
    shell::OnMouseMove(*client_, 50, 60);
    EXPECT_EQ(client_->display.cursorX, 12);
    shell::OnSize(*client_, false);  // no rebuild once quitting
    EXPECT_EQ(client_->display.primarySurface, nullptr);
    Tick(1000);
    shell::OnClose(*client_);  // a second close is harmless
}

TEST_F(FrameLoop, CapturesEveryStateChangeTheEndAndF12) {
    Start();
    client_->shell.captureFolder = (dir_ / "captures").string();
    Tick();  // Startup -> LoadHole
    Tick();  // LoadHole -> Waiting
    Tick();  // no change
    shell::OnKey(*client_, platform::kKeyF12, true);
    shell::OnKey(*client_, platform::kKeyF12, false);
    shell::OnClose(*client_);
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir_ / "captures")) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"end-0004.png", "screenshot-0003.png", "state02-0001.png",
                                               "state10-0002.png"}));
}

TEST(Capture, NamesSkipFilesThatExist) {
    const auto dir = std::filesystem::temp_directory_path() / ("capture_names_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "shot-0001.png") << "x";
    int counter = 0;
    EXPECT_EQ(shell::NextCapturePath(dir.string(), "shot", counter), (dir / "shot-0002.png").string());
    EXPECT_EQ(counter, 2);
    std::filesystem::remove_all(dir);
}

}  // namespace
