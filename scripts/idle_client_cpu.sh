#!/usr/bin/env bash
# Prints the share of a core that one idle game client uses: Ravelin starts one client without a
# screen (SDL dummy driver); after it has settled its CPU time is read from /proc over a while.
#   scripts/idle_client_cpu.sh [SECONDS] [RAVELIN OPTIONS...]
# With no options the client waits for its first turn (the waiting screen); pass
# --autoplay --time-scale 1 once the match flow plays, to measure the play screen.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-10}
shift || true
work=$(mktemp -d /tmp/idle-client.XXXXXX)
SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy ALSOFT_DRIVERS=null build/bin/Ravelin --data build/gamedata \
  --players Ann --work "$work/m" --max-seconds $((seconds + 8)) "$@" </dev/null >/dev/null 2>"$work/log" &
lobby=$!
sleep 4
client=$(pgrep -P "$lobby" -x Brightlea || pgrep -f "$work/m/client-0" | head -1 || true)
if [ -z "$client" ]; then
  echo "no client running; Ravelin's log:" >&2
  cat "$work/log" >&2
  exit 1
fi
ticks() { awk '{print $14 + $15}' "/proc/$client/stat"; }
before=$(ticks)
sleep "$seconds"
after=$(ticks)
hz=$(getconf CLK_TCK)
echo "idle client: $(( (after - before) * 1000 / hz / seconds / 10 )).$(( (after - before) * 1000 / hz / seconds % 10 ))% of a core over $seconds s"
wait "$lobby" || true
rm -rf "$work"
