#!/usr/bin/env python3
"""The maker's web site for tests and the demo: a real HTTP/1.1 server on loopback.

It serves the files of a folder by their URL path. Addresses can be given a behaviour of their
own in a file named site-rules.json in any folder on their way: its keys are paths relative to
that folder ("/database.htm"), its values objects with any of
  status        the HTTP status to answer with (the file, or "body", is still sent as the page)
  delay_ms      wait this long before answering
  rate          send the body at this many bytes per second
  no_length     send no Content-Length: the body ends when the connection closes
  hang          send the headers and half of the body, then never finish
  content_type  the Content-Type header (default: by the file's extension)
  body          the page's text, sent instead of a file (UTF-8)
  location      a Location header (with @SITE@ replaced), for a redirect status
  cut_at        announce the whole length, send this fraction of the body (0.6), then close the
                connection cleanly, as a server that goes away mid-transfer does
  trickle_ms    send the body one byte every this many milliseconds
  static        plain static-file headers: Last-Modified (the file's time) and no Cache-Control;
                a conditional request for an unchanged file is answered 304 Not Modified
Rules are read at every request, so a test can change them while the server runs.

In .htm and .html pages (and rule bodies) the text @SITE@ becomes the address of the site the
page belongs to: "http://" and the request's Host, followed by the part of the request path that
comes before "/revivix/" (the scenario folder, "" at the root). A scenario's pages can so link to
each other by absolute address, whatever port the server took and wherever the scenario lies.

Usage: revivix_site.py --root DIR [--port N] [--port-file FILE] [--log FILE] [--lifetime S]
                       [--certificate PEM --key PEM] [--redirect-to-https PORT]
Port 0 (the default) takes a free port; the port in use is written to --port-file. The server
ends by itself after --lifetime seconds (default 1800) so that it never outlives its test run.
With --certificate and --key the site speaks https (and @SITE@ begins "https://"). With
--redirect-to-https every request is answered with a 302 to the same path on https, at the
request's host name and the given port, as a site that moved to https does.
"""
import argparse
import json
import mimetypes
import os
import posixpath
import ssl
import sys
import threading
import time
import urllib.parse
from email.utils import formatdate, parsedate_to_datetime
from http import HTTPStatus
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

CHUNK = 16 * 1024


def find_rule(root, url_path):
    """The rule for url_path from the deepest site-rules.json on its way, or {}."""
    parts = [p for p in url_path.split("/") if p]
    for depth in range(len(parts), -1, -1):
        folder = os.path.join(root, *parts[:depth])
        rules_file = os.path.join(folder, "site-rules.json")
        if not os.path.isfile(rules_file):
            continue
        try:
            with open(rules_file, encoding="utf-8") as f:
                rules = json.load(f)
        except (OSError, ValueError):
            continue
        key = "/" + "/".join(parts[depth:])
        if key in rules:
            return rules[key]
    return {}


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "RevivixSite/1"

    def log_message(self, fmt, *args):
        log = self.server.request_log
        if log:
            with self.server.log_lock, open(log, "a", encoding="utf-8") as f:
                f.write("%s %s\n" % (self.command, self.path))

    def setup(self):
        super().setup()
        self.tls_failed = False
        if self.server.tls:
            # The handshake runs here, on the connection's own thread, so that a client that
            # refuses the certificate holds up no other connection.
            try:
                self.connection.do_handshake()
            except (OSError, ValueError):
                self.tls_failed = True

    def handle(self):
        if not self.tls_failed:
            super().handle()

    def do_HEAD(self):
        self.answer(send_body=False)

    def do_GET(self):
        self.answer(send_body=True)

    def answer(self, send_body):
        if self.server.redirect_port:
            self.redirect_to_https()
            return
        url_path = urllib.parse.unquote(urllib.parse.urlsplit(self.path).path)
        rule = find_rule(self.server.root, url_path)
        if rule.get("delay_ms"):
            time.sleep(float(rule["delay_ms"]) / 1000.0)

        status = int(rule.get("status", 200))
        if "body" in rule:
            body = self.with_site(rule["body"].encode("utf-8"), url_path)
            content_type = rule.get("content_type", "text/html")
        else:
            file_path = self.local_path(url_path)
            if file_path is None:
                body = b"<html><body><h1>404 Not Found</h1></body></html>"
                status = int(rule.get("status", 404))
                content_type = "text/html"
            else:
                with open(file_path, "rb") as f:
                    body = f.read()
                if file_path.lower().endswith((".htm", ".html")):
                    body = self.with_site(body, url_path)
                guessed = mimetypes.guess_type(file_path)[0] or "application/octet-stream"
                content_type = rule.get("content_type", guessed)

        static_time = None
        if rule.get("static"):
            static_time = self.static_time(url_path)
            if static_time is not None and self.not_modified_since(static_time):
                status = 304
                send_body = False

        try:
            self.send_response(status)
            self.send_header("Content-Type", content_type)
            if static_time is not None:
                self.send_header("Last-Modified", formatdate(static_time, usegmt=True))
            elif not rule.get("static"):
                self.send_header("Cache-Control", "no-cache")
            if rule.get("location"):
                location = self.with_site(rule["location"].encode("utf-8"), url_path)
                self.send_header("Location", location.decode("utf-8"))
            if rule.get("no_length"):
                self.send_header("Connection", "close")
                self.close_connection = True
            else:
                self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            if not send_body:
                return
            if rule.get("cut_at") is not None:
                self.wfile.write(body[: int(len(body) * float(rule["cut_at"]))])
                self.wfile.flush()
                self.close_connection = True
                return
            if rule.get("trickle_ms"):
                self.trickle(body, float(rule["trickle_ms"]) / 1000.0)
                return
            if rule.get("hang"):
                self.wfile.write(body[: len(body) // 2])
                self.wfile.flush()
                while not self.server.stopping.wait(1.0):
                    pass
                self.close_connection = True
                return
            self.send_body(body, rule.get("rate"))
        except (BrokenPipeError, ConnectionResetError):
            self.close_connection = True

    def redirect_to_https(self):
        host = (self.headers.get("Host") or "127.0.0.1").rsplit(":", 1)[0]
        location = "https://%s:%d%s" % (host, self.server.redirect_port, self.path)
        try:
            self.send_response(302)
            self.send_header("Location", location)
            self.send_header("Content-Length", "0")
            self.end_headers()
        except (BrokenPipeError, ConnectionResetError):
            self.close_connection = True

    def static_time(self, url_path):
        """The modification time of the file url_path names (whole seconds), or None."""
        file_path = self.local_path(url_path)
        return None if file_path is None else int(os.path.getmtime(file_path))

    def not_modified_since(self, mtime):
        since = self.headers.get("If-Modified-Since")
        if not since:
            return False
        try:
            return parsedate_to_datetime(since).timestamp() >= mtime
        except (TypeError, ValueError):
            return False

    def trickle(self, body, pause):
        """body one byte at a time, `pause` seconds apart; stops with the server."""
        for i in range(len(body)):
            if self.server.stopping.wait(pause):
                break
            self.wfile.write(body[i : i + 1])
            self.wfile.flush()
        self.close_connection = True

    def with_site(self, body, url_path):
        """body with @SITE@ replaced by the address of the page's site."""
        if b"@SITE@" not in body:
            return body
        cut = url_path.find("/revivix/")
        prefix = url_path[:cut] if cut >= 0 else ""
        host = self.headers.get("Host") or "127.0.0.1:%d" % self.server.server_address[1]
        scheme = "https://" if self.server.tls else "http://"
        return body.replace(b"@SITE@", (scheme + host + prefix).encode("utf-8"))

    def send_body(self, body, rate):
        if not rate:
            self.wfile.write(body)
            return
        rate = float(rate)
        chunk = max(1, min(CHUNK, int(rate / 10) or 1))
        start = time.monotonic()
        sent = 0
        while sent < len(body):
            piece = body[sent : sent + chunk]
            self.wfile.write(piece)
            self.wfile.flush()
            sent += len(piece)
            ahead = sent / rate - (time.monotonic() - start)
            if ahead > 0:
                time.sleep(ahead)

    def local_path(self, url_path):
        """The file below the root that url_path names, or None (never outside the root)."""
        clean = posixpath.normpath(url_path)
        parts = [p for p in clean.split("/") if p and p not in (".", "..")]
        path = os.path.join(self.server.root, *parts)
        if os.path.isdir(path):
            for index in ("index.htm", "index.html"):
                if os.path.isfile(os.path.join(path, index)):
                    return os.path.join(path, index)
            return None
        real_root = os.path.realpath(self.server.root)
        if not os.path.realpath(path).startswith(real_root + os.sep):
            return None
        return path if os.path.isfile(path) else None


def main():
    parser = argparse.ArgumentParser(description="The maker's web site on loopback.")
    parser.add_argument("--root", required=True)
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--port-file")
    parser.add_argument("--log")
    parser.add_argument("--lifetime", type=float, default=1800.0)
    parser.add_argument("--certificate")
    parser.add_argument("--key")
    parser.add_argument("--redirect-to-https", type=int, default=0)
    args = parser.parse_args()

    server = ThreadingHTTPServer(("127.0.0.1", args.port), Handler)
    server.daemon_threads = True
    server.root = os.path.abspath(args.root)
    server.request_log = args.log
    server.log_lock = threading.Lock()
    server.stopping = threading.Event()
    server.redirect_port = args.redirect_to_https
    server.tls = bool(args.certificate)
    if server.tls:
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(args.certificate, args.key)
        server.socket = context.wrap_socket(
            server.socket, server_side=True, do_handshake_on_connect=False
        )
    port = server.server_address[1]
    if args.port_file:
        tmp = args.port_file + ".tmp"
        with open(tmp, "w", encoding="ascii") as f:
            f.write("%d\n" % port)
        os.replace(tmp, args.port_file)
    print(
        "revivix-site: serving %s on %s://127.0.0.1:%d"
        % (server.root, "https" if server.tls else "http", port),
        flush=True,
    )

    def end_of_life():
        server.stopping.wait(args.lifetime)
        server.stopping.set()
        server.shutdown()

    threading.Thread(target=end_of_life, daemon=True).start()
    try:
        server.serve_forever(poll_interval=0.2)
    except KeyboardInterrupt:
        pass
    finally:
        server.stopping.set()
        server.server_close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
