#!/usr/bin/env bash
# Installs the Debian 12 packages the game needs to build, run and test.
# Packages already present are skipped by apt; nothing is downloaded from elsewhere.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  libsdl2-dev libx11-dev libgl-dev libopengl-dev libegl-dev libgl1-mesa-dri libegl-mesa0
  libpng-dev libjpeg62-turbo-dev zlib1g-dev libvorbis-dev libstb-dev
  libfreetype-dev fonts-dejavu-core libgtest-dev libbenchmark-dev
  xvfb xauth xdotool x11-apps imagemagick strace
)
if [ "${1:-}" = "--fuzz" ]; then
  packages+=(clang libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get -qq -o Acquire::Retries=3 update
$sudo apt-get -qq -o Acquire::Retries=3 install -y --no-install-recommends "${missing[@]}"
