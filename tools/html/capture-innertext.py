#!/usr/bin/env python3
"""Captures what a browser renders as the text of a page: for every PAGE.htm given, writes
PAGE.txt beside it with `document.documentElement.innerText` as Debian's headless chromium gives
it, in UTF-8 with CR LF line breaks. These files are the expected results of the HTML renderer's
fixture test (tests/fixtures/html/); run this again after changing or adding a page.

The page is loaded from a copy into which a small script is put just after its doctype (and
any comments and white space before it, so the page keeps its parsing mode). At the load event
the script replaces the document with its own innerText, JSON-encoded, which --dump-dom prints.

Usage: tools/html/capture-innertext.py [--chromium PATH] PAGE.htm...
"""
import argparse
import html
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

SCRIPT = (
    b"<script>addEventListener('load',function(){"
    b"var t=JSON.stringify(document.documentElement.innerText);"
    b"document.documentElement.innerHTML='';"
    b"var p=document.createElement('pre');p.id='revivix-innertext';p.textContent=t;"
    b"document.documentElement.appendChild(p);});</script>"
)
PREAMBLE = re.compile(rb"(\s|<!--.*?-->|<!doctype[^>]*>)*", re.IGNORECASE | re.DOTALL)
RESULT = re.compile(r'<pre id="revivix-innertext">(.*?)</pre>', re.DOTALL)


def with_script(page):
    bom = b"\xef\xbb\xbf" if page.startswith(b"\xef\xbb\xbf") else b""
    body = page[len(bom):]
    end = PREAMBLE.match(body).end()
    return bom + body[:end] + SCRIPT + body[end:]


def inner_text(chromium, path):
    with open(path, "rb") as f:
        page = f.read()
    work = tempfile.mkdtemp(prefix="revivix-capture-")
    try:
        copy = os.path.join(work, os.path.basename(path))
        with open(copy, "wb") as f:
            f.write(with_script(page))
        profile = os.path.join(work, "profile")
        command = [
            chromium, "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
            "--no-first-run", "--disable-background-networking", "--disable-component-update",
            "--disable-sync", "--user-data-dir=" + profile, "--dump-dom", "file://" + copy,
        ]
        dom = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                             timeout=120, check=True).stdout.decode("utf-8")
    finally:
        shutil.rmtree(work, ignore_errors=True)
    found = RESULT.search(dom)
    if not found:
        raise RuntimeError("%s: the page's script did not run; the browser printed:\n%s"
                           % (path, dom[:2000]))
    return json.loads(html.unescape(found.group(1)))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--chromium", default="/usr/bin/chromium")
    parser.add_argument("pages", nargs="+")
    args = parser.parse_args()
    for path in args.pages:
        text = inner_text(args.chromium, path).replace("\n", "\r\n")
        out = os.path.splitext(path)[0] + ".txt"
        with open(out, "wb") as f:
            f.write(text.encode("utf-8"))
        print("%s -> %s (%d characters)" % (path, out, len(text)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
