# Wine environment for the Windows build: a private prefix inside the repository's build folder,
# no debug output, and the two helpers every Wine run needs. Source this file; it changes nothing
# until a function is called.
#   revivix_wine_prefix  creates the prefix once (serialised with a lock) and tunes it; makes it
#                        again when it cannot load 32-bit programs
#   revivix_wine_stop    waits for the wineserver to exit (kills it after a grace period)
#   revivix_wine_serve   starts one wineserver that stays for a whole stage of tests
#   revivix_wine_unserve ends that wineserver and everything of the prefix at the stage's end
#   revivix_wine_end_leftovers  ends the programs a test left running in the prefix
#   revivix_wine_lane NAME  makes WINEPREFIX a lane's own prefix, cloned from the prepared one
#   revivix_runs_32bit   true when this machine can run Wine's 32-bit half (32-bit programs)

REVIVIX_ROOT=${REVIVIX_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
export WINEPREFIX=${WINEPREFIX:-$REVIVIX_ROOT/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEARCH=win64
REVIVIX_WINE64=/usr/lib/wine/wine64
REVIVIX_WINESERVER=/usr/lib/wine/wineserver
REVIVIX_WINE32=${REVIVIX_WINE32:-/usr/lib/wine/wine}

# Wine's 32-bit half is a 32-bit Linux program. Some machines' kernels run no 32-bit x86 code at
# all (no IA-32 emulation); there no 32-bit Windows program can run under Wine, whatever is
# installed. That is decided on evidence, not on one exit status (126 also comes from a corrupt or
# wrong loader, a noexec mount or a policy refusal):
#   - the installed loader must be a well-formed 32-bit i386 ELF program (readelf -h), and
#   - a minimal static 32-bit Linux program of our own (revivix_i386_probe) is executed: the kernel
#     runs it (exit 0: 32-bit code runs here) or refuses it as of an unknown format (ENOEXEC: it
#     runs none).
# Anything else (no loader, a loader of another machine, the probe refused for another reason or
# failing) is an installation fault: the run stops here and names it. REVIVIX_RUNS_32BIT=yes in the
# environment forces the 32-bit suite on; no value turns it off. The answer is asked once.
revivix_runs_32bit() {
  if [ -z "${REVIVIX_32BIT_ANSWER:-}" ]; then
    if [ "${REVIVIX_RUNS_32BIT:-}" = yes ]; then
      REVIVIX_32BIT_ANSWER=yes
    else
      REVIVIX_32BIT_ANSWER=$(revivix_decide_32bit) || {
        echo "wine-env: $REVIVIX_32BIT_ANSWER" >&2
        exit 1
      }
    fi
  fi
  [ "$REVIVIX_32BIT_ANSWER" = yes ]
}

# Prints yes or no; on an installation fault prints its cause and fails.
revivix_decide_32bit() {
  local header
  if [ ! -f "$REVIVIX_WINE32" ]; then
    echo "Wine's 32-bit loader $REVIVIX_WINE32 is missing (is wine32:i386 installed?)"
    return 1
  fi
  header=$(LC_ALL=C readelf -h "$REVIVIX_WINE32" 2>&1) || {
    echo "Wine's 32-bit loader $REVIVIX_WINE32 is no ELF program: ${header%%$'\n'*}"
    return 1
  }
  if ! grep -q 'Class: *ELF32' <<<"$header" || ! grep -q 'Machine: *Intel 80386' <<<"$header"; then
    echo "Wine's 32-bit loader $REVIVIX_WINE32 is not a 32-bit i386 program" \
      "($(grep -E 'Class|Machine' <<<"$header" | tr -s ' ' | tr '\n' ';'))"
    return 1
  fi
  local probe status=0
  probe=$(revivix_i386_probe) || { echo "cannot write the 32-bit probe program"; return 1; }
  python3 - "$probe" <<'PY' || status=$?
import errno, os, sys
try:
    os.execv(sys.argv[1], [sys.argv[1]])
except OSError as error:
    print(os.strerror(error.errno), file=sys.stderr)
    sys.exit(3 if error.errno == errno.ENOEXEC else 4)
PY
  case $status in
    0) echo yes ;;
    3) echo no ;;
    *)
      echo "the kernel neither ran nor refused as of an unknown format the 32-bit probe $probe" \
        "(status $status): an installation fault, not a machine without 32-bit code"
      return 1
      ;;
  esac
}

# Writes (once) a static 32-bit i386 Linux program that only exits with status 0: an ELF header,
# one loadable segment and three instructions (mov eax, 1; xor ebx, ebx; int 0x80). Prints its path.
revivix_i386_probe() {
  local probe="$REVIVIX_ROOT/build/revivix-i386-probe"
  if [ ! -x "$probe" ]; then
    mkdir -p "$(dirname "$probe")" || return 1
    local tmp="$probe.$$"
    {
      # e_ident, e_type EXEC, e_machine 386, e_version, e_entry 0x08048054, e_phoff 52, e_shoff 0
      printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00'
      printf '\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00'
      printf '\x00\x00\x00\x00'
      # e_flags, e_ehsize 52, e_phentsize 32, e_phnum 1, no sections
      printf '\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00'
      # PT_LOAD of the whole file at 0x08048000, 93 bytes, read and execute
      printf '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08'
      printf '\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00'
      printf '\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80'
    } >"$tmp" && chmod 755 "$tmp" && mv -f "$tmp" "$probe" || { rm -f "$tmp"; return 1; }
  fi
  echo "$probe"
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

# One wineserver for a whole stage of tests: started once (it stays until told to end), so a
# test does not pay Wine's start and shut-down each time. tools/wine-run.sh then ends what a test
# left running instead of waiting for the server to exit. Call inside the stage's X display, so
# that Wine's desktop belongs to it.
revivix_wine_serve() {
  revivix_wine_prefix || return 1
  revivix_wine_stop
  "$REVIVIX_WINESERVER" -p || { echo "wine-env: the wineserver did not start" >&2; return 1; }
  # Wine's own services start with the first program; a quick one starts them for the stage.
  timeout 120 "$REVIVIX_WINE64" cmd /c exit >/dev/null 2>&1 || true
  export REVIVIX_WINE_SERVED=1
}

revivix_wine_unserve() {
  unset REVIVIX_WINE_SERVED
  "$REVIVIX_WINESERVER" -k 2>/dev/null || true
  timeout 60 "$REVIVIX_WINESERVER" -w 2>/dev/null || true
}

# The Windows programs of this prefix that are not Wine's own: processes run by Wine's loader
# (their executable lies in Wine's folder) with this WINEPREFIX in their environment, less Wine's
# services and desktop, which run from C:\windows and stay with the server.
revivix_wine_leftovers() {
  local pid exe cmdline
  for pid in $(ls /proc | grep -E '^[0-9]+$'); do
    exe=$(readlink "/proc/$pid/exe" 2>/dev/null) || continue
    case $exe in
      /usr/lib/wine/wineserver*) continue ;;
      /usr/lib/wine/*) ;;
      *) continue ;;
    esac
    tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" || continue
    cmdline=$(tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null) || continue
    case ${cmdline,,} in
      'c:\windows\'*) ;;
      *) echo "$pid" ;;
    esac
  done
}

# Ends the programs a test left running (a wizard, an updater, a second instance), so the next
# test meets an empty desktop. Says which, so a test that leaves programs behind is seen.
revivix_wine_end_leftovers() {
  local pids
  pids=$(revivix_wine_leftovers)
  [ -n "$pids" ] || return 0
  local pid
  for pid in $pids; do
    echo "wine-run: ending a program the test left running: $(tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null)" >&2
    kill -KILL "$pid" 2>/dev/null || true
  done
  # The server notices the ends; wait until it has (a short bounded wait).
  local tries=0
  while [ -n "$(revivix_wine_leftovers)" ] && [ "$tries" -lt 50 ]; do
    sleep 0.1
    tries=$((tries + 1))
  done
}

# A lane: a Wine prefix of its own, cloned from the prepared one (build/wineprefix), for a suite
# that runs beside another. With its own wineserver and X display (revivix_wine_serve inside its
# own xvfb-run) nothing in one lane sees another lane's windows, devices, named objects, registry
# or files. The clone is made again whenever the prepared prefix was made after it.
revivix_wine_lane() {
  local base=$REVIVIX_ROOT/build/wineprefix
  local lane=$REVIVIX_ROOT/build/wineprefix-lane-$1
  WINEPREFIX=$base revivix_wine_prefix || return 1
  if [ ! -f "$lane/$REVIVIX_PREFIX_MARKER" ] || [ "$base/$REVIVIX_PREFIX_MARKER" -nt "$lane/$REVIVIX_PREFIX_MARKER" ]; then
    rm -rf "$lane"
    cp -a "$base" "$lane.partial" && mv "$lane.partial" "$lane" ||
      { echo "wine-env: cannot clone the prefix for lane $1" >&2; rm -rf "$lane.partial"; return 1; }
    touch "$lane/$REVIVIX_PREFIX_MARKER"
  fi
  export WINEPREFIX=$lane
}
