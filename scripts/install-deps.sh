#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing Vantrel need. Arguments
# name more packages to install; with `--npm BUILD` (scripts/install-deps.sh --npm build/test)
# also the npm packages its tests check Timed Text and WebVTT with, into BUILD/npm. Does nothing
# when they are all present already.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev libmpv-dev
  libavformat-dev libavcodec-dev libswscale-dev libswresample-dev libavutil-dev
  libexpat1-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  ffmpeg xvfb
  clang libclang-rt-14-dev
  python3-ttconv
  help2man
)
npm_build=""
for arg in "$@"; do
  if [ "$arg" = --npm ]; then npm_build=next
  elif [ "$npm_build" = next ]; then npm_build=$arg
  else packages+=("$arg")
  fi
done
# Node and npm for the npm checkers, unless a Node with npm of its own is there.
if [ -n "$npm_build" ] && ! command -v npm > /dev/null; then packages+=(nodejs npm); fi

# The checkers' versions are pinned so that what they say does not change under the tests.
npm_packages=(imsc@1.1.5 webvtt-parser@2.2.0)
install_npm() {
  [ -z "$npm_build" ] && return 0
  local dir=$npm_build/npm
  [ -d "$dir/node_modules/imsc" ] && [ -d "$dir/node_modules/webvtt-parser" ] && return 0
  mkdir -p "$dir"
  # Without the registry the tests that need the packages say so and skip.
  npm install --prefix "$dir" --no-audit --no-fund --loglevel=error "${npm_packages[@]}" ||
    echo "install-deps.sh: the npm checkers could not be installed into $dir" >&2
}

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  install_npm
  exit 0
fi

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
install_npm
