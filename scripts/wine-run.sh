#!/usr/bin/env bash
# Runs a Windows program of the project under wine64, headless, in the
# project's throwaway prefix, with the Chinese locale the product targets.
# Used by CTest as the cross-compiling emulator.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${NORVANE_WINEPREFIX:-$here/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEARCH=win64
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
# No Mono or Gecko downloads (the machine has no route to them), no menu entries.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}
if [[ ! -f $WINEPREFIX/system.reg ]]; then
  mkdir -p "$WINEPREFIX"
  /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1 || true
  /usr/lib/wine/wineserver -w || true
fi
exec /usr/lib/wine/wine64 "$@"
