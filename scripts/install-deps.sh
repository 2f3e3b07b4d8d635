#!/usr/bin/env bash
# Installs every Debian 12 package needed to build, run and test Brightlea.
# Run as root, or as a user with sudo.
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache pkg-config git clang clang-format libclang-rt-14-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libosmesa6-dev  # Mesa's software OpenGL, for the rendering comparison (the build works without it)
  libsdl2-dev libsdl2-ttf-dev libopenal-dev libfontconfig-dev
  libcurl4-openssl-dev libzip-dev libsodium-dev zip unzip openssl
  libpng-dev librsvg2-dev libimagequant-dev nlohmann-json3-dev libasio-dev
  libminiupnpc-dev libnatpmp-dev  # the hosting lobby asks the home router to forward its port
  fonts-liberation fonts-ipafont-gothic fonts-nanum
  xvfb xauth x11-apps x11-utils xfonts-base python3 sox
  makeself dpkg-dev desktop-file-utils lintian librsvg2-bin
)

run_as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ "${#missing[@]}" -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  run_as_root apt-get update -qq
  run_as_root apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
