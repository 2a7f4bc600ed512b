#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
# Extra arguments go to cmake's configure step (for example -DVANTREL_SANITIZE=ON).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
build=${VANTREL_BUILD_DIR:-build/test}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTREL_TESTS=ON "$@"
cmake --build "$build" -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" --output-on-failure -j"$(nproc)" --timeout 900
