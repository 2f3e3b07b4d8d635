// The result banner and the scoreboard drawn over a scene, compared with stored pictures (a few
// pixels may differ where text is smoothed); and every board text kept inside its column with
// names of full length and extreme numbers in each language.
// BRIGHTLEA_UPDATE_REFERENCES=1 writes the stored pictures anew from this build.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "game/core/surface_kind.h"
#include "game/screens/scoreboard.h"
#include "game/screens/shot_result.h"
#include "platform/png_file.h"
#include "tests/screens/hud_fixture.h"

namespace screens {
namespace {

using hud_fixture::HudScreen;

constexpr int kChannelTolerance = 40;
constexpr int kPixelTolerance = 400;  // of 480000

int ChannelDistance(uint32_t a, uint32_t b) {
    int worst = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const int d = std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
        worst = d > worst ? d : worst;
    }
    return worst;
}

class ResultPictures : public HudScreen {
  protected:
    void SetUp() override {
        HudScreen::SetUp();
        view_.localTurn = false;
        LoadSwingSheet(sprites_, false, 1, 0);
    }

    void DrawScene(bool inset) {
        ResultScene scene;
        scene.picture.swingFrame = 1000;
        scene.picture.ballShown = true;
        scene.picture.ballX = 430;
        scene.picture.ballY = 310;
        scene.picture.ballSize = 5;
        scene.insetFrame = inset;
        DrawResultScene(Canvas(), scene);
    }

    void ExpectLikeReference(const std::string& name) {
        const std::string drawn = std::string(BRIGHTLEA_BIN_DIR) + "/result_" + name + ".png";
        ASSERT_EQ(platform::WritePng(*display_.backBuffer, drawn.c_str()), 0);
        const std::string stored =
            std::string(BRIGHTLEA_SOURCE_DIR) + "/tests/screens/pictures/" + name + ".png";
        if (std::getenv("BRIGHTLEA_UPDATE_REFERENCES") != nullptr) {
            std::filesystem::copy_file(drawn, stored, std::filesystem::copy_options::overwrite_existing);
        }
        int w1 = 0, h1 = 0, w2 = 0, h2 = 0;
        std::vector<uint32_t> expected, actual;
        ASSERT_EQ(platform::ReadPng(stored.c_str(), w1, h1, expected), 0) << "no stored picture " << stored;
        ASSERT_EQ(platform::ReadPng(drawn.c_str(), w2, h2, actual), 0);
        ASSERT_EQ(w1, w2);
        ASSERT_EQ(h1, h2);
        int differing = 0;
        for (size_t i = 0; i < expected.size(); ++i) {
            differing += ChannelDistance(expected[i], actual[i]) > kChannelTolerance ? 1 : 0;
        }
        EXPECT_LE(differing, kPixelTolerance) << name << " differs from " << stored << "; drawn: " << drawn;
    }

    ScoreboardView Board(BoardMode mode, int players) {
        ScoreboardView board;
        board.mode = mode;
        board.courseName = "Test Links";
        board.firstHole = 1;
        board.lastHole = 9;
        board.hole = 4;
        board.par = 3;
        board.playerCount = players;
        const char* names[4] = {"Ann", "Bob", "Cho", "Dee"};
        for (int slot = 0; slot < players; ++slot) {
            board.players[slot] = {names[slot], 2 + slot, slot - 1, 3 - slot, 250 * slot - 250};
        }
        return board;
    }
};

TEST_F(ResultPictures, StrokePlayTwoPlayers) {
    DrawScene(true);
    DrawScoreboardScreen(Canvas(), Board(BoardMode::StrokePlay, 2));
    ExpectLikeReference("board_stroke");
}

TEST_F(ResultPictures, SkinsFourPlayersWithContests) {
    DrawScene(true);
    ScoreboardView board = Board(BoardMode::Skins, 4);
    board.nearLongest = true;
    board.nearestPlayer = 1;
    DrawScoreboardScreen(Canvas(), board);
    ExpectLikeReference("board_skins");
}

TEST_F(ResultPictures, VegasOnTheLastHole) {
    DrawScene(false);
    ScoreboardView board = Board(BoardMode::Vegas, 4);
    board.hole = 9;
    DrawScoreboardScreen(Canvas(), board);
    ExpectLikeReference("board_vegas");
}

TEST_F(ResultPictures, BannerHoled) {
    DrawScene(false);
    ShotResultView banner;
    banner.shooterName = "Ann";
    banner.shooterLevel = 7;
    banner.outcome = {true, core::kSurfaceGreen, core::kSurfaceFairway, 4, 3, 134.0f};
    DrawShotResultBanner(Canvas(), banner);
    ExpectLikeReference("banner_holed");
}

TEST_F(ResultPictures, BannerOutOfBounds) {
    DrawScene(false);
    ShotResultView banner;
    banner.shooterName = "Bob";
    banner.outcome = {false, core::kSurfaceOutOfBounds, core::kSurfaceTee, 4, 1, 250.0f};
    DrawShotResultBanner(Canvas(), banner);
    ExpectLikeReference("banner_out");
}

TEST_F(ResultPictures, MissingHeaderStillDrawsTheBoard) {
    DrawScene(false);
    const std::vector<uint32_t> scene = Pixels();
    const ScoreboardView board = Board(BoardMode::Skins, 4);
    const BoardLayout layout = LayOutScoreboard(board, 0, 0, 800);
    DrawScoreboardTable(Canvas(), layout, present::FniImage{});
    // The header's place is darkened and the rows are written.
    EXPECT_GT(hud_fixture::CountDifferencesIn(scene, Pixels(), {layout.left, 112, layout.left + 420, 168}),
              20000);
    EXPECT_GT(hud_fixture::CountDifferencesIn(scene, Pixels(), layout.bands[4]), 500);
}

// Names of full length (12 bytes) in the widest letters, five-digit and negative numbers: each text
// of each language fits the width of its column.
TEST_F(ResultPictures, EveryTextKeepsToItsColumn) {
    struct Language {
        platform::CodePage codePage;
        std::string name;
    };
    const Language languages[] = {{platform::CodePage::Western1252, "WWWWWWWWWWWW"},
                                  {platform::CodePage::Korean949, std::string(6, '\0')},
                                  {platform::CodePage::Japanese932, std::string(6, '\0')}};
    std::vector<Language> filled(std::begin(languages), std::end(languages));
    filled[1].name = "\xC6\x52\xC6\x52\xC6\x52\xC6\x52\xC6\x52\xC6\x52";  // a wide Hangul syllable x 6
    filled[2].name = "\xE9\x54\xE9\x54\xE9\x54\xE9\x54\xE9\x54\xE9\x54";  // a dense kanji x 6
    for (const Language& language : filled) {
        text_.codePage = language.codePage;
        ScoreboardView board = Board(BoardMode::Skins, 4);
        board.hole = board.lastHole;
        board.nearestPlayer = 0;
        board.longestPlayer = 2;
        board.courseName = std::string(40, 'M');
        const int balances[4] = {99999, -99999, 12345, 0};
        for (int slot = 0; slot < 4; ++slot) {
            BoardPlayer& player = board.players[slot];
            player.name = language.name;
            player.strokes = slot == 3 ? 10 : 1;
            player.toPar = slot == 0 ? 99 : -12;
            player.points = 99999;
            player.balance = balances[slot];
        }
        const BoardLayout layout = LayOutScoreboard(board, 420, 56, 800);
        for (const BoardText& item : layout.texts) {
            if (item.maxWidth == 0) {
                continue;
            }
            const std::string fitted = FitBoardText(Canvas(), item);
            EXPECT_LE(present::TextWidth(text_, fitted.c_str()), item.maxWidth) << item.text;
            if (item.font == BoardFont::Row && item.text.size() <= 6) {
                EXPECT_EQ(fitted, item.text) << "a number was cut";
            }
        }
    }
}

}  // namespace
}  // namespace screens
