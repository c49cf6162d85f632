"""What the interop scripts share.

Facts go out one a line, fields separated by tabs, with backslash, tab,
newline and carriage return escaped inside a field (support/facts.h reads
them back). Gnumeric's reading of a workbook comes as the tree of its own XML.
Scripts elsewhere in tests/ import this module after putting tests/support
on sys.path (see import_dump_common below).
"""
import gzip
import os
import re
import subprocess
import xml.etree.ElementTree as ET

GNUMERIC_NS = {"gnm": "http://www.gnumeric.org/v10.dtd"}


def esc(v):
    return str(v).replace("\\", "\\\\").replace("\t", "\\t").replace("\n", "\\n").replace("\r", "\\r")


def fact(*parts):
    return "\t".join(esc(p) for p in parts)


def out(*parts):
    print(fact(*parts))


def gnumeric_tree(src, work, name):
    """ssconvert saves src as Gnumeric XML (work/name); returns its root."""
    dst = os.path.join(work, name)
    subprocess.run(["/usr/bin/ssconvert", "--export-type=Gnumeric_XmlIO:sax", src, dst], check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    with open(dst, "rb") as f:
        data = f.read()
    if data[:2] == b"\x1f\x8b":
        data = gzip.decompress(data)
    return ET.fromstring(data)


def cell_ref(text):
    """(row, column) from zero of an A1 reference."""
    m = re.match(r"([A-Z]+)(\d+)", text)
    col = 0
    for ch in m.group(1):
        col = col * 26 + ord(ch) - 64
    return int(m.group(2)) - 1, col - 1
