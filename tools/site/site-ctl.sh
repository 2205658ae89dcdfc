#!/usr/bin/env bash
# Starts and stops the local maker site for a test run or the demo.
#   site-ctl.sh start ROOT STATE_DIR   serves ROOT on a free loopback port; STATE_DIR receives
#                                      port (the port), pid and requests.log
#   site-ctl.sh stop STATE_DIR         ends the server started with that STATE_DIR
# `start` returns once the server answers; it fails when it does not within 20 s.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

case "${1:-}" in
  start)
    root=$2 state=$3
    mkdir -p "$state"
    rm -f "$state/port"
    "$here/site-ctl.sh" stop "$state" || true
    nohup python3 "$here/revivix_site.py" --root "$root" --port-file "$state/port" \
      --log "$state/requests.log" --lifetime "${REVIVIX_SITE_LIFETIME:-1800}" \
      >"$state/server.out" 2>&1 &
    echo $! >"$state/pid"
    for _ in $(seq 200); do
      if [ -s "$state/port" ]; then
        port=$(cat "$state/port")
        if python3 - "$port" <<'PY'
import socket, sys
s = socket.create_connection(("127.0.0.1", int(sys.argv[1])), timeout=1)
s.close()
PY
        then
          echo "$port"
          exit 0
        fi
      fi
      kill -0 "$(cat "$state/pid")" 2>/dev/null || break
      sleep 0.1
    done
    echo "site-ctl: the site did not start; its output:" >&2
    cat "$state/server.out" >&2 || true
    exit 1
    ;;
  stop)
    state=$2
    [ -f "$state/pid" ] || exit 0
    pid=$(cat "$state/pid")
    if kill "$pid" 2>/dev/null; then
      for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
      kill -9 "$pid" 2>/dev/null || true
    fi
    rm -f "$state/pid"
    ;;
  *)
    echo "usage: site-ctl.sh start ROOT STATE_DIR | stop STATE_DIR" >&2
    exit 2
    ;;
esac
