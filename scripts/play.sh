#!/usr/bin/env bash
# Installs what is needed, builds, and starts the game.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
./scripts/build.sh normal
cd build/gamedata 2>/dev/null || { mkdir -p build/gamedata && cd build/gamedata; }
exec ../bin/Brightlea WINDOWMODE
