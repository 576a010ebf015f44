#!/usr/bin/env bash
# Installs what building and testing Vellora needs on Debian 12.
# With --if-missing it only asks apt when a package is not there yet.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config libgtest-dev libbenchmark-dev
  clang libclang-rt-14-dev
  # Linux program
  qt6-base-dev libgl-dev librtmidi-dev libasound2-dev libfluidsynth-dev timgm6mb-soundfont
  fonts-ipafont-gothic
  # Windows program: cross compilers, and Wine to run the 64-bit build
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine64
  # driving it for real: virtual display, input, a JACK server and MIDI peer
  xvfb xdotool imagemagick jackd2 python3 python3-xlib coreutils procps
)

if [[ "${1:-}" == "--if-missing" ]]; then
  missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [[ ${#missing[@]} -eq 0 ]] && exit 0
fi

if [[ $(id -u) -ne 0 ]]; then
  echo "deps.sh: run as root to install: ${packages[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
apt-get install -y -q --no-install-recommends "${packages[@]}"
