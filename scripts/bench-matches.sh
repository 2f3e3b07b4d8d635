#!/usr/bin/env bash
# Plays N matches of four built-in players over every hole of the demo course through Ravelin with
# --check-sync, and prints the matches played, shots, desyncs and the wall time.
#   scripts/bench-matches.sh [N] [TIME_SCALE]
set -uo pipefail
cd "$(dirname "$0")/.."
n=${1:-10}
scale=${2:-4}
work=$(mktemp -d /tmp/brightlea-bench-XXXXXX)
played=0 shots=0 desyncs=0 failed=0
start=$(date +%s)
for i in $(seq 1 "$n"); do
  SDL_VIDEODRIVER=dummy build/bin/Ravelin --data build/gamedata --players Ann,Bob,Cid,Dee \
    --first-hole 1 --last-hole 9 --autoplay --check-sync --time-scale "$scale" \
    --work "$work/m$i" --max-seconds 3600 < /dev/null > "$work/m$i.jsonl" 2> "$work/m$i.log"
  status=$?
  if grep -q '"agree":true' "$work/m$i.jsonl"; then
    played=$((played + 1))
  elif grep -q '"agree":false' "$work/m$i.jsonl"; then
    desyncs=$((desyncs + 1))
  fi
  [ "$status" -ne 0 ] && failed=$((failed + 1))
  shots=$((shots + $(grep -c '^shot ' "$work/m$i/client-0/state.log" 2>/dev/null || echo 0)))
  echo "match $i: status $status, $(grep -c '^shot ' "$work/m$i/client-0/state.log" 2>/dev/null || echo 0) shots"
done
end=$(date +%s)
echo "matches played in sync: $played of $n; shots: $shots; desyncs: $desyncs; failed runs: $failed; wall time: $((end - start)) s"
rm -rf "$work"
