#!/usr/bin/env bash
# The whole repair on the demo setup: the local maker site with the demo database and link pages
# (tools/site/demo), one simulated player in Wine's device list ("Zanterix Fernclip 200 USB
# Device") and the simulated format-type updater as the model's firmware updater.
# With $DISPLAY the user clicks through the wizard. Without one the wizard runs on a virtual
# screen and revivix-demo.exe drives it like a user: it saves a screenshot of every page it passes
# into out/demo/ (PNG) and the script prints the sequence of pages it saw.
# The program runs from its own copy of the runnable folder (out/demo/app) and the site from its
# own copy (out/demo/site); the build's folders stay untouched.
# Options:
#   --x64            runs the x86_64 build instead of the 32-bit one, the one users run
#   --language NAME  the language settings.ini chooses (a name of the language list; English)
#   --dpi N          the screen's dots per inch, Wine's LogPixels (96, 120 or 144; 96)
#   --gallery        retakes docs/screenshots: every page in English, and the license and download
#                    pages in German, Russian and Japanese and at 144 dpi (docs/screenshots/gallery)
set -euo pipefail
REVIVIX_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$REVIVIX_ROOT"

preset=mingw-i686
width="32-bit"
x64=()
language=English
dpi=96
gallery=0
while [ $# -gt 0 ]; do
  case "$1" in
    --x64) preset=mingw-x64 width="64-bit" x64=(--x64); shift ;;
    --language) language=${2:?--language needs a name}; shift 2 ;;
    --dpi) dpi=${2:?--dpi needs a number}; shift 2 ;;
    --gallery) gallery=1; shift ;;
    *)
      echo "usage: scripts/demo.sh [--x64] [--language NAME] [--dpi 96|120|144] [--gallery]" >&2
      exit 2
      ;;
  esac
done
case "$dpi" in 96 | 120 | 144) ;; *) echo "demo: --dpi takes 96, 120 or 144" >&2; exit 2 ;; esac

if [ "$gallery" = 1 ]; then
  shots="$REVIVIX_ROOT/docs/screenshots"
  mkdir -p "$shots/gallery"
  "$0" "${x64[@]}" --language English --dpi 96
  for page in start license download updater success; do
    cp "$REVIVIX_ROOT"/out/demo/[0-9][0-9]-"$page".png "$shots/$page.png"
  done
  for run in German:96 Russian:96 Japanese:96 English:144; do
    "$0" "${x64[@]}" --language "${run%%:*}" --dpi "${run##*:}"
    name=$(echo "${run%%:*}" | tr '[:upper:]' '[:lower:]')
    [ "${run##*:}" = 96 ] || name="${run##*:}dpi"
    for page in license download; do
      cp "$REVIVIX_ROOT"/out/demo/[0-9][0-9]-"$page".png "$shots/gallery/$page-$name.png"
    done
  done
  echo "demo: screenshots retaken in $shots"
  exit 0
fi

scripts/install-deps.sh

# shellcheck source=wine-env.sh
. "$REVIVIX_ROOT/scripts/wine-env.sh"
if [ "$preset" = mingw-i686 ] && ! revivix_runs_32bit; then
  # Without IA-32 emulation in the kernel no 32-bit program starts; the same wizard in its 64-bit
  # build shows the same repair.
  revivix_say_no_32bit
  echo "demo: running the 64-bit fernclip.exe instead of the 32-bit one" >&2
  preset=mingw-x64 width="64-bit" x64=(--x64)
fi

cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j2 --target fernclip revivix-demo revivix-updater-format
echo "demo: the $width fernclip.exe (build/$preset)"

revivix_wine_prefix

build="$REVIVIX_ROOT/build/$preset"
out="$REVIVIX_ROOT/out/demo"
app="$out/app"
site="$out/site"
state="$out/site-state"
player="Zanterix Fernclip 200 USB Device"
updater_title="Fernclip 200 Firmware Updater"
mkdir -p "$out"
rm -rf "$app" "$site" "$out"/*.png "$out"/*.bmp
cp -r "$build/bin" "$app"
# The settings file as the program writes it: region and language already chosen.
printf '[Settings]\r\nRegion=Europe\r\nLanguage=%s\r\n' "$language" >"$app/settings.ini"
if [ ! -f "$app/Languages/$language.txt" ]; then
  echo "demo: no language \"$language\" (Languages/$language.txt)" >&2
  exit 2
fi

# The demo site, with the format-type updater where the model's link page points.
cp -r "$REVIVIX_ROOT/tools/site/demo" "$site"
python3 - "$site" "$build/updaters/revivix-updater-format.exe" <<'PY'
import json, os, re, shutil, sys
site, updater = sys.argv[1], sys.argv[2]
link_page = os.path.join(site, "revivix", "fw", "eu", "fc200.htm")
with open(link_page, encoding="latin-1") as f:
    hrefs = re.findall(r'HREF="([^"]+)"', f.read())
if not hrefs:
    sys.exit("demo: the link page %s names no updater" % link_page)
path = hrefs[-1].split("@SITE@", 1)[-1].lstrip("/")
target = os.path.join(site, *path.split("/"))
os.makedirs(os.path.dirname(target), exist_ok=True)
shutil.copyfile(updater, target)
# Served slowly enough (about three seconds) that the download page shows its progress.
with open(os.path.join(os.path.dirname(target), "site-rules.json"), "w") as f:
    json.dump({"/" + os.path.basename(target): {"rate": os.path.getsize(target) // 3 + 1}}, f)
PY
# Wine reads the dots per inch when a program starts; the prefix gets its own value back at the end.
desktop='HKCU\Control Panel\Desktop'
timeout 60 "$REVIVIX_WINE64" reg add "$desktop" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
revivix_wine_stop
port=$(tools/site/site-ctl.sh start "$site" "$state")
trap 'tools/site/site-ctl.sh stop "$state"
  timeout 60 "$REVIVIX_WINE64" reg delete "$desktop" /v LogPixels /f >/dev/null 2>&1 || true
  revivix_wine_stop' EXIT
printf '[Site]\r\nAddress=http://127.0.0.1:%s\r\n' "$port" >"$app/site.ini"
echo "demo: the maker's site runs on http://127.0.0.1:$port"

demo_tool="$build/tools/revivix-demo.exe"

if [ -n "${DISPLAY:-}" ]; then
  # The player and a supported Windows version, then the user's own clicks.
  key='HKLM\System\CurrentControlSet\Enum\USB\VID_1F3A&PID_0200\ZXDEMO0001'
  for value in DeviceDesc FriendlyName; do
    timeout 60 "$REVIVIX_WINE64" reg add "$key" /v "$value" /d "$player" /f >/dev/null
  done
  timeout 60 "$REVIVIX_WINE64" reg add "$key" /v ClassGUID \
    /d '{36fc9e60-c465-11cf-8056-444553540000}' /f >/dev/null
  timeout 60 "$REVIVIX_WINE64" reg add 'HKCU\Software\Wine\AppDefaults\fernclip.exe' \
    /v Version /d winxp /f >/dev/null
  echo "demo: running the $width fernclip.exe on $DISPLAY (close the window to end)"
  (cd "$app" && "$REVIVIX_WINE64" fernclip.exe)
  timeout 60 "$REVIVIX_WINE64" reg delete 'HKLM\System\CurrentControlSet\Enum\USB\VID_1F3A&PID_0200' /f \
    >/dev/null 2>&1 || true
  exit 0
fi

status=0
# The window grows with the dots per inch; the virtual screen holds it at 144 dpi too.
timeout 300 xvfb-run -a -s "-screen 0 1280x1024x24" \
  "$REVIVIX_WINE64" "$demo_tool" "$app" "$out" "$player" "$updater_title" "$language" |
  tr -d '\r' |
  tee "$out/pages.txt" || status=$?
revivix_wine_stop
for shot in "$out"/*.bmp; do
  [ -e "$shot" ] || continue
  # The screen around the windows is black; the picture keeps the windows only.
  convert "$shot" -trim +repage "${shot%.bmp}.png" && rm -f "$shot"
done
if [ "$status" -ne 0 ] || ! grep -q '^page ended' "$out/pages.txt"; then
  echo "demo: the repair did not run to its end (status $status)" >&2
  exit 1
fi
echo "demo: the pages in order:"
grep '^page [0-9]' "$out/pages.txt" | sed 's/^page [0-9]*: /  /'
echo "demo: screenshots in $out"
