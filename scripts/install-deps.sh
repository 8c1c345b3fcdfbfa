#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need.
# Only what is missing is installed; sudo is used when not running as root.
# gpsd is for the tests, which start one of their own on a free port; a gpsd
# that the package starts for the machine is left as it is: the tests never
# ask it.
set -euo pipefail

packages=(
  build-essential cmake pkg-config clang-format clang-tidy
  libsdl1.2-dev libsdl-ttf2.0-dev libsdl-image1.2-dev
  libexpat1-dev libx11-dev fonts-dejavu-core
  libosmium2-dev libprotozero-dev zlib1g-dev libbz2-dev libjemalloc-dev libdeflate-dev osmium-tool
  libgtest-dev libgmock-dev libbenchmark-dev libcairo2-dev
  xvfb xdotool x11-utils imagemagick time
  python3 librsvg2-bin
  gpsd
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
