#!/usr/bin/env bash
# The download benchmark: one file (200 MB by default) from the local maker site on loopback,
# fetched by curl, by a bare URLDownloadToFileA without a callback (revivix-bare-download.exe,
# the platform's own floor) and by TumoDL under Wine (with the wizard's progress display, and
# without any progress handler for comparison). Prints each time, the ratio of TumoDL's
# throughput to curl's, and the rows REVIVIX-BENCH<TAB>row<TAB>figure<TAB>floor<TAB>ratio.
# Needs the mingw-x64 build (cmake --build --preset mingw-x64).
#   bench/download-bench.sh [SIZE_MB]
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
size_mb=${1:-200}
bench_exe=$here/build/mingw-x64/bench/win32/revivix-download-bench.exe
bare_exe=$here/build/mingw-x64/bench/win32/revivix-bare-download.exe
for exe in "$bench_exe" "$bare_exe"; do
  [ -f "$exe" ] || { echo "build the mingw-x64 preset first ($exe is missing)" >&2; exit 1; }
done
# shellcheck source=../scripts/wine-env.sh
source "$here/scripts/wine-env.sh"
revivix_wine_prefix

work=$(mktemp -d)
state=$work/state
cleanup() {
  "$here/tools/site/site-ctl.sh" stop "$state" || true
  revivix_wine_stop
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/root"
head -c "$((size_mb * 1024 * 1024))" /dev/urandom >"$work/root/big.bin"
port=$("$here/tools/site/site-ctl.sh" start "$work/root" "$state")
url="http://127.0.0.1:$port/big.bin"

seconds() { python3 -c 'import sys; print("%.3f" % (float(sys.argv[2]) - float(sys.argv[1])))' "$@"; }

# A first fetch warms the page cache for both.
curl -s -o /dev/null "$url"
t0=$(date +%s.%N)
curl -s -o "$work/curl.bin" "$url"
t1=$(date +%s.%N)
curl_s=$(seconds "$t0" "$t1")
rm -f "$work/curl.bin"

run_bench() {
  timeout 600 "$REVIVIX_WINE64" "$bench_exe" "$url" "Z:${work//\//\\}\\tumo.bin" "$@" | tr -d '\r'
  rm -f "$work/tumo.bin"
}
bare=$(timeout 600 "$REVIVIX_WINE64" "$bare_exe" "$url" "Z:${work//\//\\}\\bare.bin" | tr -d '\r')
rm -f "$work/bare.bin"
plain=$(run_bench PLAIN)
wizard=$(run_bench)
field() { sed -n "s/.*$1=\([^ ]*\).*/\1/p" <<<"$2"; }
bare_s=$(field seconds "$bare")
plain_s=$(field seconds "$plain")
wizard_s=$(field seconds "$wizard")

echo "file:                         ${size_mb} MB over loopback"
echo "curl:                         ${curl_s} s"
echo "bare URLDownloadToFileA:      ${bare_s} s   ($bare)"
echo "TumoDL, no progress handler:  ${plain_s} s   ($plain)"
echo "TumoDL, wizard's progress:    ${wizard_s} s   ($wizard)"
python3 - "$size_mb" "$curl_s" "$bare_s" "$plain_s" "$wizard_s" <<'PY'
import sys
size = sys.argv[1]
try:
    curl, bare, plain, wizard = map(float, sys.argv[2:])
except ValueError:
    print("a transfer gave no time: %s" % " ".join(sys.argv[2:]))
    sys.exit(1)
print("throughput ratio TumoDL/curl: %.2f (no handler: %.2f)" % (curl / wizard, curl / plain))
print("cost of the progress display: %.1f %%" % ((wizard - plain) / plain * 100.0))
# The ratio is TumoDL's time over the floor's (1.00: as fast as the floor).
row = "REVIVIX-BENCH\tdownload %s MB, TumoDL with the wizard's progress\t%.2f s\t%s\t%.2f"
print(row % (size, wizard, "bare URLDownloadToFileA %.2f s" % bare, wizard / bare))
print(row % (size, wizard, "curl %.2f s" % curl, wizard / curl))
PY
