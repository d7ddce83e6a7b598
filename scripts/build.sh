#!/usr/bin/env bash
# Builds everything: the native core with its tests, the i686 release
# program and its x86_64 twin (with the Windows test suite).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${NORVANE_BUILD:-build}
jobs=${JOBS:-$(nproc)}

stage() { printf '\n== %s (%s)\n' "$1" "$(date +%T)" >&2; }

stage "dependencies for MinGW"
scripts/build-mingw-deps.sh "$build"

stage "native build"
cmake -S . -B "$build/native" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build/native" -j "$jobs"

for triplet in i686-w64-mingw32 x86_64-w64-mingw32; do
  stage "$triplet build"
  # The release's tests cannot run here (no 32-bit Wine); the twin's do.
  tests=ON
  [[ $triplet == i686-* ]] && tests=OFF
  cmake -S . -B "$build/$triplet" -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel -DNORVANE_TESTS=$tests \
    -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-$triplet.cmake \
    -DNORVANE_DEPS_PREFIX="$PWD/$build/deps/$triplet" \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$PWD/scripts/wine-run.sh" >/dev/null
  cmake --build "$build/$triplet" -j "$jobs"
done
