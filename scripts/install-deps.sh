#!/usr/bin/env bash
# Installs the Debian packages that building and testing need. Safe to run again: packages that
# are already there are not fetched. Usage: scripts/install-deps.sh [extra-package ...]
set -euo pipefail

packages=(
  cmake make g++ python3 googletest libgtest-dev clang libclang-rt-14-dev
  g++-mingw-w64-x86-64 g++-mingw-w64-i686
  wine64 libwine xvfb xauth fonts-dejavu-core nsis imagemagick
  curl
  "$@"
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  # Recommends are left out: they would pull in the 32-bit Wine, which does not install here.
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
