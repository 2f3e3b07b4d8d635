#!/usr/bin/env bash
# Checks that the game's error boxes appear on a plain X server (no helper programs): starts a
# virtual X server, runs the game in a folder without a match file, and looks for its "Error" box.
#   scripts/check-error-box.sh [build/bin/Brightlea]
set -euo pipefail
cd "$(dirname "$0")/.."
game=$(realpath "${1:-build/bin/Brightlea}")
work=$(mktemp -d)
display_file="$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 3>"$display_file" >/dev/null 2>&1 &
xvfb=$!
game_pid=
cleanup() {
  [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
# Xvfb names its display once it accepts connections; on a busy machine that can take seconds.
for _ in $(seq 300); do [ -s "$display_file" ] && break; sleep 0.1; done
[ -s "$display_file" ] || { echo "Xvfb gave no display within 30 s" >&2; exit 1; }
export DISPLAY=":$(cat "$display_file")"
mkdir "$work/game"
printf 'LANGUAGE ENG\r\n' >"$work/game/Option.ini"  # no Info/ENG/Start.ini: the game shows an error box
(cd "$work/game" && SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy ALSOFT_DRIVERS=null \
  BRIGHTLEA_INSTANCE="error-box-check-$$" exec "$game" WINDOWMODE >"$work/stderr" 2>&1) &
game_pid=$!
for _ in $(seq 100); do
  if xwininfo -root -tree 2>/dev/null | grep -q '"Error"'; then
    grep -q "match file" "$work/stderr" || { echo "the error text did not reach standard error" >&2; exit 1; }
    echo "error box shown"
    exit 0
  fi
  kill -0 "$game_pid" 2>/dev/null || break
  sleep 0.1
done
echo "no error box appeared; the game said:" >&2
cat "$work/stderr" >&2
exit 1
