#!/usr/bin/env bash
# Builds both packages of Brightlea:
#   Brightlea-<version>-linux-x86_64.run   per-user self-extracting installer (makeself)
#   brightlea_<version>_amd64.deb          Debian package for a system install (CPack)
#
#   scripts/package.sh              configures a fresh build-package/ (a clean tree) and builds there
#   scripts/package.sh BUILD_DIR    reuses an existing build tree, such as build/
#
# The packages land in BUILD_DIR/packages/. Needs makeself, rsvg-convert and dpkg-dev
# (scripts/install-deps.sh installs them). A build configured with -DBRIGHTLEA_UPDATE_KEY=FILE.pub
# (scripts/make-update-key.sh) makes a per-user installer whose installations take updates signed
# with that key; without it they take none.
set -euo pipefail
cd "$(dirname "$0")/.."

dir=${1:-build-package}
if [ $# -eq 0 ]; then
  rm -rf "$dir"
  cmake -S . -B "$dir" -G Ninja -DBRIGHTLEA_BENCH=OFF >/dev/null
fi
cmake --build "$dir" --target Brightlea Mendler Ravelin gamedata_check package_files

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$dir/CMakeCache.txt")
out=$dir/packages
stage=$dir/run-stage
rm -rf "$stage" "$out"
mkdir -p "$out"

# --- per-user installer ---
cmake --install "$dir" --component user --prefix "$stage" --strip >/dev/null

# The Debian package of every shared library the programs load, so that the installer can name
# the exact apt command on a machine that lacks one. dpkg knows a library by the path its package
# ships, with or without the /usr prefix; one dpkg -S call asks for all of them.
for program in "$stage"/game/*; do
  [ -f "$program" ] && [ -x "$program" ] || continue
  LC_ALL=C ldd "$program" | awk '$2 == "=>" && $3 ~ /^\// { print $1, $3 }'
done | sort -u >"$dir/linked.txt"
awk '{ p = $2; sub(/^\/usr/, "", p); print p; print "/usr" p }' "$dir/linked.txt" |
  { xargs dpkg -S 2>/dev/null || true; } | awk -F': ' '{ sub(/:.*/, "", $1); n = split($2, parts, "/"); print parts[n], $1 }' |
  sort -u >"$dir/library-packages.txt"
awk 'NR == FNR { package[$1] = $2; next } { n = split($2, parts, "/"); if (parts[n] in package) print $1, package[parts[n]] }' \
  "$dir/library-packages.txt" "$dir/linked.txt" >"$stage/libraries.txt"

run=$out/Brightlea-$version-linux-x86_64.run
makeself --nox11 --sha256 --tar-quietly "$stage" "$run" "Brightlea $version" ./setup.sh >/dev/null

# --- Debian package ---
(cd "$dir" && cpack -G DEB >/dev/null)

echo "packages:"
ls -1 "$out"/*.run "$out"/*.deb
