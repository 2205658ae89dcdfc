# Wine environment for the Windows build: a private prefix inside the repository's build folder,
# no debug output, and the two helpers every Wine run needs. Source this file; it changes nothing
# until a function is called.
#   revivix_wine_prefix  creates the prefix once (serialised with a lock) and tunes it; makes it
#                        again when it cannot load 32-bit programs
#   revivix_wine_stop    waits for the wineserver to exit (kills it after a grace period)
#   revivix_runs_32bit   true when this machine can run Wine's 32-bit half (32-bit programs)

REVIVIX_ROOT=${REVIVIX_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
export WINEPREFIX=${WINEPREFIX:-$REVIVIX_ROOT/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEARCH=win64
REVIVIX_WINE64=/usr/lib/wine/wine64
REVIVIX_WINESERVER=/usr/lib/wine/wineserver
REVIVIX_WINE32=${REVIVIX_WINE32:-/usr/lib/wine/wine}

# Wine's 32-bit half is a 32-bit Linux program. Some machines' kernels run no 32-bit x86 code at
# all (no IA-32 emulation: the installed loader cannot be executed, "Exec format error", status
# 126); there no 32-bit Windows program can run under Wine, whatever is installed. A loader that
# is missing or fails otherwise is an installation fault, and counts as runnable so that the
# prefix check names it. The answer is a fact of the machine, asked once.
revivix_runs_32bit() {
  if [ -z "${REVIVIX_RUNS_32BIT:-}" ]; then
    REVIVIX_RUNS_32BIT=yes
    if [ -x "$REVIVIX_WINE32" ]; then
      local status=0
      "$REVIVIX_WINE32" --version >/dev/null 2>&1 || status=$?
      [ "$status" -ne 126 ] || REVIVIX_RUNS_32BIT=no
    fi
    export REVIVIX_RUNS_32BIT
  fi
  [ "$REVIVIX_RUNS_32BIT" = yes ]
}

# True when the prefix is complete (its marker file) and, on a machine that runs 32-bit programs,
# can load them: a prefix made before Wine's 32-bit half was installed has no 32-bit system files
# in syswow64 and fails every i686 program.
# The marker's name changes whenever every prefix needs remaking (last: the fonts and their links).
REVIVIX_PREFIX_MARKER=.revivix-ready-fonts
revivix_wine_prefix_usable() {
  [ -f "$WINEPREFIX/$REVIVIX_PREFIX_MARKER" ] || return 1
  [ -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ] || ! revivix_runs_32bit
}

# True when the file is a 32-bit x86 Windows program (its PE header names the i386 machine).
revivix_pe_is_32bit() {
  local offset machine
  offset=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ') || return 1
  [ -n "$offset" ] || return 1
  machine=$(od -An -tx2 -j$((offset + 4)) -N2 "$1" 2>/dev/null | tr -d ' ')
  [ "$machine" = 014c ]
}

# Says why 32-bit programs are not run here (once per run of a script).
revivix_say_no_32bit() {
  [ -n "${REVIVIX_SAID_NO_32BIT:-}" ] && return 0
  export REVIVIX_SAID_NO_32BIT=1
  echo "wine-env: this machine cannot run 32-bit programs: its kernel executes no 32-bit x86" \
    "code (no IA-32 emulation), so Wine's 32-bit half cannot start here" >&2
}

# Creates the prefix on first use, and again when it is not usable: a prefix left half-made by an
# interrupted run, or one without the 32-bit system folder. Without a window manager every window
# close stalls about 2 s unless the X11 driver leaves the windows unmanaged.
revivix_wine_prefix() {
  local marker="$WINEPREFIX/$REVIVIX_PREFIX_MARKER"
  revivix_wine_prefix_usable && return 0
  revivix_runs_32bit || revivix_say_no_32bit
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
    # Wine's own fonts (fonts-wine; Marlett draws the title-bar buttons) lie where this Wine build
    # does not look for them; the prefix's font folder is searched.
    cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    # Like Windows, Wine draws the characters Arial lacks from the fonts linked to it: Japanese
    # from IPAGothic, Chinese from WenQuanYi Micro Hei (scripts/install-deps.sh installs both).
    # The link belongs to Liberation Sans, the face Wine draws Arial with: linked to the name
    # Arial, which no installed font has, the East Asian fonts would draw every text.
    timeout 120 "$REVIVIX_WINE64" reg add \
      'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
      /v 'Liberation Sans' \
      /t REG_MULTI_SZ /d 'ipag.ttf,IPAGothic\0wqy-microhei.ttc,WenQuanYi Micro Hei' /f \
      >/dev/null 2>&1 || { echo "wine-env: reg add failed" >&2; exit 1; }
    # Multi-line edit boxes (the license) take missing characters from SimSun instead, which
    # Wine does not have: WenQuanYi Micro Hei holds the Chinese and the Japanese ones.
    timeout 120 "$REVIVIX_WINE64" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v SimSun \
      /d 'WenQuanYi Micro Hei' /f >/dev/null 2>&1 || { echo "wine-env: reg add failed" >&2; exit 1; }
    timeout 120 "$REVIVIX_WINESERVER" -w
    # Wine fills the 32-bit system folder with its 32-bit loader, which only a machine that runs
    # 32-bit programs can start; elsewhere the prefix serves 64-bit programs alone.
    if revivix_runs_32bit && [ ! -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ]; then
      echo "wine-env: the prefix has no 32-bit system files (is wine32:i386 installed?)" >&2
      exit 1
    fi
    touch "$marker"
  ) 9>"$WINEPREFIX.lock"
}

# A wineserver left running would keep the desktop of this session for the next one (a headless
# one would then never show windows), so every run ends by letting it exit.
revivix_wine_stop() {
  timeout 60 "$REVIVIX_WINESERVER" -w || "$REVIVIX_WINESERVER" -k 2>/dev/null || true
}
