#!/usr/bin/env bash
# Installs what is needed, checks the formatting, builds and runs every test: the normal build, both
# packages (built, then installed and removed in a temporary HOME), the sanitizer build, the 3D
# device's tests under ThreadSanitizer, and a short run of every fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh

echo "== formatting"
./scripts/check-format.sh

export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy ALSOFT_DRIVERS=null

echo "== normal build"
./scripts/build.sh normal
(cd build && ctest --output-on-failure -j "$(nproc)")
echo "== error box on a plain X server"
./scripts/check-error-box.sh build/bin/Brightlea

echo "== packages"
./scripts/package.sh build
./tests/installer/package_test.sh build

echo "== sanitizer build"
./scripts/build.sh sanitize
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
   ctest --output-on-failure -j "$(nproc)")

echo "== thread sanitizer: the 3D device's tests"
./scripts/build.sh tsan
# The device's test suites, read from its test files so that new ones join by themselves.
device_suites=$(grep -ohE '^TEST(_F)?\([A-Za-z0-9_]+' tests/platform/device3d/*.cpp | sed -E 's/^TEST(_F)?\(//' |
  sort -u | sed 's/$/.*/' | paste -sd:)
TSAN_OPTIONS=halt_on_error=1 build-tsan/bin/test_platform --gtest_filter="$device_suites" --gtest_brief=1

echo "== fuzz targets"
./scripts/build.sh fuzz
./scripts/fuzz.sh "${FUZZ_SECONDS:-10}"
