#!/usr/bin/env bash
# Builds the release of fernclip.exe for x86_64 and 32-bit Windows (presets release-x64 and
# release-i686: optimised, without the test programs, with the maker's site address) and packs
# each as a portable zip and an installer. The four files land in one folder, out/release by
# default: Revivix-<version>-<arch>.zip and Revivix-<version>-<arch>-setup.exe.
# Usage: scripts/release.sh [output-folder]
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(mkdir -p "${1:-out/release}" && cd "${1:-out/release}" && pwd)

scripts/install-deps.sh
jobs=$(nproc)

rm -f "$out"/Revivix-*.zip "$out"/Revivix-*-setup.exe
for arch in x64 i686; do
  echo "== release build for $arch"
  build=build/release-$arch
  cmake --preset "release-$arch" >/dev/null
  cmake --build --preset "release-$arch" -j"$jobs"
  rm -f "$build"/Revivix-*.zip "$build"/Revivix-*-setup.exe
  cpack --preset "release-$arch" >/dev/null
  cp "$build"/Revivix-*.zip "$build"/Revivix-*-setup.exe "$out"/
done

echo "== release files in $out"
ls -l "$out"/Revivix-*
