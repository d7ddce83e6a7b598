#!/usr/bin/env bash
# Makes a complete stand-in Kavrin.cab: all 35 payloads as harmless
# stand-ins of exactly their segment lengths (logging installers, real
# Windows Installer packages that write one HKCU value, ZIPs holding what
# their commands name), packed by kavrin-pack and verified.
# Usage: make-stand-in-archive.sh [OUTPUT_DIR] [--codes "5=1638,..."] [--sleep "30=5000"]
#          [--windowed "5"] [--broken-msi "1"]
# Default output: build/standin (Kavrin.cab beside a copy of the twin).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${NORVANE_BUILD:-build}
out=${1:-$build/standin}
shift || true
installer=$build/x86_64-w64-mingw32/bin/norvane_stand_in_installer.exe
packer=$build/native/tools/kavrin_pack/kavrin-pack
mkdir -p "$out"
rm -rf "$out/payloads"
python3 scripts/make-stand-in-payloads.py --installer "$installer" \
  --windowed-installer "${installer%.exe}_windowed.exe" --out "$out/payloads" "$@" >/dev/null
"$packer" pack "$out/payloads" -o "$out/Kavrin.cab"
"$packer" verify "$out/Kavrin.cab" >/dev/null
rm -rf "$out/payloads"
cp "$build/x86_64-w64-mingw32/bin/norvane.exe" "$out/"
echo "stand-in archive: $out/Kavrin.cab" >&2
