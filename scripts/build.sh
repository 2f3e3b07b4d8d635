#!/usr/bin/env bash
# Configures and builds one build tree.
#   scripts/build.sh                 normal build in build/
#   scripts/build.sh sanitize        AddressSanitizer + UndefinedBehaviorSanitizer build in build-asan/
#   scripts/build.sh fuzz            libFuzzer targets (clang) in build-fuzz/
set -euo pipefail
cd "$(dirname "$0")/.."

kind=${1:-normal}
case "$kind" in
  normal)   dir=build;      opts=() ;;
  sanitize) dir=build-asan; opts=(-DBRIGHTLEA_SANITIZE=ON -DBRIGHTLEA_BENCH=OFF) ;;
  fuzz)     dir=build-fuzz; opts=(-DBRIGHTLEA_FUZZ=ON -DBRIGHTLEA_BENCH=OFF -DBRIGHTLEA_GAMEDATA=OFF
                                  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++) ;;
  *) echo "usage: $0 [normal|sanitize|fuzz]" >&2; exit 2 ;;
esac

cmake -S . -B "$dir" -G Ninja "${opts[@]}" >/dev/null
cmake --build "$dir" -j "$(nproc)"
