#!/usr/bin/env bash
# Installs what building and testing need on Debian 12, idempotently: a
# second run with everything present only checks and returns.
set -euo pipefail

packages=(
  # native build and tests
  build-essential cmake ninja-build pkg-config zlib1g-dev libminizip-dev libjpeg62-turbo-dev
  googletest libgtest-dev
  # the source layout check
  clang-format
  # the Windows builds: compilers, zlib, and what builds the other deps from Debian's sources
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  libz-mingw-w64-dev dpkg-dev xz-utils bzip2 debian-archive-keyring
  # the stand-in payloads: a generator script and real Windows Installer packages
  python3 wixl
  # what the benchmark compares against
  unzip libarchive-tools
  # running and looking at the Windows program: Wine (64-bit side only), a
  # headless X server, Chinese locale and fonts, screenshots, input
  wine64 xvfb xauth xdotool imagemagick locales fonts-wqy-zenhei
  # a Song face standing in for Windows' 宋体 (SimSun) under Wine
  fonts-arphic-gbsn00lp
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

sudo_if_needed() { if [[ $(id -u) -eq 0 ]]; then "$@"; else sudo "$@"; fi; }

if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}" >&2
  export DEBIAN_FRONTEND=noninteractive
  sudo_if_needed apt-get update -q
  sudo_if_needed apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# The wizard speaks Simplified Chinese; Wine takes its code page (936) from this locale.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
  echo "setup: generating zh_CN.UTF-8" >&2
  sudo_if_needed sed -i 's/^# *\(zh_CN.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' | sudo_if_needed tee -a /etc/locale.gen >/dev/null
  sudo_if_needed locale-gen >/dev/null
fi
echo "setup: ok" >&2
