#!/usr/bin/env bash
# Installs what is missing, builds in Release and starts Vantrel on its bundled demo.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DVANTREL_TESTS=OFF
cmake --build build/release -j"$(nproc)"
if [ -x build/release/vantrel ]; then
  exec build/release/vantrel "$@"
fi
# Until the window lands, show the converter on the bundled example.
demo=resources/demo/demo.scc
cc=build/release/src/cli/vantrel-cc
"$cc" list "$demo"
"$cc" convert "$demo" build/release/demo.srt
cat build/release/demo.srt
