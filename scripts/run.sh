#!/usr/bin/env bash
# Installs what is missing, builds in Release and starts Vantrel on its bundled demo (or on the
# project given as the argument).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DVANTREL_TESTS=OFF
cmake --build build/release -j"$(nproc)"
scripts/make-demo-video.sh resources/demo
exec build/release/vantrel "${1:-resources/demo/demo.ccp}"
