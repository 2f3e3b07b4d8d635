// What the result banner and the scoreboard say: the score and balance texts, the banner's lines,
// which columns each mode fills and how texts are kept inside their columns.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <string>

#include "game/core/surface_kind.h"
#include "game/screens/score_text.h"
#include "game/screens/scoreboard.h"
#include "game/screens/shot_result.h"

namespace {

using screens::BoardMode;

std::string ToPar(int value) {
    char text[16];
    screens::FormatToPar(text, sizeof text, value);
    return text;
}

std::string Balance(int value) {
    char text[16];
    screens::FormatBalance(text, sizeof text, value);
    return text;
}

TEST(ScoreText, EvenPlusAndMinus) {
    EXPECT_EQ(ToPar(0), "E");
    EXPECT_EQ(ToPar(3), "+3");
    EXPECT_EQ(ToPar(-2), "-2");
    EXPECT_EQ(Balance(0), "0");
    EXPECT_EQ(Balance(120), "+120");
    EXPECT_EQ(Balance(-99999), "-99999");
}

// Eight pixels a byte: cuts must fall between whole characters of the code page.
int EightPerByte(const std::string& text) {
    return 8 * static_cast<int>(text.size());
}

TEST(ScoreText, FitCutsBetweenCharacters) {
    using platform::CodePage;
    EXPECT_EQ(screens::FitToWidth("Annabel", CodePage::Western1252, 100, EightPerByte), "Annabel");
    EXPECT_EQ(screens::FitToWidth("Annabel", CodePage::Western1252, 30, EightPerByte), "Ann");
    // Three Hangul syllables in CP949 (two bytes each): 40 pixels hold two of them, not two and a half.
    const std::string korean = "\xB0\xA1\xB3\xAA\xB4\xD9";
    EXPECT_EQ(screens::FitToWidth(korean, CodePage::Korean949, 40, EightPerByte), korean.substr(0, 4));
    // Shift-JIS: a half-width katakana is one byte, a kanji two.
    const std::string japanese = "\xB1\x88\x9F\xB2";
    EXPECT_EQ(screens::FitToWidth(japanese, CodePage::Japanese932, 24, EightPerByte), "\xB1\x88\x9F");
    // A lone lead byte at the end is dropped rather than drawn as half a character.
    EXPECT_EQ(screens::FitToWidth("A\xB0", CodePage::Korean949, 8, EightPerByte), "A");
    EXPECT_EQ(screens::FitToWidth("Ann", CodePage::Western1252, 0, EightPerByte), "");
}

screens::ShotResultLines Banner(bool holed, int rest, int start, int par, int strokes, float yards) {
    return screens::ComposeShotResult({holed, rest, start, par, strokes, yards});
}

TEST(ShotResultLines, LieAndDistance) {
    const auto fairway = Banner(false, core::kSurfaceFairway, core::kSurfaceTee, 4, 1, 231.6f);
    EXPECT_EQ(fairway.headline, "Fairway");
    EXPECT_EQ(fairway.distance, "231yd Shot");
    EXPECT_EQ(Banner(false, core::kSurfaceGreen, core::kSurfaceGreen, 4, 3, 3.456f).distance, "3.46yd Shot");
    const auto lost = Banner(false, core::kSurfaceOutOfBounds, core::kSurfaceTee, 4, 2, 250.0f);
    EXPECT_EQ(lost.headline, "Out of Bounds");
    EXPECT_EQ(lost.distance, "");
    EXPECT_EQ(Banner(false, core::kSurfaceWater, core::kSurfaceFairway, 4, 3, 120.0f).headline, "Water");
    // Nonsense from a damaged record gives no name and a sane number, not a crash.
    EXPECT_EQ(Banner(false, 77, 0, 4, 1, 1e30f).headline, "");
    EXPECT_EQ(Banner(false, core::kSurfaceRough, 0, 4, 1, -std::numeric_limits<float>::infinity()).distance,
              "0.00yd Shot");
}

TEST(ShotResultLines, HoledNamesTheResult) {
    const auto ace = Banner(true, core::kSurfaceGreen, core::kSurfaceTee, 3, 1, 162.0f);
    EXPECT_EQ(ace.headline, "Hole in One");
    EXPECT_EQ(ace.distance, "162yd Shot");
    EXPECT_EQ(Banner(true, core::kSurfaceGreen, core::kSurfaceGreen, 3, 6, 2.0f).headline, "Double Par");
    EXPECT_EQ(Banner(true, core::kSurfaceGreen, core::kSurfaceFairway, 5, 2, 240.0f).headline,
              "Double Eagle");
    // A putt holed from the green says no distance.
    EXPECT_EQ(Banner(true, core::kSurfaceGreen, core::kSurfaceGreen, 4, 4, 8.0f).distance, "");
    // Beyond the names of the table: the score to par.
    EXPECT_EQ(Banner(true, core::kSurfaceGreen, core::kSurfaceGreen, 6, 9, 1.0f).headline, "+3");
}

TEST(ShotResultLines, InsetFramedForAShotThatWentSomewhere) {
    EXPECT_TRUE(screens::InsetFramed(10.5f, core::kSurfaceFairway, core::kSurfaceTee));
    EXPECT_FALSE(screens::InsetFramed(10.0f, core::kSurfaceFairway, core::kSurfaceTee));
    EXPECT_FALSE(screens::InsetFramed(200.0f, core::kSurfaceWater, core::kSurfaceTee));
    EXPECT_FALSE(screens::InsetFramed(200.0f, core::kSurfaceOutOfBounds, core::kSurfaceTee));
    EXPECT_TRUE(screens::InsetFramed(0.5f, core::kSurfaceGreen, core::kSurfaceGreen));
}

screens::ScoreboardView Board(BoardMode mode, int players) {
    screens::ScoreboardView view;
    view.mode = mode;
    view.courseName = "Test Links";
    view.firstHole = 3;
    view.lastHole = 11;
    view.hole = 5;
    view.par = 3;
    view.playerCount = players;
    for (int slot = 0; slot < players; ++slot) {
        view.players[slot] = {"P" + std::to_string(slot), 3 + slot, slot - 1, 10 + slot, 500 * slot - 500};
    }
    return view;
}

const screens::BoardText* Find(const screens::BoardLayout& layout, const std::string& text) {
    const auto it = std::find_if(layout.texts.begin(), layout.texts.end(),
                                 [&](const screens::BoardText& t) { return t.text == text; });
    return it == layout.texts.end() ? nullptr : &*it;
}

TEST(ScoreboardLayout, TitlesAndBands) {
    const screens::BoardLayout layout = screens::LayOutScoreboard(Board(BoardMode::Skins, 2), 420, 56, 800);
    EXPECT_EQ(layout.left, 180);
    EXPECT_TRUE(layout.headerDrawn);
    EXPECT_EQ(layout.bands[0].top, 112 + 3 + 56);
    EXPECT_EQ(layout.bands[4].bottom, 112 + 128 + 29 + 56);
    EXPECT_EQ(layout.bands[2].right, 600);
    ASSERT_NE(Find(layout, "Hole 3 / 9 "), nullptr);
    EXPECT_EQ(Find(layout, "Hole 3 / 9 ")->y, 117);
    ASSERT_NE(Find(layout, "(Test Links)"), nullptr);
    ASSERT_NE(Find(layout, "Skins Match Play"), nullptr);
    EXPECT_EQ(Find(layout, "Skins Match Play")->colour, screens::kWhite);
    // Row i stands in band i + 1, below the headings' band.
    const screens::BoardText* name = Find(layout, "P1");
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->y, 112 + 56 + 8 + 64);
    EXPECT_GE(name->y, layout.bands[2].top);
    EXPECT_LE(name->y + 18, layout.bands[2].bottom + 1);
}

TEST(ScoreboardLayout, ColumnsPerMode) {
    // Stroke play before the last hole: no winnings, no balances.
    screens::BoardLayout stroke = screens::LayOutScoreboard(Board(BoardMode::StrokePlay, 4), 420, 56, 800);
    EXPECT_EQ(Find(stroke, "11"), nullptr);    // player 1's points
    EXPECT_EQ(Find(stroke, "+500"), nullptr);  // player 2's balance
    ASSERT_NE(Find(stroke, "E"), nullptr);     // player 1's total
    EXPECT_EQ(Find(stroke, "E")->x, 180 + 230);
    EXPECT_NE(Find(stroke, "Winning"), nullptr);  // the headings stay
    EXPECT_EQ(Find(stroke, "Near"), nullptr);
    // Skins: winnings, still no balances until the last hole.
    screens::BoardLayout skins = screens::LayOutScoreboard(Board(BoardMode::Skins, 4), 420, 56, 800);
    ASSERT_NE(Find(skins, "11"), nullptr);
    EXPECT_EQ(Find(skins, "11")->x, 180 + 327);
    EXPECT_EQ(Find(skins, "+500"), nullptr);
    // Vegas: balances on every hole, no winnings.
    screens::BoardLayout vegas = screens::LayOutScoreboard(Board(BoardMode::Vegas, 4), 420, 56, 800);
    EXPECT_EQ(Find(vegas, "11"), nullptr);
    ASSERT_NE(Find(vegas, "+500"), nullptr);
    EXPECT_EQ(Find(vegas, "+500")->colour, screens::kGainColour);
    ASSERT_NE(Find(vegas, "-500"), nullptr);
    EXPECT_EQ(Find(vegas, "-500")->colour, screens::kLossColour);
    EXPECT_EQ(Find(vegas, "0")->colour, screens::kLossColour);
    EXPECT_EQ(Find(vegas, "+500")->x, 180 + 396);
}

TEST(ScoreboardLayout, BalancesOnTheLastHole) {
    EXPECT_FALSE(screens::BalanceShown(BoardMode::StrokePlay, false));
    EXPECT_TRUE(screens::BalanceShown(BoardMode::StrokePlay, true));
    EXPECT_FALSE(screens::BalanceShown(BoardMode::Skins, false));
    EXPECT_TRUE(screens::BalanceShown(BoardMode::Skins, true));
    EXPECT_TRUE(screens::BalanceShown(BoardMode::Vegas, false));
    screens::ScoreboardView last = Board(BoardMode::StrokePlay, 2);
    last.hole = last.lastHole;
    EXPECT_NE(Find(screens::LayOutScoreboard(last, 420, 56, 800), "-500"), nullptr);
}

TEST(ScoreboardLayout, ContestMarks) {
    screens::ScoreboardView view = Board(BoardMode::Skins, 4);
    view.nearestPlayer = 0;  // 3 strokes on a par 3: marked
    view.longestPlayer = 2;  // 5 strokes: over par, not marked
    screens::BoardLayout layout = screens::LayOutScoreboard(view, 420, 56, 800);
    ASSERT_NE(Find(layout, "Nearest"), nullptr);
    EXPECT_EQ(Find(layout, "Nearest")->x, 180 + 178);
    EXPECT_EQ(Find(layout, "Nearest")->y, Find(layout, "P0")->y);
    EXPECT_EQ(Find(layout, "Longest"), nullptr);
    // The headings need the option; the marks do not.
    EXPECT_EQ(Find(layout, "Near"), nullptr);
    view.nearLongest = true;
    view.players[2].strokes = 3;
    layout = screens::LayOutScoreboard(view, 420, 56, 800);
    EXPECT_NE(Find(layout, "Near"), nullptr);
    EXPECT_EQ(std::count_if(layout.texts.begin(), layout.texts.end(),
                            [](const screens::BoardText& t) { return t.text == "Longest"; }),
              2);  // the heading and player 2's mark
}

TEST(ScoreboardLayout, MissingHeaderKeepsTheUsualPlaces) {
    const screens::ScoreboardView view = Board(BoardMode::Vegas, 4);
    const screens::BoardLayout without = screens::LayOutScoreboard(view, 0, 0, 800);
    const screens::BoardLayout with =
        screens::LayOutScoreboard(view, screens::kBoardHeaderWidth, screens::kBoardHeaderHeight, 800);
    EXPECT_FALSE(without.headerDrawn);
    EXPECT_EQ(without.left, with.left);
    EXPECT_EQ(without.bands[3].right, with.bands[3].right);
    ASSERT_EQ(without.texts.size(), with.texts.size());
}

TEST(ScoreboardLayout, AtMostFourRows) {
    screens::ScoreboardView view = Board(BoardMode::Skins, 4);
    view.playerCount = 9;
    const screens::BoardLayout layout = screens::LayOutScoreboard(view, 420, 56, 800);
    int lowest = 0;
    for (const screens::BoardText& text : layout.texts) {
        lowest = std::max(lowest, text.y);
    }
    EXPECT_LE(lowest + 18, layout.bands[4].bottom + 1);
}

}  // namespace
