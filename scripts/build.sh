#!/usr/bin/env bash
# Configures and builds one build tree.
#   scripts/build.sh                 normal build in build/
#   scripts/build.sh sanitize        AddressSanitizer + UndefinedBehaviorSanitizer build in build-asan/
#   scripts/build.sh fuzz            the libFuzzer targets only (clang) in build-fuzz/
#   scripts/build.sh tsan            ThreadSanitizer build of test_platform only (the 3D device's
#                                    threads are its reason) in build-tsan/
set -euo pipefail
cd "$(dirname "$0")/.."

kind=${1:-normal}
targets=()  # empty: every target
case "$kind" in
  normal)   dir=build;      opts=() ;;
  sanitize) dir=build-asan; opts=(-DBRIGHTLEA_SANITIZE=ON -DBRIGHTLEA_BENCH=OFF) ;;
  fuzz)     dir=build-fuzz; opts=(-DBRIGHTLEA_FUZZ=ON -DBRIGHTLEA_BENCH=OFF -DBRIGHTLEA_GAMEDATA=OFF
                                  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++)
            # Only the fuzz targets (and the libraries they link): the tests and programs are
            # built and run by the other two builds.
            for src in tests/fuzz/*.cpp; do name=$(basename "$src" .cpp); targets+=("fuzz_$name"); done ;;
  tsan)     dir=build-tsan; targets=(test_platform)
            tsan=(-fsanitize=thread -fno-omit-frame-pointer)
            opts=(-DBRIGHTLEA_BENCH=OFF -DBRIGHTLEA_GAMEDATA=OFF "-DCMAKE_C_FLAGS=${tsan[*]}"
                  "-DCMAKE_CXX_FLAGS=${tsan[*]}" -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread) ;;
  *) echo "usage: $0 [normal|sanitize|fuzz|tsan]" >&2; exit 2 ;;
esac

cmake -S . -B "$dir" -G Ninja "${opts[@]}" >/dev/null
cmake --build "$dir" -j "$(nproc)" ${targets[@]+--target "${targets[@]}"}
