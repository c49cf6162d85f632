#!/usr/bin/python3
"""Converts a workbook with Gnumeric's ssconvert into Gnumeric's own XML and
prints what Gnumeric read, one fact a line, tab-separated:

  sheet <index> <name>
  cell  <sheet> <row> <col> <value type> <text>
  merge <sheet> <first row> <last row> <first col> <last col>
  col   <sheet> <col> <width in points> <hidden>   (columns with their own width)
  row   <sheet> <row> <height in points>           (rows with their own height)
  style <sheet> <row> <col> <format> <fill R:G:B or -> <font name> <bold> <italic> <border styles l,t,r,b>

usage: dump_gnumeric.py BOOK.xls WORKDIR
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", "support"))
from dump_common import GNUMERIC_NS, cell_ref, gnumeric_tree, out  # noqa: E402

src, work = sys.argv[1], sys.argv[2]
root = gnumeric_tree(src, work, "dump.gnumeric")
ns = GNUMERIC_NS

for s, sheet in enumerate(root.findall("gnm:Sheets/gnm:Sheet", ns)):
    out("sheet", s, sheet.find("gnm:Name", ns).text)
    for cell in sheet.findall("gnm:Cells/gnm:Cell", ns):
        out("cell", s, cell.get("Row"), cell.get("Col"), cell.get("ValueType", "formula"), cell.text or "")
    for m in sheet.findall("gnm:MergedRegions/gnm:Merge", ns):
        a, b = m.text.split(":")
        (r1, c1), (r2, c2) = cell_ref(a), cell_ref(b)
        out("merge", s, r1, r2, c1, c2)
    cols = sheet.find("gnm:Cols", ns)
    for info in sheet.findall("gnm:Cols/gnm:ColInfo", ns):
        for k in range(int(info.get("Count", "1"))):
            out("col", s, int(info.get("No")) + k, info.get("Unit"), info.get("Hidden", "0"))
    for info in sheet.findall("gnm:Rows/gnm:RowInfo", ns):
        for k in range(int(info.get("Count", "1"))):
            out("row", s, int(info.get("No")) + k, info.get("Unit"))
    regions = []
    for reg in sheet.findall("gnm:Styles/gnm:StyleRegion", ns):
        st = reg.find("gnm:Style", ns)
        font = st.find("gnm:Font", ns)
        fill = st.get("Back") if st.get("Shade", "0") != "0" else "-"
        borders = []
        for side in ("Left", "Top", "Right", "Bottom"):
            b = st.find("gnm:StyleBorder/gnm:" + side, ns)
            borders.append(b.get("Style") if b is not None else "0")
        regions.append((int(reg.get("startRow")), int(reg.get("endRow")), int(reg.get("startCol")),
                        int(reg.get("endCol")), st.get("Format"), fill, font.text if font is not None else "",
                        font.get("Bold") if font is not None else "0",
                        font.get("Italic") if font is not None else "0", ",".join(borders)))
    for cell in sheet.findall("gnm:Cells/gnm:Cell", ns):
        r, c = int(cell.get("Row")), int(cell.get("Col"))
        for r1, r2, c1, c2, *rest in regions:
            if r1 <= r <= r2 and c1 <= c <= c2:
                out("style", s, r, c, *rest)
                break
