#!/usr/bin/env bash
# Installs what is needed, checks the formatting, builds and runs every test: the normal build, both
# packages (built, then installed and removed in a temporary HOME), the sanitizer build, the 3D
# device's tests under ThreadSanitizer, and a short run of every fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."

# Each stage's wall time, printed at the end of the run (also when a stage fails), so that the
# command's share of CI's time limit stays visible.
stage_names=()
stage_seconds=()
stage_started=$SECONDS
stage() {
  if [ "${#stage_names[@]}" -gt 0 ]; then stage_seconds+=($((SECONDS - stage_started))); fi
  stage_names+=("$1")
  stage_started=$SECONDS
  echo "== $1"
}
report_stages() {
  local status=$?
  stage_seconds+=($((SECONDS - stage_started)))
  echo "== stage times"
  for i in "${!stage_names[@]}"; do
    printf '%6ds  %s\n' "${stage_seconds[$i]}" "${stage_names[$i]}"
  done
  printf '%6ds  total\n' "$SECONDS"
  return $status
}
trap report_stages EXIT

stage "packages needed"
./scripts/install-deps.sh

stage "formatting"
./scripts/check-format.sh

export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy ALSOFT_DRIVERS=null

stage "normal build"
./scripts/build.sh normal
stage "normal tests"
(cd build && ctest --output-on-failure -j "$(nproc)")
stage "error box on a plain X server"
./scripts/check-error-box.sh build/bin/Brightlea

stage "packages"
./scripts/package.sh build
./tests/installer/package_test.sh build

stage "sanitizer build"
./scripts/build.sh sanitize
stage "sanitizer tests"
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
   ctest --output-on-failure -j "$(nproc)")

stage "thread sanitizer build"
./scripts/build.sh tsan
stage "thread sanitizer: the 3D device's tests"
# The device's test suites, read from its test files so that new ones join by themselves.
device_suites=$(grep -ohE '^TEST(_F)?\([A-Za-z0-9_]+' tests/platform/device3d/*.cpp | sed -E 's/^TEST(_F)?\(//' |
  sort -u | sed 's/$/.*/' | paste -sd:)
TSAN_OPTIONS=halt_on_error=1 build-tsan/bin/test_platform --gtest_filter="$device_suites" --gtest_brief=1

stage "fuzz build"
./scripts/build.sh fuzz
stage "fuzz runs"
./scripts/fuzz.sh "${FUZZ_SECONDS:-10}"
