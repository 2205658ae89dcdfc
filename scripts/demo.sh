#!/usr/bin/env bash
# Builds fernclip.exe for x86_64 Windows and shows it under Wine: on $DISPLAY when there is one,
# otherwise on a virtual screen, where a screenshot is taken into out/demo/fernclip.png before the
# program is closed again. The program runs from its own copy of the runnable folder in
# out/demo/app, whose settings file restores Europe and German and whose site.ini points at the
# local maker site serving the demo site (tools/site/demo). One simulated player, a Zanterix
# Fernclip 200, is plugged into Wine's device list and Wine reports Windows Server 2003 (5.2) to
# the program, so the wizard identifies the player and shows its license page in German. The
# site is stopped and the player and the version setting are removed again at the end; the
# build's folder stays untouched.
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

# The local maker site with the demo database, on a free loopback port.
site_state="$out/site"
port=$("$REVIVIX_ROOT/tools/site/site-ctl.sh" start "$REVIVIX_ROOT/tools/site/demo" "$site_state")
printf '[Site]\r\nAddress=http://127.0.0.1:%s\r\n' "$port" >"$bin/site.ini"

# The simulated player and the Windows version, in the prefix's registry.
player='HKLM\System\CurrentControlSet\Enum\USB\VID_2A5F&PID_4157\DEMO0001'
version='HKCU\Software\Wine\AppDefaults\fernclip.exe'
wine_reg() {
  timeout 120 "$REVIVIX_WINE64" reg "$@" >/dev/null 2>&1
}
cleanup() {
  "$REVIVIX_ROOT/tools/site/site-ctl.sh" stop "$site_state" || true
  # Without its instance key the player is gone from the device list.
  wine_reg delete "$player" /f || true
  wine_reg delete "$version" /f || true
  revivix_wine_stop
}
trap cleanup EXIT
wine_reg add "$player" /v DeviceDesc /d "USB Mass Storage Device" /f
wine_reg add "$player" /v FriendlyName /d "Zanterix Fernclip 200 USB Device" /f
wine_reg add "$player" /v ClassGUID /d "{36fc9e60-c465-11cf-8056-444553540000}" /f
wine_reg add "$version" /v Version /d win2003 /f
revivix_wine_stop

if [ -n "${DISPLAY:-}" ]; then
  echo "demo: running fernclip.exe on $DISPLAY (close the window to end)"
  (cd "$bin" && "$REVIVIX_WINE64" fernclip.exe)
  exit 0
fi

# One virtual-screen session: start the program, wait for its window and for the license page
# (Accept, control 1027, shows), take the screenshot, then close the program as the title-bar
# button does.
cat >"$out/session.sh" <<SESSION
#!/usr/bin/env bash
set -u
cd "$bin"
"$REVIVIX_WINE64" fernclip.exe &
program=\$!
"$REVIVIX_WINE64" "$window_tool" wait "Zanterix Revivix" 30
found=\$?
"$REVIVIX_WINE64" "$window_tool" shown "Zanterix Revivix" 1027 60
license=\$?
# Let the page finish painting.
sleep 1
import -window root "$out/fernclip.png"
"$REVIVIX_WINE64" "$window_tool" close "Zanterix Revivix" 15
closed=\$?
wait \$program
exit \$(( found || license || closed ))
SESSION
chmod +x "$out/session.sh"
status=0
timeout 180 xvfb-run -a -s "-screen 0 1024x768x24" "$out/session.sh" || status=$?
rm -f "$out/session.sh"
if [ $status -ne 0 ]; then
  echo "demo: the window, its license page or its end did not come (status $status)" >&2
  exit 1
fi
echo "demo: screenshot $out/fernclip.png"
