#!/usr/bin/env python3
"""Writes the license texts of Revivix: data/License/<Language>.txt.

The sources are UTF-8 files in tools/license-src/, one per language, named
after the language exactly as the language list shows it.  In a source file
every paragraph is one line and paragraphs are separated by a blank line.

The program loads a license file byte for byte into the license box as
UTF-16LE text, so the files are written as UTF-16LE with a byte-order mark and
CR LF line endings, paragraphs separated by one empty line.  The box wraps the
long paragraph lines itself.

Each license has to name the Accept and Decline buttons by the captions of
its own language; the captions are taken from make_language_files.py, and a
license that does not mention them is refused.

Run from anywhere:  python3 tools/make_license_files.py
"""

import os
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from make_language_files import LANGUAGES, TEXTS  # noqa: E402

NBSP = "\u00a0"


def french_spacing(text):
    """Keeps French high punctuation and guillemets on the line of their word."""
    for mark in (":", ";", "?", "!", "»"):
        text = text.replace(" " + mark, NBSP + mark)
    return text.replace("« ", "«" + NBSP)


def read_paragraphs(path):
    with open(path, "r", encoding="utf-8") as handle:
        source = handle.read()
    if source.startswith("\ufeff"):
        source = source[1:]
    paragraphs = []
    current = []
    for line in source.splitlines():
        line = line.strip()
        if line:
            current.append(line)
        elif current:
            paragraphs.append(current)
            current = []
    if current:
        paragraphs.append(current)
    return paragraphs


def build(language, source_dir):
    path = os.path.join(source_dir, language + ".txt")
    paragraphs = read_paragraphs(path)
    problems = []
    for lines in paragraphs:
        if len(lines) != 1:
            problems.append("%s: paragraph spread over %d lines: %.40s..."
                            % (language, len(lines), lines[0]))
    text_paragraphs = [" ".join(lines) for lines in paragraphs]
    if language == "French":
        text_paragraphs = [french_spacing(p) for p in text_paragraphs]
    body = "\r\n\r\n".join(text_paragraphs) + "\r\n"
    captions = TEXTS[language]
    for key in ("IDS_LICENSE_AGREE_CONTINUE", "IDS_LICENSE_DISAGREE_QUIT"):
        if captions[key] not in body:
            problems.append("%s: the license never names the %r button"
                            % (language, captions[key]))
    if "Zanterix" not in body or "Revivix" not in body:
        problems.append("%s: product or company name missing" % language)
    return b"\xff\xfe" + body.encode("utf-16-le"), problems


def main():
    tools_dir = os.path.dirname(os.path.abspath(__file__))
    root = os.path.dirname(tools_dir)
    source_dir = os.path.join(tools_dir, "license-src")
    out_dir = os.path.join(root, "data", "License")
    outputs = {}
    problems = []
    for language in LANGUAGES:
        data, found = build(language, source_dir)
        outputs[language] = data
        problems += found
    if problems:
        for problem in problems:
            print("error: " + problem, file=sys.stderr)
        return 1
    os.makedirs(out_dir, exist_ok=True)
    for language in LANGUAGES:
        path = os.path.join(out_dir, language + ".txt")
        with open(path, "wb") as handle:
            handle.write(outputs[language])
        print("wrote " + os.path.relpath(path, root))
    return 0


if __name__ == "__main__":
    sys.exit(main())
