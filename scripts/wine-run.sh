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
wine=/usr/lib/wine/wine64

# Bump when the settings below change, so existing prefixes take them.
settings_version=2
stamp=$WINEPREFIX/.norvane-settings
if [[ ! -f $WINEPREFIX/system.reg ]]; then
  mkdir -p "$WINEPREFIX"
  "$wine" wineboot -i >/dev/null 2>&1 || true
  /usr/lib/wine/wineserver -w || true
fi
if [[ $(cat "$stamp" 2>/dev/null) != "$settings_version" ]]; then
  reg() { "$wine" reg add "$@" /f >/dev/null 2>&1; }
  # 宋体 stands for SimSun, the default GUI font of Chinese Windows; a Song
  # face with its metrics keeps the layout as on Windows.
  for name in SimSun 宋体 NSimSun; do
    reg 'HKCU\Software\Wine\Fonts\Replacements' /v "$name" /d "AR PL SungtiL GB"
  done
  # No window manager under Xvfb: Wine draws the frames itself.
  reg 'HKCU\Software\Wine\X11 Driver' /v Managed /d N
  # Addresses the program opens are logged, never sent anywhere.
  reg 'HKCU\Software\Wine\WineBrowser' /v Browsers /d "$here/tests/tools/url-logger.sh"
  /usr/lib/wine/wineserver -w || true
  echo "$settings_version" >"$stamp"
fi
exec "$wine" "$@"
