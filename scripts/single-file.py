#!/usr/bin/env python3
"""Writes heptad.html: index.html with the program (heptad.js and heptad.wasm), its data package
and the music inside, so that the one file plays offline, opened straight from the file system.
The binary parts go in as base64 in script elements that do not run; page.js reads them.
Usage: single-file.py <build-web dir> <music.ogg> <output.html>"""
import base64
import os
import re
import sys

web, music, output = sys.argv[1:4]


def read(name, mode="r"):
    with open(name, mode) as f:
        return f.read()


def script(text):
    # A script element ends at the first "</script" in its text, wherever that stands and in
    # whatever case it is written.
    escaped = re.sub(r"</(script)", r"<\\/\1", text, flags=re.IGNORECASE)
    return "<script>\n" + escaped + "\n</script>"


def data(element_id, name):
    encoded = base64.b64encode(read(name, "rb")).decode("ascii")
    return f'<script type="application/octet-stream" id="{element_id}">{encoded}</script>'


page = read(f"{web}/index.html")
tags = ('<script src="heptad.js"></script>\n<script src="player.js"></script>\n'
        '<script src="page.js"></script>')
if tags not in page:
    sys.exit("index.html does not end with the script tags this script replaces")
inline = "\n".join([
    data("heptad-wasm", f"{web}/heptad.wasm"),
    data("heptad-data", f"{web}/heptad.data"),
    data("heptad-music", music),
    script(read(f"{web}/heptad.js")),
    script(read(f"{web}/player.js")),
    script(read(f"{web}/page.js")),
])
# Written whole under a temporary name, then renamed: an interrupted run leaves no half page.
partial = output + ".partial"
with open(partial, "w") as f:
    f.write(page.replace(tags, inline))
    f.flush()
    os.fsync(f.fileno())
os.replace(partial, output)
