#!/bin/bash
# Installs Brightlea for the current user from the folder this script was unpacked into (the
# self-extracting installer runs it there). No root needed.
#
#   setup.sh [--update-server URL] [FOLDER]
#       FOLDER  the game directory (default: ~/.local/share/Brightlea)
#       URL     where the updater looks for packages (http:// or https://); installing again
#               without it keeps the server set before. None set: updates are off.
#
# The game directory receives the programs and the data set; the updater keeps it up to date
# later. A desktop entry and icons go to the user's data folder (~/.local/share). Every check runs
# before anything is changed. Installing over an earlier installation keeps the player's settings
# and every file the game made (screenshots), replaces the installed files and removes installed
# files the new version no longer has. The manifest in FOLDER/.brightlea-install lets
# FOLDER/uninstall.sh remove exactly what was installed.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
data_home=${XDG_DATA_HOME:-$HOME/.local/share}
manifest_name=.brightlea-install
# Files the player changes: installed when missing, never replaced.
settings_files=("Option.ini")

say() { printf 'Brightlea setup: %s\n' "$*"; }
fail() {
  printf 'Brightlea setup: %s\n' "$*" >&2
  printf 'Brightlea setup: nothing was changed.\n' >&2
  exit 1
}

usage() {
  cat <<EOF
Installs Brightlea for you (no root needed).

  $(basename "${ARCHIVE:-setup.sh}") [-- --update-server URL] [FOLDER]
  $(basename "${ARCHIVE:-setup.sh}") -- --help

FOLDER is the game directory (default: $data_home/Brightlea). Installing again into the same
folder updates it and keeps your settings and screenshots. FOLDER/uninstall.sh removes it.
URL is the update server the updater asks for new versions (an http:// or https:// address);
without one, updates are off (installing again without it keeps the one set before).
EOF
}

target=""
update_server=""
while [ $# -gt 0 ]; do
  case "$1" in
    -h | --help) usage; exit 0 ;;
    --update-server) [ $# -ge 2 ] || { usage >&2; exit 2; }; update_server=$2; shift ;;
    --update-server=*) update_server=${1#--update-server=} ;;
    -*) usage >&2; exit 2 ;;
    *) [ -z "$target" ] || { usage >&2; exit 2; }; target=$1 ;;
  esac
  shift
done
target=${target:-$data_home/Brightlea}
case "$target" in
  "~") target=$HOME ;;
  "~/"*) target=$HOME/${target#"~/"} ;;
esac
# Relative folders are taken from where the installer was started, not from where it unpacked.
[ "${target#/}" != "$target" ] || target=${USER_PWD:-$PWD}/$target
target=$(realpath -m -- "$target")

# The folder ends up in the desktop entry's command; these characters would need escaping there.
case "$target" in
  *[\"\`\$\\%]* | *$'\n'*) fail "the folder name \"$target\" holds a character the desktop entry cannot carry (\" \` \$ \\ % or a line break); choose another folder." ;;
esac
[ "$target" != "/" ] && [ "$target" != "$HOME" ] && [ "$target" != "$data_home" ] ||
  fail "$target is not a folder of its own; choose a new or empty folder, such as $data_home/Brightlea."

# --- Checks (nothing changes until they all pass) ---------------------------------------------

# The update server: an http(s) address of printable characters; the updater adds the version.
if [ -n "$update_server" ]; then
  [[ "$update_server" =~ ^https?://[!-~]+$ ]] ||
    fail "the update server \"$update_server\" is not an http:// or https:// address."
  [ -f "$here/update-key.pub" ] ||
    fail "this installer was built without an update key, so no update could be checked; build it with -DBRIGHTLEA_UPDATE_KEY."
fi

# The shared libraries the programs need, found with ldd; libraries.txt maps each library the
# programs were built against to its Debian package.
check_libraries() {
  local missing=() packages=() unknown=() program soname package
  while IFS= read -r -d '' program; do
    while read -r soname; do
      [[ " ${missing[*]-} " == *" $soname "* ]] || missing+=("$soname")
    done < <(LC_ALL=C ldd "$program" 2>/dev/null | awk '/=> not found/ { print $1 }')
  done < <(find "$here/game" -maxdepth 1 -type f -perm -u+x -print0)
  [ "${#missing[@]}" -gt 0 ] || return 0
  for soname in "${missing[@]}"; do
    package=$(awk -v s="$soname" '$1 == s { print $2; exit }' "$here/libraries.txt" 2>/dev/null || true)
    if [ -n "$package" ]; then
      [[ " ${packages[*]-} " == *" $package "* ]] || packages+=("$package")
    else
      unknown+=("$soname")
    fi
  done
  {
    printf 'Brightlea setup: these shared libraries are missing: %s\n' "${missing[*]}"
    [ "${#packages[@]}" -eq 0 ] ||
      printf 'Install them with:\n\n    sudo apt install %s\n\nthen run the installer again.\n' "${packages[*]}"
    [ "${#unknown[@]}" -eq 0 ] ||
      printf 'No package is known for: %s (apt-file search NAME finds it).\n' "${unknown[*]}"
    printf 'Brightlea setup: nothing was changed.\n'
  } >&2
  exit 1
}

# The faces the game asks for; without them texts fall back to whatever fontconfig offers.
check_fonts() {
  command -v fc-list >/dev/null || return 0
  local families packages=() entry
  families=$(fc-list : family 2>/dev/null || true)
  for entry in "Liberation Sans:fonts-liberation" "IPAGothic:fonts-ipafont-gothic" "NanumGothic:fonts-nanum"; do
    grep -qiF "${entry%%:*}" <<<"$families" || packages+=("${entry#*:}")
  done
  [ "${#packages[@]}" -eq 0 ] ||
    say "some fonts the game uses are missing; texts will look better after: sudo apt install ${packages[*]}"
}

nearest_existing() {
  local path=$1
  while [ ! -e "$path" ] && [ ! -L "$path" ]; do path=$(dirname "$path"); done
  printf '%s\n' "$path"
}

# A folder we will write into (or create) must be a writable directory, or be creatable in one.
check_writable() {
  local wanted=$1 base
  base=$(nearest_existing "$wanted")
  [ -d "$base" ] || fail "$base is in the way of $wanted: it is not a folder."
  [ -w "$base" ] && [ -x "$base" ] || fail "cannot write in $base (needed for $wanted)."
}

kib_of() { du -sk -- "$@" | awk '{ sum += $1 } END { print sum + 0 }'; }

check_space() {
  local wanted=$1 needed_kib=$2 base free_kib
  base=$(nearest_existing "$wanted")
  free_kib=$(df -Pk -- "$base" | awk 'NR == 2 { print $4 }')
  [ "$free_kib" -ge "$needed_kib" ] ||
    fail "not enough disk space in $base: $((needed_kib / 1024 + 1)) MiB needed, $((free_kib / 1024)) MiB free."
}

# An existing folder must be an earlier installation or empty: files of other programs stay apart.
previous_manifest=""
if [ -e "$target" ]; then
  [ -d "$target" ] || fail "$target exists and is not a folder."
  if [ -f "$target/$manifest_name/manifest" ]; then
    previous_manifest=$target/$manifest_name/manifest
  elif [ -n "$(ls -A -- "$target")" ]; then
    fail "$target already holds other files; choose a new or empty folder."
  fi
fi

check_libraries
check_fonts

applications=$data_home/applications
icon_root=$data_home/icons
check_writable "$target"
[ -z "$previous_manifest" ] || {
  unwritable=$(find "$target" -type d ! -writable -print -quit 2>/dev/null || true)
  [ -z "$unwritable" ] || fail "cannot write in $unwritable."
}
check_writable "$applications"
check_writable "$icon_root"
# The copy is staged inside the game directory first, so the whole payload must fit beside it.
check_space "$target" $(($(kib_of "$here/game" "$here/uninstall.sh") + 1024))
check_space "$icon_root" $(($(kib_of "$here/icons" "$here/brightlea.desktop.in") + 256))

# --- Installation ------------------------------------------------------------------------------

# Folders that do not exist yet, outermost first: the uninstaller removes them again when empty.
missing_dirs() {
  local path=$1 list=()
  while [ ! -e "$path" ]; do list=("$path" "${list[@]}"); path=$(dirname "$path"); done
  printf '%s\n' "${list[@]}"
}

created_dirs=$(
  missing_dirs "$target"
  missing_dirs "$applications"
  (cd "$here/icons" && find . -type d) | while read -r d; do missing_dirs "$icon_root/${d#./}"; done
)
created_dirs=$(awk '!seen[$0]++' <<<"$created_dirs")

undo_fresh_folders() {
  local d
  rm -rf -- "$target/$manifest_name/incoming"
  tac <<<"$created_dirs" | while IFS= read -r d; do [ -z "$d" ] || rmdir -- "$d" 2>/dev/null || true; done
}

is_setting() {
  local name
  for name in "${settings_files[@]}"; do [ "$1" = "$name" ] && return 0; done
  return 1
}

mkdir -p -- "$target/$manifest_name"
incoming=$target/$manifest_name/incoming
rm -rf -- "$incoming"
if ! cp -R -- "$here/game" "$incoming" || ! cp -- "$here/uninstall.sh" "$incoming/uninstall.sh"; then
  undo_fresh_folders
  fail "copying into $target failed."
fi

# The updater's own settings: this build's public key and the update server (the one given, else
# the one an earlier installation had).
if [ -z "$update_server" ] && [ -f "$target/Upgrade/Update.ini" ]; then
  update_server=$(sed -n 's/^[[:space:]]*SERVER[[:space:]]*=[[:space:]]*\([!-~]*\).*$/\1/p' "$target/Upgrade/Update.ini" | tail -n 1)
fi
if [ -f "$here/update-key.pub" ] || [ -n "$update_server" ]; then
  mkdir -p -- "$incoming/Upgrade"
  {
    [ -z "$update_server" ] || printf 'SERVER=%s\n' "$update_server"
    [ ! -f "$here/update-key.pub" ] || printf 'KEY=%s\n' "$(tr -d ' \r\n' <"$here/update-key.pub")"
  } >"$incoming/Upgrade/Update.ini"
fi

new_list=$(cd "$incoming" && find . \( -type f -o -type l \) | sed 's|^\./||' | LC_ALL=C sort)

# Installed files the new version no longer has go; the player's settings stay.
if [ -n "$previous_manifest" ]; then
  while IFS=$'\t' read -r kind _ path; do
    [ "$kind" = game ] || continue
    grep -qxF -- "$path" <<<"$new_list" || rm -f -- "$target/$path"
  done <"$previous_manifest"
fi

manifest=$target/$manifest_name/manifest.new
: >"$manifest"
while IFS= read -r path; do
  sum=$(sha256sum <"$incoming/$path" | cut -d' ' -f1)
  if is_setting "$path"; then
    printf 'setting\t%s\t%s\n' "$sum" "$path" >>"$manifest"
    if [ -e "$target/$path" ]; then
      say "keeping your $path"
      continue
    fi
  else
    printf 'game\t%s\t%s\n' "$sum" "$path" >>"$manifest"
  fi
  mkdir -p -- "$(dirname "$target/$path")"
  mv -f -- "$incoming/$path" "$target/$path"
done <<<"$new_list"
rm -rf -- "$incoming"

put_outside() {  # SOURCE DESTINATION: a file outside the game directory, with its checksum
  mkdir -p -- "$(dirname "$2")"
  cp -- "$1" "$2"
  printf 'outside\t%s\t%s\n' "$(sha256sum <"$2" | cut -d' ' -f1)" "$2" >>"$manifest"
}

entry=$(<"$here/brightlea.desktop.in")
printf '%s\n' "${entry//@GAME_DIR@/"$target"}" >"$target/$manifest_name/brightlea.desktop"
put_outside "$target/$manifest_name/brightlea.desktop" "$applications/brightlea.desktop"
rm -f -- "$target/$manifest_name/brightlea.desktop"
while IFS= read -r icon; do
  put_outside "$here/icons/$icon" "$icon_root/$icon"
done < <(cd "$here/icons" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)

while IFS= read -r d; do
  [ -z "$d" ] || printf 'dir\t-\t%s\n' "$d" >>"$manifest"
done <<<"$created_dirs"
# An earlier installation's folders stay recorded: the uninstaller removes them when empty.
[ -z "$previous_manifest" ] || awk -F'\t' '$1 == "dir"' "$previous_manifest" >>"$manifest"
mv -f -- "$manifest" "$target/$manifest_name/manifest"

say "installed version $(tail -n 1 "$target/Version.ini") into $target"
if [ -n "$update_server" ]; then
  say "updates come from $update_server"
else
  say "updates are off (install again with --update-server URL to turn them on)"
fi
say "start it from your desktop's menu (Games > Brightlea) or with: \"$target/Mendler\""
say "remove it with: \"$target/uninstall.sh\""
