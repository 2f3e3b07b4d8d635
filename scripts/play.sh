#!/usr/bin/env bash
# Installs what is needed, builds, and starts a one-player match over the bundled course: the
# stand-in lobby Ravelin starts the game in a window and relays its messages.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
./scripts/build.sh normal
mkdir -p build/gamedata
# A whole round of the first course: holes 1 to 18 (later options override these).
exec build/bin/Ravelin --data build/gamedata --players Player1 --first-hole 1 --last-hole 18 --windowed "$@"
