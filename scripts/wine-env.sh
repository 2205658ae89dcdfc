# Wine environment for the Windows build: a private prefix inside the repository's build folder,
# no debug output, and the two helpers every Wine run needs. Source this file; it changes nothing
# until a function is called.
#   revivix_wine_prefix  creates the prefix once (serialised with a lock) and tunes it; makes it
#                        again when it cannot load 32-bit programs
#   revivix_wine_stop    waits for the wineserver to exit (kills it after a grace period)

REVIVIX_ROOT=${REVIVIX_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
export WINEPREFIX=${WINEPREFIX:-$REVIVIX_ROOT/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEARCH=win64
REVIVIX_WINE64=/usr/lib/wine/wine64
REVIVIX_WINESERVER=/usr/lib/wine/wineserver

# True when the prefix is complete (its marker file) and can load 32-bit programs: a prefix made
# before Wine's 32-bit half was installed has no syswow64 folder and fails every i686 program.
revivix_wine_prefix_usable() {
  [ -f "$WINEPREFIX/.revivix-ready" ] && [ -d "$WINEPREFIX/drive_c/windows/syswow64" ]
}

# Creates the prefix on first use, and again when it is not usable: a prefix left half-made by an
# interrupted run, or one without the 32-bit system folder. Without a window manager every window
# close stalls about 2 s unless the X11 driver leaves the windows unmanaged.
revivix_wine_prefix() {
  local marker="$WINEPREFIX/.revivix-ready"
  revivix_wine_prefix_usable && return 0
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock -w 600 9 || { echo "wine-env: cannot lock the prefix" >&2; exit 1; }
    revivix_wine_prefix_usable && exit 0
    rm -rf "$WINEPREFIX"
    WINEDLLOVERRIDES="mscoree,mshtml=" timeout 300 "$REVIVIX_WINE64" wineboot -i >/dev/null 2>&1 ||
      { echo "wine-env: wineboot failed" >&2; exit 1; }
    timeout 120 "$REVIVIX_WINESERVER" -w
    timeout 120 "$REVIVIX_WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
      >/dev/null 2>&1 || { echo "wine-env: reg add failed" >&2; exit 1; }
    timeout 120 "$REVIVIX_WINESERVER" -w
    [ -d "$WINEPREFIX/drive_c/windows/syswow64" ] ||
      { echo "wine-env: the prefix has no 32-bit system folder (is wine32:i386 installed?)" >&2; exit 1; }
    touch "$marker"
  ) 9>"$WINEPREFIX.lock"
}

# A wineserver left running would keep the desktop of this session for the next one (a headless
# one would then never show windows), so every run ends by letting it exit.
revivix_wine_stop() {
  timeout 60 "$REVIVIX_WINESERVER" -w || "$REVIVIX_WINESERVER" -k 2>/dev/null || true
}
