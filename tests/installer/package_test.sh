#!/usr/bin/env bash
# Checks both packages the way a player meets them (after scripts/package.sh BUILD_DIR):
#   tests/installer/package_test.sh BUILD_DIR
# The per-user installer runs without root (as "nobody" when this script runs as root) in a
# temporary HOME: a fresh install, its desktop entry and the match that the entry's command starts
# (updater with no update server set, lobby, one hole played to its end), installing again over
# it, two installations side by side, uninstalling, and installs that must stop before changing
# anything. The Debian package: control fields, contents, Depends against the linked libraries,
# lintian. Last, updates: the build is packaged again with a test key and once more as the next
# version, the publish script makes the package between them, and an installation pointed at a
# local web server refuses it changed by one byte and then updates itself with it.
set -euo pipefail

build=$(realpath "${1:?usage: $0 BUILD_DIR}")
repo=$(cd "$(dirname "$0")/../.." && pwd)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
run_file=$build/packages/Brightlea-$version-linux-x86_64.run
deb_file=$build/packages/brightlea_${version}_amd64.deb
[ -f "$run_file" ] && [ -f "$deb_file" ] || { echo "no packages in $build/packages (run scripts/package.sh)" >&2; exit 1; }

work=$(mktemp -d /tmp/brightlea-package-test.XXXXXX)
mounted=""
server_pid=""
repackaged=""
original_key=$(sed -n 's/^BRIGHTLEA_UPDATE_KEY:FILEPATH=//p' "$build/CMakeCache.txt")
cleanup() {
  [ -z "$mounted" ] || umount "$mounted" 2>/dev/null || true
  [ -z "$server_pid" ] || kill "$server_pid" 2>/dev/null || true
  # The build tree goes back to its own version, key and packages.
  if [ -n "$repackaged" ]; then
    cmake -UCMAKE_PROJECT_Brightlea_INCLUDE -DBRIGHTLEA_UPDATE_KEY="$original_key" "$build" >/dev/null &&
      "$repo/scripts/package.sh" "$build" >/dev/null || echo "could not restore the packages of $build" >&2
  fi
  rm -rf "$work"
}
trap cleanup EXIT
chmod 755 "$work"
home=$work/home
mkdir -p "$home" "$work/tmp"
cp "$run_file" "$work/installer.run"
failures=0

fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }
check() {  # DESCRIPTION COMMAND...
  local what=$1
  shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}

# Everything the player does runs without root.
player_ids=()
if [ "$(id -u)" -eq 0 ]; then
  chown -R nobody:nogroup "$home" "$work/tmp"
  player_ids=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
as_player() {
  env -i HOME="$home" PATH="$PATH" TMPDIR="$work/tmp" LANG=C.UTF-8 \
    SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy ALSOFT_DRIVERS=null "${player_ids[@]}" "$@"
}
tree_of() { (cd "$1" && find . | LC_ALL=C sort); }

game=$home/.local/share/Brightlea
entry=$home/.local/share/applications/brightlea.desktop

# --- Install and uninstall leave HOME as it was ---
empty_home=$(tree_of "$home")
check "an install into a new folder and its uninstall" \
  as_player bash -c '"$1" "$2" >/dev/null 2>&1 && "$2/uninstall.sh" >/dev/null' _ "$work/installer.run" "$home/My Games/Brightlea"
check "uninstalling leaves HOME exactly as it was" test "$(tree_of "$home")" = "$empty_home"

# --- Fresh install into the default folder ---
check "the installer runs without root" as_player "$work/installer.run" >"$work/install.log" 2>&1 ||
  cat "$work/install.log"
for program in Brightlea Mendler Ravelin; do
  check "$program --version says $version" \
    test "$(as_player "$game/$program" --version 2>&1)" = "$program $version"
done
check "Version.ini names $version" test "$(cat "$game/Version.ini" 2>/dev/null)" = "$version"
check "desktop entry passes desktop-file-validate" desktop-file-validate "$entry"
check "desktop entry is a sports game" grep -qx 'Categories=Game;SportsGame;' "$entry"
check "desktop entry starts the installed updater" grep -qxF "Exec=\"$game/Mendler\"" "$entry"
check "icons in the hicolor theme" test -f "$home/.local/share/icons/hicolor/scalable/apps/brightlea.svg" -a \
  -f "$home/.local/share/icons/hicolor/48x48/apps/brightlea.png"

# --- The desktop entry's command: with no update server set, the updater says updates are off and
# starts the lobby ---
command=$(sed -n 's/^Exec="\(.*\)"$/\1/p' "$entry")
lobby_log=$work/lobby.log
seconds=${MATCH_SECONDS:-150}
shots=$work/tmp/shots
as_player "$command" --autoplay --time-scale 20 --max-seconds "$seconds" --capture "$shots" >"$work/reports.jsonl" 2>"$lobby_log" || true
# The updater ends once it has started the lobby; the lobby ends with its match.
for _ in $(seq 1 $((seconds + 20))); do
  grep -q "every client has ended" "$lobby_log" && break
  sleep 1
done
check "the updater said that updates are off" grep -q "updates are off" "$lobby_log"
check "the updater started the lobby, which started the game" grep -q "started Player1" "$lobby_log"
check "the game drew its pictures" test -n "$(find "$shots" -name '*.png' 2>/dev/null | head -n 1)"
check "the one-player hole ended with a hole report" grep -q '"hole":' "$work/reports.jsonl"
check "the lobby ended on its own, not by its time limit" bash -c "! grep -q 'time is up' '$lobby_log'"

# --- Installing again keeps the player's files and replaces the rest ---
printf 'LANGUAGE ENG\nACC3DOPT 1\n' | as_player tee "$game/Option.ini" >/dev/null
as_player touch "$game/screenshot-0001.png"
printf '0.0.1\n' | as_player tee "$game/Version.ini" >/dev/null
as_player mkdir -p "$game/Image/Old"
as_player touch "$game/Image/Old/Gone.fni"
printf 'game\t-\tImage/Old/Gone.fni\n' | as_player tee -a "$game/.brightlea-install/manifest" >/dev/null
check "installing over an installation succeeds" as_player "$work/installer.run" >"$work/reinstall.log" 2>&1
check "the player's settings stay" grep -q ACC3DOPT "$game/Option.ini"
check "the screenshot stays" test -f "$game/screenshot-0001.png"
check "installed files are replaced" test "$(cat "$game/Version.ini")" = "$version"
check "an installed file the new version lacks goes" test ! -e "$game/Image/Old/Gone.fni"

# --- A second installation; uninstalling the first leaves the second's desktop entry ---
other="$home/My Games/Brightlea"
check "install into a folder with a blank in its name" as_player "$work/installer.run" "$other" >/dev/null 2>&1
check "its desktop entry passes desktop-file-validate" desktop-file-validate "$entry"
check "its desktop entry starts its own updater" grep -qxF "Exec=\"$other/Mendler\"" "$entry"
as_player "$game/uninstall.sh" >"$work/uninstall.log" 2>&1 || fail "uninstall of the first installation"
check "uninstalling the first keeps the second's desktop entry" grep -qxF "Exec=\"$other/Mendler\"" "$entry"
left=$(cd "$game" && find . ! -type d | LC_ALL=C sort | tr '\n' ' ')
check "uninstall leaves exactly the player's files (left: $left)" \
  test "$left" = "./Option.ini ./screenshot-0001.png "
as_player "$other/uninstall.sh" >/dev/null 2>&1 || fail "uninstall of the second installation"
check "the folder the second install made is gone" test ! -e "$home/My Games"
check "no other file of either installation is left" \
  test "$(cd "$home" && find . ! -type d ! -path "./.local/share/Brightlea/*")" = ""
as_player rm -r "$game"

# --- Installs that must stop before changing anything ---
refused() {  # DESCRIPTION EXPECTED-MESSAGE INSTALL-COMMAND...
  local what=$1 message=$2 before
  shift 2
  before=$(tree_of "$home")
  if as_player "$@" >"$work/refused.log" 2>&1; then
    fail "$what: the installer succeeded"
  elif ! grep -qF -- "$message" "$work/refused.log"; then
    fail "$what: no message \"$message\" in: $(cat "$work/refused.log")"
  elif [ "$(tree_of "$home")" != "$before" ]; then
    fail "$what: HOME changed"
  else
    pass "$what"
  fi
}
as_player mkdir "$home/locked"
as_player chmod 555 "$home/locked"
refused "an unwritable folder stops the install" "cannot write in $home/locked" \
  "$work/installer.run" "$home/locked/Brightlea"
as_player mkdir "$home/papers"
as_player touch "$home/papers/letter.txt"
refused "a folder of other files stops the install" "already holds other files" \
  "$work/installer.run" "$home/papers"

if [ "$(id -u)" -eq 0 ] && mkdir "$work/small" && mount -t tmpfs -o size=4m tmpfs "$work/small"; then
  mounted=$work/small
  chown nobody:nogroup "$work/small"
  before_small=$(tree_of "$work/small")
  refused "too little disk space stops the install" "not enough disk space in $work/small" \
    "$work/installer.run" "$work/small/Brightlea"
  check "nothing was written to the small disk" test "$(tree_of "$work/small")" = "$before_small"
  umount "$work/small" && mounted=""
else
  echo "skipped: the disk-space case needs root to mount a small file system"
fi

# A program that needs a library this machine lacks: the installer names the apt command.
unpacked=$work/unpacked
"$work/installer.run" --noexec --target "$unpacked" >/dev/null 2>&1
printf 'int gone(void) { return 0; }\n' >"$work/gone.c"
printf 'int gone(void);\nint main(void) { return gone(); }\n' >"$work/needs.c"
cc -shared -fPIC -Wl,-soname,libbrightlea-gone.so.1 -o "$work/libbrightlea-gone.so.1" "$work/gone.c"
cc -o "$work/needs-gone" "$work/needs.c" "$work/libbrightlea-gone.so.1"
rm "$work/libbrightlea-gone.so.1"
chmod -R a+rX "$unpacked"
cp "$work/needs-gone" "$unpacked/game/"
echo "libbrightlea-gone.so.1 brightlea-gone-package" >>"$unpacked/libraries.txt"
refused "a missing library stops the install with the apt command" \
  "sudo apt install brightlea-gone-package" "$unpacked/setup.sh" "$home/Brightlea"

# --- The Debian package ---
field() { dpkg-deb -f "$deb_file" "$1"; }
check "package name, version, section" test "$(field Package) $(field Version) $(field Section)" = \
  "brightlea $version games"
contents=$(dpkg-deb -c "$deb_file" | awk '{ print $6 }')
for path in ./usr/games/brightlea ./usr/lib/games/brightlea/Brightlea ./usr/lib/games/brightlea/Ravelin \
  ./usr/share/games/brightlea/Version.ini ./usr/share/games/brightlea/Option.ini \
  ./usr/share/applications/brightlea.desktop ./usr/share/icons/hicolor/scalable/apps/brightlea.svg \
  ./usr/share/icons/hicolor/48x48/apps/brightlea.png ./usr/share/man/man6/brightlea.6.gz \
  ./usr/share/doc/brightlea/copyright; do
  grep -qxF "$path" <<<"$contents" || fail "the package lacks $path"
done
check "the package has no updater" bash -c "! grep -q Mendler <<<'$contents'"
extracted=$work/deb
dpkg-deb -x "$deb_file" "$extracted"
check "the package's desktop entry passes desktop-file-validate" \
  desktop-file-validate "$extracted/usr/share/applications/brightlea.desktop"
check "the package's Version.ini names $version" \
  test "$(cat "$extracted/usr/share/games/brightlea/Version.ini")" = "$version"
depends=$(field Depends)
for program in Brightlea Ravelin; do
  for soname in $(readelf -d "$extracted/usr/lib/games/brightlea/$program" | sed -n 's/.*NEEDED.*\[\(.*\)\]/\1/p'); do
    package=$(awk -v s="$soname" '$1 == s { print $2; exit }' "$unpacked/libraries.txt")
    [ -n "$package" ] || { fail "no package known for $soname"; continue; }
    [[ "$depends" == *"$package"* ]] || fail "Depends lacks $package, which holds $soname for $program"
  done
done
pass "Depends names the package of every library the programs link"
if lintian --fail-on error "$deb_file" >"$work/lintian.log" 2>&1; then
  pass "lintian finds no errors"
else
  fail "lintian: $(grep '^E:' "$work/lintian.log" || cat "$work/lintian.log")"
fi

check "the per-user installer's library check knows libsodium" grep -q '^libsodium.so.23 libsodium23$' "$unpacked/libraries.txt"

# --- Updates from a static web folder made by the publish script ---
keys=$work/keys
cmake --build "$build" --target updatesign >/dev/null
export UPDATESIGN=$build/bin/updatesign
"$repo/scripts/make-update-key.sh" "$keys" >/dev/null
next_version=$version.1
repackage() {  # CMAKE-OPTIONS...: configures the build with them and packages it again
  repackaged=yes
  cmake "$@" "$build" >/dev/null && "$repo/scripts/package.sh" "$build" >/dev/null
}
repackage -DBRIGHTLEA_UPDATE_KEY="$keys/brightlea-update.pub"
cp "$build/packages/Brightlea-$version-linux-x86_64.run" "$work/old.run"
printf 'set(PROJECT_VERSION %s)\nset(Brightlea_VERSION %s)\nset(CMAKE_PROJECT_VERSION %s CACHE STATIC "" FORCE)\n' \
  "$next_version" "$next_version" "$next_version" >"$work/next.cmake"
repackage -DCMAKE_PROJECT_Brightlea_INCLUDE="$work/next.cmake"
cp "$build/packages/Brightlea-$next_version-linux-x86_64.run" "$work/new.run"
chmod 755 "$work/old.run" "$work/new.run"

site=$work/site
mkdir -p "$site"
check "the publish script makes the package from $version to $next_version" \
  "$repo/scripts/publish-update.sh" "$work/old.run" "$work/new.run" "$keys/brightlea-update.key" "$site"
python3 -u -m http.server 0 --bind 127.0.0.1 --directory "$site" >"$work/server.log" 2>&1 &
server_pid=$!
for _ in $(seq 1 50); do grep -q 'port' "$work/server.log" && break; sleep 0.1; done
port=$(sed -n 's/.* port \([0-9]*\).*/\1/p' "$work/server.log" | head -n 1)
updated=$home/Updated/Brightlea
check "install with an update server" \
  as_player "$work/old.run" -- --update-server "http://127.0.0.1:$port/" "$updated" >"$work/install-upd.log" 2>&1
installed_files() { (cd "$updated" && find . -type f ! -path ./Upgrade/UpData.zip -exec sha256sum {} + | LC_ALL=C sort); }
before=$(installed_files)
good=$work/good.zip
cp "$site/$version/UpData.zip" "$good"
python3 - "$site/$version/UpData.zip" <<'PY'
import sys
path = sys.argv[1]
data = bytearray(open(path, "rb").read())
data[len(data) // 2] ^= 1
open(path, "wb").write(data)
PY
as_player "$updated/Mendler" --help >/dev/null 2>"$work/tampered.log" || true
check "a package changed by one byte is refused" grep -q "refused before unpacking" "$work/tampered.log"
check "and nothing in the installation changed" test "$(installed_files)" = "$before"
cp "$good" "$site/$version/UpData.zip"
as_player "$updated/Mendler" --help >/dev/null 2>"$work/update.log" || true
for program in Brightlea Mendler Ravelin; do
  check "after the update $program --version says $next_version" \
    test "$(as_player "$updated/$program" --version 2>&1)" = "$program $next_version"
done
check "Version.ini names $next_version" test "$(tail -n 1 "$updated/Version.ini")" = "$next_version"

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed" >&2; exit 1; }
echo "all package checks passed"
