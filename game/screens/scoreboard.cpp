#include "game/screens/scoreboard.h"

#include <cstdio>

#include "game/present/draw_primitives.h"
#include "game/screens/score_text.h"

namespace screens {
namespace {

constexpr int kBandSpacing = 32;
constexpr int kTitleRight = 574;
constexpr int kTitleRows[3] = {117, 134, 151};
// The header's left part carries the emblem; titles stay right of it.
constexpr int kEmblemWidth = 130;

// Row columns, as offsets from the board's left edge: where each text is anchored and how wide it
// may run before it would reach the next column.
constexpr int kNameX = 5;
constexpr int kNameWidth = 140;
constexpr int kMarkCentre = 178;
constexpr int kMarkWidth = 60;
constexpr int kTotalRight = 230;
constexpr int kTotalWidth = 22;
constexpr int kStrokesRight = 277;
constexpr int kStrokesWidth = 40;
constexpr int kWinningRight = 327;
constexpr int kWinningWidth = 44;
constexpr int kBalanceRight = 396;
constexpr int kBalanceWidth = 62;

struct Heading {
    const char* text;
    int x;
    int dy;
    bool contest;  // drawn only with the near/longest options
};

constexpr Heading kHeadings[] = {{"Screen name", 5, 6, false}, {"Near", 166, 0, true},
                                 {"Longest", 155, 13, true},   {"Total", 209, 0, false},
                                 {"Score", 208, 13, false},    {"Strokes", 248, 6, false},
                                 {"Winning", 297, 0, false},   {"Point", 305, 13, false},
                                 {"Ball", 365, 0, false},      {"Balance", 352, 13, false}};

struct Sizes {
    int width;
    int height;
};

Sizes FontSizes(BoardFont font) {
    switch (font) {
        case BoardFont::Title:
            return {7, 14};
        case BoardFont::Heading:
            return {6, 12};
        case BoardFont::Row:
            break;
    }
    return {8, 18};
}

std::string Number(int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    return text;
}

void AddTitles(const ScoreboardView& view, int left, std::vector<BoardText>& texts) {
    char line[160];
    std::snprintf(line, sizeof line, "Hole %d / %d ", view.hole - view.firstHole + 1,
                  view.lastHole - view.firstHole + 1);
    const int width = kTitleRight - left - kEmblemWidth;
    texts.push_back(
        {line, kTitleRight, kTitleRows[0], present::kAlignRight, kYellow, BoardFont::Title, width});
    std::snprintf(line, sizeof line, "(%s)", view.courseName.c_str());
    texts.push_back(
        {line, kTitleRight, kTitleRows[1], present::kAlignRight, kYellow, BoardFont::Title, width});
    texts.push_back({BoardModeName(view.mode), kTitleRight, kTitleRows[2], present::kAlignRight, kWhite,
                     BoardFont::Title, width});
}

void AddRow(const ScoreboardView& view, int slot, int left, int y, bool balanceShown,
            std::vector<BoardText>& texts) {
    const BoardPlayer& player = view.players[slot];
    texts.push_back({player.name, left + kNameX, y, present::kAlignLeft, kWhite, BoardFont::Row, kNameWidth});
    // A contest counts only for a player who took no more than par on the hole.
    if (player.strokes <= view.par) {
        const char* mark = slot == view.nearestPlayer   ? "Nearest"
                           : slot == view.longestPlayer ? "Longest"
                                                        : nullptr;
        if (mark != nullptr) {
            texts.push_back({mark, left + kMarkCentre, y, present::kAlignCenter, kMarkColour, BoardFont::Row,
                             kMarkWidth});
        }
    }
    char text[16];
    FormatToPar(text, sizeof text, player.toPar);
    texts.push_back(
        {text, left + kTotalRight, y, present::kAlignRight, kYellow, BoardFont::Row, kTotalWidth});
    texts.push_back({Number(player.strokes), left + kStrokesRight, y, present::kAlignRight, kNumberColour,
                     BoardFont::Row, kStrokesWidth});
    if (view.mode == BoardMode::Skins) {
        texts.push_back({Number(player.points), left + kWinningRight, y, present::kAlignRight, kNumberColour,
                         BoardFont::Row, kWinningWidth});
    }
    if (balanceShown) {
        FormatBalance(text, sizeof text, player.balance);
        texts.push_back({text, left + kBalanceRight, y, present::kAlignRight,
                         player.balance > 0 ? kGainColour : kLossColour, BoardFont::Row, kBalanceWidth});
    }
}

}  // namespace

std::string FitBoardText(HudCanvas& canvas, const BoardText& item) {
    const Sizes sizes = FontSizes(item.font);
    int width = sizes.width;
    present::SetTextFont(canvas.text, canvas.face, width, sizes.height, true);
    if (item.maxWidth <= 0) {
        return item.text;
    }
    while (present::TextWidth(canvas.text, item.text.c_str()) > item.maxWidth &&
           width > (sizes.width + 1) / 2) {
        --width;
        present::SetTextFont(canvas.text, canvas.face, width, sizes.height, true);
    }
    return FitToWidth(item.text, canvas.text.codePage, item.maxWidth,
                      [&](const std::string& t) { return present::TextWidth(canvas.text, t.c_str()); });
}

const char* BoardModeName(BoardMode mode) {
    switch (mode) {
        case BoardMode::Skins:
            return "Skins Match Play";
        case BoardMode::Vegas:
            return "Vegas Match Play";
        case BoardMode::StrokePlay:
            break;
    }
    return "Stroke Play";
}

bool BalanceShown(BoardMode mode, bool lastHole) {
    return mode == BoardMode::Vegas || lastHole;
}

BoardLayout LayOutScoreboard(const ScoreboardView& view, int headerWidth, int headerHeight,
                             int pictureWidth) {
    BoardLayout layout;
    layout.headerDrawn = headerWidth > 0 && headerHeight > 0;
    layout.headerWidth = layout.headerDrawn ? headerWidth : kBoardHeaderWidth;
    layout.headerHeight = layout.headerDrawn ? headerHeight : kBoardHeaderHeight;
    const int left = (pictureWidth - layout.headerWidth) / 2 - 10;
    const int hh = layout.headerHeight;
    layout.left = left;
    for (int i = 0; i < kBoardBands; ++i) {
        layout.bands[i] = {left, kBoardTop + kBandSpacing * i + 3 + hh, left + layout.headerWidth,
                           kBoardTop + kBandSpacing * i + 29 + hh};
    }
    AddTitles(view, left, layout.texts);
    const int headingTop = kBoardTop + 5 + hh;
    for (const Heading& heading : kHeadings) {
        if (!heading.contest || view.nearLongest) {
            layout.texts.push_back({heading.text, left + heading.x, headingTop + heading.dy,
                                    present::kAlignLeft, kWhite, BoardFont::Heading, 0});
        }
    }
    const bool balanceShown = BalanceShown(view.mode, view.hole >= view.lastHole);
    const int rows = view.playerCount < kBoardRows ? view.playerCount : kBoardRows;
    for (int slot = 0; slot < rows; ++slot) {
        AddRow(view, slot, left, kBoardTop + hh + 8 + kBandSpacing * (slot + 1), balanceShown, layout.texts);
    }
    return layout;
}

void DrawScoreboardTable(HudCanvas& canvas, const BoardLayout& layout, const present::FniImage& header) {
    if (canvas.display.backBuffer == nullptr) {
        return;
    }
    platform::DrawSurface& back = *canvas.display.backBuffer;
    if (layout.headerDrawn) {
        DrawPicture(back, header, layout.left, kBoardTop);
    } else {
        present::DarkenRect(back, {layout.left, kBoardTop, layout.left + layout.headerWidth,
                                   kBoardTop + layout.headerHeight});
    }
    for (const platform::SurfaceRect& band : layout.bands) {
        present::DarkenRect(back, band);
    }
    for (const BoardText& item : layout.texts) {
        const std::string text = FitBoardText(canvas, item);
        present::DrawTextAt(canvas.text, back, item.x, item.y, item.colour, text.c_str(), item.alignment);
    }
    DrawChatLines(canvas);
}

void DrawScoreboardScreen(HudCanvas& canvas, const ScoreboardView& view) {
    if (canvas.display.backBuffer == nullptr) {
        return;
    }
    const std::string& dir = canvas.sprites.gameDir;
    const std::string path = dir.empty() ? "Image/SHeader.fni" : dir + "/Image/SHeader.fni";
    present::FniImage header;
    present::LoadFni(header, path.c_str(), true);
    const BoardLayout layout =
        LayOutScoreboard(view, header.width, header.height, canvas.display.backBuffer->width);
    DrawScoreboardTable(canvas, layout, header);
    present::FreeFni(header);
}

}  // namespace screens
