#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing Vantrel need, and the npm
# packages the tests use as independent checkers (into the build folder's npm/, the build folder
# being VANTREL_BUILD_DIR or build/test). Does nothing when they are all present already.
# Arguments name more Debian packages to install.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  build-essential cmake pkg-config
  qt6-base-dev libmpv-dev
  libavformat-dev libavcodec-dev libswscale-dev libswresample-dev libavutil-dev
  libexpat1-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  ffmpeg xvfb mediainfo
  clang libclang-rt-14-dev
  python3-ttconv
  help2man
  # Timing to speech: the synthesiser's header to build, its library and English voices to run
  # and test.
  libespeak-ng-dev espeak-ng espeak-ng-data
  libhunspell-dev hunspell-en-us hunspell-es hunspell-fr
)
packages+=("$@")

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
# Node and npm from Debian, unless a node of another origin is there already.
command -v node >/dev/null && command -v npm >/dev/null || missing+=(nodejs npm)

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The npm checkers, their versions pinned so that what they say does not change under the
# tests: mux.js (a web player's caption parser, whose 608 and 708 decoders read our embedded
# video), imsc (a renderer of IMSC documents) and webvtt-parser, which read our Timed Text.
npm_dir="${VANTREL_BUILD_DIR:-build/test}/npm"
npm_packages=(mux.js@7.1.0 imsc@1.1.5 webvtt-parser@2.2.0)
for p in "${npm_packages[@]}"; do
  if [ ! -f "$npm_dir/node_modules/${p%@*}/package.json" ]; then
    mkdir -p "$npm_dir"
    npm install --prefix "$npm_dir" --no-audit --no-fund --silent "${npm_packages[@]}" ||
      echo "the npm checkers are not installed: their checks will be skipped"
    break
  fi
done
