#!/usr/bin/env bash
# Makes, signs and lays out the update package that brings version OLD of the game to version NEW:
#   scripts/publish-update.sh [--next-key PUBLIC] OLD NEW KEY OUT
# OLD and NEW are game directories (such as the game/ folder of an installation) or per-user
# installers (.run files), whose game directory is taken. KEY is the secret key
# (scripts/make-update-key.sh). OUT is the folder a static web server serves as the update server:
# the package lands in OUT/<old version>/UpData.zip with its signature UpData.zip.sig beside it, so
# that an installation whose update server is that folder's address finds it.
#
# The package holds every file of NEW that OLD lacks or has with other bytes, "Version.ini"
# included. "Option.ini", the player's own settings, is never sent. The updater only writes files,
# it removes none: files OLD has and NEW lacks are listed in OUT/<old version>/Removed.txt and stay in
# the installations. --next-key hands on a new public key with this package: the packages after it
# must be signed with that key's secret half.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
usage() { echo "usage: $0 [--next-key PUBLIC] OLD NEW KEY OUT" >&2; exit 2; }
next_key=()
if [ "${1:-}" = "--next-key" ]; then
  [ $# -ge 2 ] || usage
  next_key=("$(realpath -- "$2")")
  shift 2
fi
[ $# -eq 4 ] || usage
old_in=$1 new_in=$2 key=$(realpath -- "$3") out=$4
fail() { echo "publish-update: $*" >&2; exit 1; }

signer=${UPDATESIGN:-$repo/build/bin/updatesign}
if [ ! -x "$signer" ]; then
  cmake -S "$repo" -B "$repo/build" -G Ninja >/dev/null
  cmake --build "$repo/build" --target updatesign >/dev/null
fi

work=$(mktemp -d /tmp/brightlea-publish.XXXXXX)
trap 'rm -rf "$work"' EXIT

# The game directory of OLD or NEW, unpacking an installer when given one.
game_dir() {
  local from=$1 name=$2
  if [ -d "$from" ]; then
    (cd "$from" && pwd)
  elif [ -f "$from" ]; then
    sh "$from" --noexec --target "$work/$name" >/dev/null 2>&1 || fail "$from is neither a game directory nor an installer"
    [ -d "$work/$name/game" ] || fail "$from holds no game directory"
    echo "$work/$name/game"
  else
    fail "$from does not exist"
  fi
}
version_of() {
  [ -f "$1/Version.ini" ] || fail "$1 has no Version.ini"
  # The installed version is the last line that is not blank, without blanks around it.
  tr -d '\r' <"$1/Version.ini" | sed 's/^[[:space:]]*//; s/[[:space:]]*$//' | awk 'NF { v = $0 } END { print v }'
}
old=$(game_dir "$old_in" old)
new=$(game_dir "$new_in" new)
old_version=$(version_of "$old")
new_version=$(version_of "$new")
[[ "$old_version" =~ ^[!-~]+$ ]] || fail "OLD's version \"$old_version\" is no folder name (printable ASCII without blanks)"
[ "$old_version" != "$new_version" ] || fail "OLD and NEW are both version $old_version"

# Files of a game directory, relative, without the player's settings and the updater's work folder.
files_of() {
  (cd "$1" && find . -type f ! -path './Upgrade/*' ! -path './.brightlea-install/*' ! -name uninstall.sh |
    sed 's|^\./||' | grep -vx 'Option.ini' | LC_ALL=C sort)
}
files_of "$old" >"$work/old.txt"
files_of "$new" >"$work/new.txt"
: >"$work/changed.txt"
while IFS= read -r path; do
  cmp -s -- "$old/$path" "$new/$path" 2>/dev/null || printf '%s\n' "$path" >>"$work/changed.txt"
done <"$work/new.txt"
LC_ALL=C comm -23 "$work/old.txt" "$work/new.txt" >"$work/removed.txt"
grep -qx 'Version.ini' "$work/changed.txt" || fail "NEW's Version.ini is the same as OLD's"

package=$work/UpData.zip
(cd "$new" && zip -q -X -@ "$package" <"$work/changed.txt")
"$signer" sign "$key" "$old_version" "$package" "$work/UpData.zip.sig" "${next_key[@]}"

# The signature goes into place before the package, so that the server never offers a package
# without it.
dest=$out/$old_version
mkdir -p -- "$dest"
rm -f -- "$dest/Removed.txt"
if [ -s "$work/removed.txt" ]; then
  cp -- "$work/removed.txt" "$dest/Removed.txt"
  echo "publish-update: $(wc -l <"$work/removed.txt") file(s) of $old_version are gone in $new_version;" \
    "installations keep them (listed in $dest/Removed.txt)" >&2
fi
cp -- "$work/UpData.zip.sig" "$dest/.UpData.zip.sig.new" && mv -f -- "$dest/.UpData.zip.sig.new" "$dest/UpData.zip.sig"
cp -- "$package" "$dest/.UpData.zip.new" && mv -f -- "$dest/.UpData.zip.new" "$dest/UpData.zip"
echo "published $old_version -> $new_version: $(wc -l <"$work/changed.txt") file(s), $(stat -c %s "$dest/UpData.zip") bytes, in $dest"
