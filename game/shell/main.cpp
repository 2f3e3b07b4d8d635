// Entry point of the game client.
#include "game/shell/entry.h"

int main(int argc, char** argv) {
    return shell::RunBrightlea(argc, argv);
}
