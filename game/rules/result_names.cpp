#include "game/rules/result_names.h"

namespace rules {

namespace {

constexpr int kMaxResultRows = 10;

// Rows are strokes 1-10; columns par 3, 4, 5. A par's last filled row is its stroke limit.
const char kResultNames[3][kMaxResultRows][kResultNameSize] = {
    {"Hole in One", "Birdie", "Par", "Bogey", "Double Bogey", "Double Par"},
    {"Hole in One", "Eagle", "Birdie", "Par", "Bogey", "Double Bogey", "Triple Bogey", "Double Par"},
    {"Hole in One", "Double Eagle", "Eagle", "Birdie", "Par", "Bogey", "Double Bogey", "Triple Bogey",
     "Quadruple Bogey", "Double Par"},
};

}  // namespace

const char* ResultName(int par, int strokes) {
    if (par < 3 || par > 5 || strokes < 1 || strokes > kMaxResultRows) {
        return "";
    }
    return kResultNames[par - 3][strokes - 1];
}

}  // namespace rules
