#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing Nettor need.
# Only missing packages are installed; run as root (or with sudo available).
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev qt6-svg-dev
  libgl-dev libglu1-mesa-dev libgl1-mesa-dri mesa-utils
  libgtest-dev libgmock-dev libbenchmark-dev
  libcli11-dev nlohmann-json3-dev zlib1g-dev
  xvfb xauth fonts-liberation ghostscript librsvg2-bin imagemagick
  libboost-dev libassimp-dev libstb-dev emf2svg poppler-utils ccache
  desktop-file-utils appstream libxml2-utils shared-mime-info dpkg-dev file groff-base
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing missing packages: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
