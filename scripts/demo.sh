#!/usr/bin/env bash
# Builds fernclip.exe for x86_64 Windows and shows it under Wine: on $DISPLAY when there is one,
# otherwise on a virtual screen, where a screenshot is taken into out/demo/fernclip.png before the
# program is closed again. The program runs from its own copy of the runnable folder in
# out/demo/app, whose settings file restores Europe and German, so the start page shows German
# captions; the build's folder stays untouched.
set -euo pipefail
REVIVIX_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$REVIVIX_ROOT"

scripts/install-deps.sh imagemagick

cmake --preset mingw-x64
cmake --build --preset mingw-x64 -j2 --target fernclip revivix-window

# shellcheck source=wine-env.sh
. "$REVIVIX_ROOT/scripts/wine-env.sh"
revivix_wine_prefix

out="$REVIVIX_ROOT/out/demo"
bin="$out/app"
rm -rf "$bin"
mkdir -p "$out"
cp -r "$REVIVIX_ROOT/build/mingw-x64/bin" "$bin"
# The settings file as the program writes it: ANSI text, CR LF line ends.
printf '[Settings]\r\nRegion=Europe\r\nLanguage=German\r\n' >"$bin/settings.ini"
window_tool="$REVIVIX_ROOT/build/mingw-x64/tools/revivix-window.exe"

if [ -n "${DISPLAY:-}" ]; then
  echo "demo: running fernclip.exe on $DISPLAY (close the window to end)"
  (cd "$bin" && "$REVIVIX_WINE64" fernclip.exe)
  revivix_wine_stop
  exit 0
fi

# One virtual-screen session: start the program, wait for its window, let the start-up finish,
# take the screenshot, then close the program as the title-bar button does.
cat >"$out/session.sh" <<SESSION
#!/usr/bin/env bash
set -u
cd "$bin"
"$REVIVIX_WINE64" fernclip.exe &
program=\$!
"$REVIVIX_WINE64" "$window_tool" wait "Zanterix Revivix" 30
found=\$?
# The start-up runs once the window is active; give it a moment to colour the page.
sleep 3
import -window root "$out/fernclip.png"
"$REVIVIX_WINE64" "$window_tool" close "Zanterix Revivix" 15
closed=\$?
wait \$program
exit \$(( found || closed ))
SESSION
chmod +x "$out/session.sh"
status=0
timeout 180 xvfb-run -a -s "-screen 0 1024x768x24" "$out/session.sh" || status=$?
revivix_wine_stop
rm -f "$out/session.sh"
if [ $status -ne 0 ]; then
  echo "demo: the window did not show or did not close (status $status)" >&2
  exit 1
fi
echo "demo: screenshot $out/fernclip.png"
