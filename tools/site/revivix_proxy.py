#!/usr/bin/env python3
"""A forward HTTP proxy on loopback for the network tests: the company proxy of an office.

It takes requests with an absolute address ("GET http://host:port/path HTTP/1.1"), as a client
sends them to its proxy, and passes each to the server it names. Host names given with --map
NAME=ADDRESS lead to ADDRESS, a loopback address (the request's port is kept): so a name that
does not resolve on the machine, under ".invalid", reaches the local site through the proxy
alone, as on a company network where only the proxy resolves outside names. Loopback hosts are reached as they are; any other
host is answered with 502 Bad Gateway, and so is a server that cannot be reached.

Every request is written to --log as "METHOD ADDRESS STATUS" before its answer. When the file
named by --status-file holds a status ("407", "502"), every request is answered with it instead
(407 with a "Proxy-Authenticate: Basic" challenge, as a proxy that wants a password answers); the
file is read at every request, so a test can change it while the proxy runs.

Each connection carries one request and is closed after its answer, whose body is passed on as it
arrives (a slow download stays slow). CONNECT is not offered (501).

Usage: revivix_proxy.py [--port N] [--port-file FILE] [--log FILE] [--map NAME=ADDRESS ...]
                        [--status-file FILE] [--lifetime S]
"""
import argparse
import os
import socket
import sys
import threading
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

# Hop-by-hop headers: they concern one connection, and are not passed on.
HOP_HEADERS = {
    "connection",
    "keep-alive",
    "proxy-connection",
    "proxy-authorization",
    "proxy-authenticate",
    "te",
    "trailer",
    "transfer-encoding",
    "upgrade",
}
LOOPBACK = {"127.0.0.1", "localhost", "::1"}
UPSTREAM_TIMEOUT_S = 60


class ProxyHandler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "RevivixProxy/1"

    def log_message(self, fmt, *args):
        pass  # the request log is written by record()

    def record(self, status):
        log = self.server.request_log
        if log:
            with self.server.log_lock, open(log, "a", encoding="utf-8") as f:
                f.write("%s %s %d\n" % (self.command, self.path, status))

    def do_GET(self):
        self.relay()

    def do_HEAD(self):
        self.relay()

    def do_CONNECT(self):
        self.record(501)
        self.refuse(501, "Not Implemented")

    def forced_status(self):
        path = self.server.status_file
        if not path or not os.path.isfile(path):
            return 0
        try:
            with open(path, encoding="ascii") as f:
                return int(f.read().strip() or "0")
        except (OSError, ValueError):
            return 0

    def refuse(self, status, reason, extra=()):
        body = ("<html><body><h1>%d %s</h1></body></html>" % (status, reason)).encode("ascii")
        self.close_connection = True
        try:
            self.send_response(status, reason)
            for name, value in extra:
                self.send_header(name, value)
            self.send_header("Content-Type", "text/html")
            self.send_header("Content-Length", str(len(body)))
            self.send_header("Connection", "close")
            self.end_headers()
            if self.command != "HEAD":
                self.wfile.write(body)
        except (BrokenPipeError, ConnectionResetError):
            pass

    def relay(self):
        forced = self.forced_status()
        if forced:
            self.record(forced)
            extra = []
            if forced == 407:
                extra = [("Proxy-Authenticate", 'Basic realm="Revivix test proxy"')]
            self.refuse(forced, "Refused by the proxy", extra)
            return
        address = urllib.parse.urlsplit(self.path)
        if address.scheme != "http" or not address.hostname:
            self.record(400)
            self.refuse(400, "Bad Request")
            return
        host = self.server.names.get(address.hostname.lower(), address.hostname)
        if host not in LOOPBACK:
            self.record(502)
            self.refuse(502, "Bad Gateway")
            return
        port = address.port or 80
        target = address.path or "/"
        if address.query:
            target += "?" + address.query
        try:
            upstream = socket.create_connection((host, port), timeout=UPSTREAM_TIMEOUT_S)
        except OSError:
            self.record(502)
            self.refuse(502, "Bad Gateway")
            return
        with upstream:
            head = ["%s %s HTTP/1.1" % (self.command, target)]
            for name, value in self.headers.items():
                if name.lower() not in HOP_HEADERS:
                    head.append("%s: %s" % (name, value))
            head.append("Connection: close")
            upstream.sendall(("\r\n".join(head) + "\r\n\r\n").encode("latin-1"))
            answer = upstream.makefile("rb")
            status_line = answer.readline()
            try:
                status = int(status_line.split()[1])
            except (IndexError, ValueError):
                self.record(502)
                self.refuse(502, "Bad Gateway")
                return
            self.record(status)
            headers = []
            while True:
                line = answer.readline()
                if line in (b"\r\n", b"\n", b""):
                    break
                name = line.split(b":", 1)[0].strip().decode("latin-1").lower()
                if name not in HOP_HEADERS:
                    headers.append(line)
            self.close_connection = True
            try:
                self.wfile.write(status_line)
                self.wfile.writelines(headers)
                self.wfile.write(b"Connection: close\r\nProxy-Connection: close\r\n\r\n")
                self.wfile.flush()
                if self.command == "HEAD":
                    return
                while True:
                    piece = answer.read1(16 * 1024)
                    if not piece:
                        break
                    self.wfile.write(piece)
                    self.wfile.flush()
            except (BrokenPipeError, ConnectionResetError, socket.timeout):
                pass


def main():
    parser = argparse.ArgumentParser(description="A forward HTTP proxy on loopback.")
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--port-file")
    parser.add_argument("--log")
    parser.add_argument("--map", action="append", default=[], metavar="NAME=ADDRESS")
    parser.add_argument("--status-file")
    parser.add_argument("--lifetime", type=float, default=1800.0)
    args = parser.parse_args()

    server = ThreadingHTTPServer(("127.0.0.1", args.port), ProxyHandler)
    server.daemon_threads = True
    server.request_log = args.log
    server.log_lock = threading.Lock()
    server.status_file = args.status_file
    server.names = {}
    for entry in args.map:
        name, _, address = entry.partition("=")
        if not name or address not in LOOPBACK:
            parser.error("--map takes NAME=ADDRESS with a loopback address")
        server.names[name.lower()] = address
    port = server.server_address[1]
    if args.port_file:
        tmp = args.port_file + ".tmp"
        with open(tmp, "w", encoding="ascii") as f:
            f.write("%d\n" % port)
        os.replace(tmp, args.port_file)
    print("revivix-proxy: listening on 127.0.0.1:%d" % port, flush=True)

    stopping = threading.Event()

    def end_of_life():
        stopping.wait(args.lifetime)
        server.shutdown()

    threading.Thread(target=end_of_life, daemon=True).start()
    try:
        server.serve_forever(poll_interval=0.2)
    except KeyboardInterrupt:
        pass
    finally:
        stopping.set()
        server.server_close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
