#!/usr/bin/env bash
# Installs what is needed, builds, and starts a one-player match over the bundled course: the
# stand-in lobby Ravelin starts the game in a window and relays its messages.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
./scripts/build.sh normal
mkdir -p build/gamedata
# A whole round of the first course, holes 1 to 18, at the beginner's level: the gauge runs slowly,
# the margins for a clean hit are wide and the screen shows each step of a swing. Later options
# override these (--level 0 is the hardest).
exec build/bin/Ravelin --data build/gamedata --players Player1 --first-hole 1 --last-hole 18 --level 2 \
  --windowed "$@"
