# shellcheck shell=bash
# Sourced by the benchmark scripts: builds their programs in Release, configuring the build
# folder first when it is new.
#   bench_build BUILD_DIR "CMAKE_OPTIONS" TARGET...
# ffmpeg makes every script's test media, so its absence ends the run at once.
bench_build() {
  local build=$1 options=$2
  shift 2
  command -v ffmpeg > /dev/null || { echo "ffmpeg is not installed" >&2; exit 1; }
  if [ ! -f "$build/CMakeCache.txt" ]; then
    # shellcheck disable=SC2086
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DVANTREL_TESTS=OFF $options > /dev/null
  fi
  cmake --build "$build" -j2 --target "$@" > /dev/null
}
