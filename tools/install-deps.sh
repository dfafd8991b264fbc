#!/usr/bin/env bash
# Installs the Debian packages the build, the game and the headless tests need, if any are missing,
# and those named on the command line (clang for `make fuzz`, lintian for `make package-check`).
set -euo pipefail

packages=(
    build-essential pkg-config cmake
    libglfw3-dev libglew-dev libglu1-mesa-dev libdevil-dev
    libopenal-dev libalut-dev libvorbis-dev
    liblog4cxx-dev libboost-serialization-dev libiniparser-dev
    libbullet-dev libpugixml-dev libfreetype-dev fonts-dejavu-core
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth libgl1-mesa-dri libx11-dev xdotool sox python3 procps
    desktop-file-utils appstream x11-utils dpkg-dev
    "$@"
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
