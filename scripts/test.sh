#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds everything and runs every test:
# the native suite, the import checks of both Windows programs, and the
# Windows suite under wine64.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${NORVANE_BUILD:-build}
start=$SECONDS
stage() { printf '\n== %s (%ds)\n' "$1" $((SECONDS - start)) >&2; }

stage "setup"
scripts/setup.sh
scripts/build.sh

stage "native tests"
ctest --test-dir "$build/native" --output-on-failure -j "${JOBS:-$(nproc)}"

stage "i686 release checks"
ctest --test-dir "$build/i686-w64-mingw32" --output-on-failure

stage "stand-in archives"
# A whole one; one whose Rapture3D installer hangs for a while; and the
# whole one cut short inside the last payload.
scripts/make-stand-in-archive.sh "$build/standin/whole"
scripts/make-stand-in-archive.sh "$build/standin/slow" --sleep "26=6000"
# Installers that answer 1638 (already present), 3010 (restart) and 1603 (failed).
scripts/make-stand-in-archive.sh "$build/standin/codes" --codes "5=1638,17=3010,26=1603"
# Windowed installers, as most vendor setups are, and a damaged package.
scripts/make-stand-in-archive.sh "$build/standin/windowed" --windowed "5,12" --codes "5=3010" \
  --broken-msi "1"
mkdir -p "$build/standin/cut"
cp --sparse=always "$build/standin/whole/Kavrin.cab" "$build/standin/cut/Kavrin.cab"
truncate -s 861700000 "$build/standin/cut/Kavrin.cab"
cp "$build/standin/whole/norvane.exe" "$build/standin/cut/"

stage "x86_64 twin: checks and the Windows suite under wine64 and Xvfb"
# Wine passes the variable on to the Windows side.
export NORVANE_STANDIN_DIR="Z:$(realpath "$build/standin" | tr / '\\')"
xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" \
  ctest --test-dir "$build/x86_64-w64-mingw32" --output-on-failure
stage "benchmark smoke"
scripts/bench.sh --smoke >/dev/null
stage "all tests passed"
