#!/usr/bin/env bash
# Builds the Debian packages vantrel-cc (the converter) and vantrel (the window) in
# build/package, a Release build installed under /usr, and checks them with lintian.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh lintian
build=build/package
# Debian's hardening: fortified functions, stack protection, read-only relocations bound at start.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DVANTREL_TESTS=OFF -DCMAKE_INSTALL_PREFIX=/usr \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" \
  -DCMAKE_SHARED_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" "$@"
cmake --build "$build" -j"$(nproc)"
(cd "$build" && cpack -G DEB)
for deb in "$build"/*.deb; do
  echo "== lintian $deb"
  lintian --tag-display-limit 0 --fail-on error "$deb"
done
ls "$build"/*.deb
