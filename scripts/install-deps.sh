#!/usr/bin/env bash
# Installs the Debian packages that building and testing need. Safe to run again: packages that
# are already there are not fetched. Usage: scripts/install-deps.sh [extra-package ...]
#
# Wine's 32-bit half (wine32:i386) runs the i686 fernclip.exe, the product. fonts-liberation gives
# Arial's metrics (fontconfig maps Arial to Liberation Sans) and fonts-wine the fonts Wine's own
# title bars use, so what the tests measure is what Windows shows. fonts-ipafont-gothic and
# fonts-wqy-microhei hold the Japanese and Chinese glyphs, which Windows draws from its East Asian
# fonts where Arial has none: without them those languages show empty boxes. A Wine prefix must be
# made after all of these are installed (scripts/wine-env.sh remakes one that predates them).
# openssl makes the local certificate authority and the https site's certificate of the network
# tests at test time. ccache lets scripts/test.sh compile a file once when two builds compile it
# alike.
set -euo pipefail

packages=(
  cmake make g++ python3 googletest libgtest-dev clang libclang-rt-14-dev
  g++-mingw-w64-x86-64 g++-mingw-w64-i686
  wine64 libwine wine32:i386 xvfb xauth fonts-dejavu-core fonts-liberation fonts-wine
  fonts-ipafont-gothic fonts-wqy-microhei
  nsis imagemagick curl openssl ccache
  "$@"
)

export DEBIAN_FRONTEND=noninteractive
updated=0
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  apt-get update -qq
  updated=1
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  [ "$updated" = 1 ] || apt-get update -qq
  # Recommends are left out: they would pull in a desktop's worth of packages.
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
