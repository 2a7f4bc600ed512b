#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing Vantrel need.
# Does nothing when they are all present already. Arguments name more packages to install.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev libmpv-dev
  libavformat-dev libavcodec-dev libswscale-dev libswresample-dev libavutil-dev
  libexpat1-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  ffmpeg xvfb
  clang libclang-rt-14-dev
  help2man
  # Timing to speech: the synthesiser's header to build, its library and English voices to run
  # and test.
  libespeak-ng-dev espeak-ng espeak-ng-data
)
packages+=("$@")

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
