#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing the game need.
# Only missing packages are installed; with nothing missing this does nothing.
set -euo pipefail

packages=(
  build-essential cmake pkg-config clang clang-format libclang-rt-dev
  libsdl2-dev libx11-dev libxi-dev libepoxy-dev libgl1-mesa-dri
  libfreetype-dev libfontconfig-dev fonts-liberation fonts-comic-neue fonts-leckerli-one fonts-cherrybomb
  librsvg2-dev libcairo2-dev
  libvorbis-dev libcurl4-openssl-dev libcpp-httplib-dev libsqlite3-dev
  zlib1g-dev libzopfli-dev libjpeg62-turbo-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  imagemagick libjpeg-turbo-progs
  xvfb xauth xdotool xfonts-base
  iproute2  # ss, ip and tc, which the service bench looks and throttles links with
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
if [[ $(id -u) -ne 0 ]]; then
  command -v sudo >/dev/null || { echo "Run as root or install sudo to add: ${missing[*]}" >&2; exit 1; }
  sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
