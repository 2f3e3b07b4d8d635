#!/usr/bin/env bash
# Makes the key pair that signs Brightlea's update packages:
#   scripts/make-update-key.sh [FOLDER]      (default: ~/.config/brightlea/update-key)
# FOLDER/brightlea-update.key is the secret key (readable by you alone; keep it off the repository
# and off the update server); FOLDER/brightlea-update.pub is the public key, which a build takes
# with -DBRIGHTLEA_UPDATE_KEY=FOLDER/brightlea-update.pub and its installer writes into every
# installation. An existing key pair is never overwritten.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
folder=${1:-${XDG_CONFIG_HOME:-$HOME/.config}/brightlea/update-key}
mkdir -p -- "$folder"
folder=$(cd "$folder" && pwd)
case "$folder/" in
  "$repo"/*) echo "make-update-key: $folder is inside the repository; keep keys elsewhere." >&2; exit 1 ;;
esac
signer=${UPDATESIGN:-$repo/build/bin/updatesign}
if [ ! -x "$signer" ]; then
  cmake -S "$repo" -B "$repo/build" -G Ninja >/dev/null
  cmake --build "$repo/build" --target updatesign >/dev/null
fi
chmod 700 "$folder"
"$signer" keygen "$folder/brightlea-update.key" "$folder/brightlea-update.pub"
echo "secret key: $folder/brightlea-update.key (keep it private)"
echo "public key: $folder/brightlea-update.pub"
echo "build installers that trust it with: cmake -DBRIGHTLEA_UPDATE_KEY=$folder/brightlea-update.pub ..."
