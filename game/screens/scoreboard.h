#pragma once
// The end-of-hole scoreboard: the header picture, darkened bands, the titles (hole, course, mode),
// the column headings and one row per player. The layout is worked out apart from the drawing so
// that it can be checked without a picture.

#include <cstdint>
#include <string>
#include <vector>

#include "game/screens/hud_draw.h"
#include "platform/draw_surface.h"

namespace screens {

inline constexpr int kBoardRows = 4;
inline constexpr int kBoardBands = 5;
inline constexpr int kBoardTop = 112;
// The size the board is laid out for when the header picture is missing.
inline constexpr int kBoardHeaderWidth = 420;
inline constexpr int kBoardHeaderHeight = 56;
inline constexpr uint32_t kMarkColour = 0xEEEE00;
inline constexpr uint32_t kNumberColour = 0xEEEEEE;
inline constexpr uint32_t kGainColour = 0x9CFF00;
inline constexpr uint32_t kLossColour = 0xFF2708;

enum class BoardMode : uint8_t { StrokePlay, Skins, Vegas };

struct BoardPlayer {
    std::string name;
    int strokes = 0;  // on this hole
    int toPar = 0;    // total over par of the finished holes
    int points = 0;   // skins won so far
    int balance = 0;  // ball balance
};

struct ScoreboardView {
    BoardMode mode = BoardMode::StrokePlay;
    bool nearLongest = false;  // either contest option is on
    std::string courseName;
    int hole = 1;
    int firstHole = 1;
    int lastHole = 1;
    int par = 4;
    int playerCount = 1;
    BoardPlayer players[kBoardRows];
    int nearestPlayer = -1;
    int longestPlayer = -1;
};

const char* BoardModeName(BoardMode mode);
// Balances show in Vegas on every hole, in the other modes on the match's last hole only.
bool BalanceShown(BoardMode mode, bool lastHole);

enum class BoardFont : uint8_t {
    Title,    // 7 x 14 bold, the interface face
    Heading,  // 6 x 12 bold
    Row,      // 8 x 18 bold
};

struct BoardText {
    std::string text;
    int x = 0;
    int y = 0;
    int alignment = 0;  // present::kAlign...
    uint32_t colour = 0;
    BoardFont font = BoardFont::Row;
    int maxWidth = 0;  // 0: no limit; else the column's width the text must keep within
};

struct BoardLayout {
    int left = 0;  // x0: the header's left edge, columns are measured from it
    int headerWidth = 0;
    int headerHeight = 0;
    bool headerDrawn = false;  // false: the header's place is darkened instead
    platform::SurfaceRect bands[kBoardBands] = {};
    std::vector<BoardText> texts;
};

// The board for a header picture of that size (0 x 0 when it is missing) on a picture pictureWidth wide.
BoardLayout LayOutScoreboard(const ScoreboardView& view, int headerWidth, int headerHeight, int pictureWidth);

// Sets the canvas font for a text and returns the text as it is drawn: with the font narrowed step
// by step (down to half its width) while it is wider than its column, and what still does not fit
// cut between characters.
std::string FitBoardText(HudCanvas& canvas, const BoardText& item);

// Draws the laid-out board (the scene layer is drawn first by the caller), then the chat lines.
// header may be an empty record.
void DrawScoreboardTable(HudCanvas& canvas, const BoardLayout& layout, const present::FniImage& header);
// The whole board: loads "SHeader.fni" from the image folder, lays the board out for it, draws it
// and frees the picture. A missing header leaves the board laid out for the usual size.
void DrawScoreboardScreen(HudCanvas& canvas, const ScoreboardView& view);

}  // namespace screens
