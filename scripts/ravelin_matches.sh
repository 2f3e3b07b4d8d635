#!/usr/bin/env bash
# Plays many short matches through Ravelin and counts, per match, the final reports of every
# player that reached the lobby: hole report 16 and game end 94 from each probe; hole report 16
# and final scores 92 from each game client (a game that ends after its last hole sends no 94). Prints one line per match and a total; exits 1 if any is missing.
#   scripts/ravelin_matches.sh [COUNT] [--game]
# Without --game the clients are RavelinProbe scripts, two of which end right after their final
# reports without reading what is still arriving. With --game they are the game itself playing
# one hole with its built-in players (--autoplay).
set -uo pipefail
cd "$(dirname "$0")/.."

count=${1:-50}
mode=${2:-probe}
bin=build/bin
players=Ann,Bob,Cy,Dee
work=$(mktemp -d /tmp/ravelin-matches.XXXXXX)
trap 'rm -rf "$work"' EXIT

if [ "$mode" = "--game" ]; then
  required="16 92"
  run() {
    SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy ALSOFT_DRIVERS=null \
      "$bin/Ravelin" --data build/gamedata --players "$players" --first-hole 1 --last-hole 1 \
      --autoplay --time-scale 8 --max-seconds 600 --work "$work/m" </dev/null >"$work/reports" 2>"$work/log"
  }
else
  required="16 94"
  run() {
    mkdir -p "$work/data/Info/ENG"
    echo "LANGUAGE ENG" >"$work/data/Option.ini"
    RAVELIN_PROBE_ROLES=Cy=final,Dee=final \
      "$bin/Ravelin" --data "$work/data" --client "$bin/RavelinProbe" --players "$players" \
      --max-seconds 60 --work "$work/m" </dev/null >"$work/reports" 2>"$work/log"
  }
fi

failed=0
complete=0
for ((i = 1; i <= count; i++)); do
  run
  code=$?
  line=$(python3 - "$work/reports" "$players" "$required" <<'PY'
import json, sys
reports, players, required = sys.argv[1], sys.argv[2].split(","), [int(t) for t in sys.argv[3].split()]
seen = {}
for text in open(reports):
    j = json.loads(text)
    if "type" in j:
        seen.setdefault((j["from"], j["type"]), 0)
        seen[(j["from"], j["type"])] += 1
missing = [f"{p}:{t}" for p in players for t in required if seen.get((p, t), 0) < 1]
got = sum(1 for p in players for t in required if seen.get((p, t), 0) >= 1)
print(f"{got}/{len(players) * len(required)} final reports", "missing " + " ".join(missing) if missing else "")
PY
)
  echo "match $i: exit $code, $line"
  case "$line" in
    *missing*) failed=$((failed + 1)) ;;
    *) [ "$code" -eq 0 ] && complete=$((complete + 1)) || failed=$((failed + 1)) ;;
  esac
done
echo "$complete of $count matches complete, $failed with a report missing or a failed exit"
[ "$failed" -eq 0 ]
