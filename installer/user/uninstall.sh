#!/bin/bash
# Removes this Brightlea installation: exactly the files the installer put here and in the user's
# data folder, as listed in .brightlea-install/manifest. Files the game or the updater made since
# (screenshots, downloaded updates) stay, and so do settings the player changed; the uninstaller
# says what is left. A desktop entry or icon that another installation has replaced since is left
# alone.
set -euo pipefail

game_dir=$(cd "$(dirname "$0")" && pwd)
manifest=$game_dir/.brightlea-install/manifest
[ -f "$manifest" ] || {
  printf 'Brightlea uninstall: %s is not a Brightlea installation (no manifest).\n' "$game_dir" >&2
  exit 1
}

say() { printf 'Brightlea uninstall: %s\n' "$*"; }
unchanged() { [ -f "$2" ] && [ "$(sha256sum <"$2" | cut -d' ' -f1)" = "$1" ]; }

dirs=()
while IFS=$'\t' read -r kind sum path; do
  case "$kind" in
    game) rm -f -- "$game_dir/$path" ;;
    setting)
      if unchanged "$sum" "$game_dir/$path" || [ ! -e "$game_dir/$path" ]; then
        rm -f -- "$game_dir/$path"
      else
        say "keeping $path: you changed it"
      fi
      ;;
    outside)
      if unchanged "$sum" "$path"; then
        rm -f -- "$path"
      elif [ -e "$path" ]; then
        say "leaving $path: it changed since the installation"
      fi
      ;;
    dir) dirs+=("$path") ;;
  esac
done <"$manifest"
rm -rf -- "$game_dir/.brightlea-install"

# Empty folders inside the game directory go; so do the folders the installer created elsewhere,
# innermost first, when nothing else has moved in.
find "$game_dir" -mindepth 1 -depth -type d -empty -delete 2>/dev/null || true
for ((i = ${#dirs[@]} - 1; i >= 0; i--)); do
  rmdir -- "${dirs[i]}" 2>/dev/null || true
done

left=0
[ ! -d "$game_dir" ] || left=$(find "$game_dir" -mindepth 1 ! -type d | wc -l)
if [ "$left" -gt 0 ]; then
  say "$left file(s) made after the installation are left in $game_dir (screenshots, settings, updates)."
  say "delete them with: rm -r \"$game_dir\""
else
  say "removed Brightlea from $game_dir"
fi
