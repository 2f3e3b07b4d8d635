#!/usr/bin/env bash
# Builds both packages of Brightlea:
#   Brightlea-<version>-linux-x86_64.run   per-user self-extracting installer (makeself)
#   brightlea_<version>_amd64.deb          Debian package for a system install (CPack)
#
#   scripts/package.sh              configures a fresh build-package/ (a clean tree) and builds there
#   scripts/package.sh BUILD_DIR    reuses an existing build tree, such as build/
#
# The packages land in BUILD_DIR/packages/. Needs makeself, rsvg-convert and dpkg-dev
# (scripts/install-deps.sh installs them).
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
# the exact apt command on a machine that lacks one.
package_of() {
  local path=$1 found
  for candidate in "$path" "$(realpath "$path")" "${path#/usr}" "/usr$path"; do
    found=$(dpkg -S "$candidate" 2>/dev/null | head -n 1) && [ -n "$found" ] && {
      printf '%s\n' "${found%%:*}"
      return
    }
  done
}
for program in "$stage"/game/*; do
  [ -f "$program" ] && [ -x "$program" ] || continue
  LC_ALL=C ldd "$program" | awk '$2 == "=>" && $3 ~ /^\// { print $1, $3 }'
done | sort -u | while read -r soname path; do
  package=$(package_of "$path")
  [ -z "$package" ] || printf '%s %s\n' "$soname" "$package"
done >"$stage/libraries.txt"

run=$out/Brightlea-$version-linux-x86_64.run
makeself --nox11 --sha256 --tar-quietly "$stage" "$run" "Brightlea $version" ./setup.sh >/dev/null

# --- Debian package ---
(cd "$dir" && cpack -G DEB >/dev/null)

echo "packages:"
ls -1 "$out"/*.run "$out"/*.deb
