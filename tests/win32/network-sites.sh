#!/usr/bin/env bash
# The networks of the network roads, beside the roads' own site (which serves ROOT over http):
#   network-sites.sh start ROOT STATE   makes a certificate authority and a certificate for
#                                       "localhost" signed by it (STATE/authority.der,
#                                       STATE/localhost.pem), and starts on loopback
#                                         https/     the same ROOT over https with that certificate
#                                         redirect/  http answering every request with a 302 to it
#                                         untrusted/ the same ROOT over https with a certificate
#                                                    for "localhost" that signs itself, which no
#                                                    authority vouches for
#                                         proxy/     a forward proxy that leads the name
#                                                    fernclip-site.invalid to 127.0.0.1, and
#                                                    answers with the status in proxy/status
#                                                    when that file exists
#                                       each folder gets port, pid and requests.log
#   network-sites.sh stop STATE         ends them
# `start` returns once all four answer; it fails when one does not within 20 s.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
tools=$(cd "$here/../../tools/site" && pwd)
lifetime=${REVIVIX_SITE_LIFETIME:-1800}

# Starts "$@" in the background with its state in folder $1, and waits for its port file and a
# connection to the port.
launch() {
  local folder=$1
  shift
  mkdir -p "$folder"
  rm -f "$folder/port" "$folder/requests.log"
  nohup "$@" --port-file "$folder/port" --log "$folder/requests.log" --lifetime "$lifetime" \
    >"$folder/server.out" 2>&1 &
  echo $! >"$folder/pid"
  for _ in $(seq 200); do
    if [ -s "$folder/port" ] && python3 - "$(cat "$folder/port")" <<'PY'
import socket, sys
socket.create_connection(("127.0.0.1", int(sys.argv[1])), timeout=1).close()
PY
    then
      return 0
    fi
    kill -0 "$(cat "$folder/pid")" 2>/dev/null || break
    sleep 0.1
  done
  echo "network-sites: $folder did not start; its output:" >&2
  cat "$folder/server.out" >&2 || true
  return 1
}

end() {
  local folder=$1
  [ -f "$folder/pid" ] || return 0
  local pid
  pid=$(cat "$folder/pid")
  if kill "$pid" 2>/dev/null; then
    # Ended is gone or a zombie that its new parent has not reaped yet.
    for _ in $(seq 50); do
      case "$(ps -o stat= -p "$pid" 2>/dev/null)" in "" | Z*) break ;; esac
      sleep 0.1
    done
    kill -9 "$pid" 2>/dev/null || true
  fi
  rm -f "$folder/pid"
}

# A certificate authority of the run's own and the server certificate it signs: the name
# "localhost" (Windows refuses a certificate whose only name is an address), valid for two days.
make_certificates() {
  local state=$1
  local work=$state/authority
  rm -rf "$work"
  mkdir -p "$work"
  openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Revivix Test Authority" \
    -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign" \
    -keyout "$work/authority.key" -out "$work/authority.pem" 2>/dev/null
  openssl req -newkey rsa:2048 -nodes -subj "/CN=localhost" \
    -keyout "$state/localhost.key" -out "$work/localhost.csr" 2>/dev/null
  printf '%s\n' "basicConstraints=CA:FALSE" "keyUsage=critical,digitalSignature,keyEncipherment" \
    "extendedKeyUsage=serverAuth" "subjectAltName=DNS:localhost" >"$work/localhost.ext"
  openssl x509 -req -days 2 -in "$work/localhost.csr" -CA "$work/authority.pem" \
    -CAkey "$work/authority.key" -CAcreateserial -extfile "$work/localhost.ext" \
    -out "$state/localhost.pem" 2>/dev/null
  openssl x509 -in "$work/authority.pem" -outform der -out "$state/authority.der"
  openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=localhost" \
    -addext "subjectAltName=DNS:localhost" -addext "extendedKeyUsage=serverAuth" \
    -keyout "$state/self-signed.key" -out "$state/self-signed.pem" 2>/dev/null
}

case "${1:-}" in
  start)
    root=$2 state=$3
    mkdir -p "$state"
    "$0" stop "$state" || true
    command -v openssl >/dev/null || {
      echo "network-sites: openssl is missing (scripts/install-deps.sh installs it)" >&2
      exit 1
    }
    make_certificates "$state"
    launch "$state/https" python3 "$tools/revivix_site.py" --root "$root" \
      --certificate "$state/localhost.pem" --key "$state/localhost.key"
    launch "$state/redirect" python3 "$tools/revivix_site.py" --root "$root" \
      --redirect-to-https "$(cat "$state/https/port")"
    launch "$state/untrusted" python3 "$tools/revivix_site.py" --root "$root" \
      --certificate "$state/self-signed.pem" --key "$state/self-signed.key"
    rm -f "$state/proxy/status"
    launch "$state/proxy" python3 "$tools/revivix_proxy.py" \
      --map fernclip-site.invalid=127.0.0.1 --status-file "$state/proxy/status"
    ;;
  stop)
    state=$2
    for folder in proxy untrusted redirect https; do end "$state/$folder"; done
    ;;
  *)
    echo "usage: network-sites.sh start ROOT STATE | stop STATE" >&2
    exit 2
    ;;
esac
