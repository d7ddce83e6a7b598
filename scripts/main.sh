#!/usr/bin/env bash
# The main job on a fresh Debian 12 machine: installs what is needed,
# builds the 32-bit release program and its x86_64 twin, then starts the
# wizard (the twin) under Wine beside a stand-in Kavrin.cab and walks it to
# Finish, keeping a screenshot of every page.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${NORVANE_BUILD:-build}
scripts/setup.sh
scripts/build.sh
echo >&2
scripts/make-stand-in-archive.sh "$build/standin/whole"
scripts/screenshots.sh "$build/screenshots"
for exe in "$build/i686-w64-mingw32/bin/norvane.exe" "$build/x86_64-w64-mingw32/bin/norvane.exe"; do
  printf 'built %s (%s bytes)\n' "$exe" "$(stat -c %s "$exe")" >&2
done
