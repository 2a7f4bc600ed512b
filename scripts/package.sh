#!/usr/bin/env bash
# Builds the Debian packages vantrel-cc (the converter) and vantrel (the window) in
# build/package, a Release build installed under /usr, and checks them with lintian.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh lintian
build=build/package
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DVANTREL_TESTS=OFF -DCMAKE_INSTALL_PREFIX=/usr
cmake --build "$build" -j"$(nproc)"
(cd "$build" && cpack -G DEB)
for deb in "$build"/*.deb; do
  echo "== lintian $deb"
  lintian --no-tag-display-limit --fail-on error "$deb"
done
ls "$build"/*.deb
