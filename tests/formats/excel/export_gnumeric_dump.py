#!/usr/bin/python3
"""Has Gnumeric's ssconvert read a workbook the grid export wrote (saving it
as Gnumeric's own XML) and prints what it read, one fact a line,
tab-separated:

  cell  <row> <col> <value type> <text>      (texts longer than 40: length:first 20...last 20)
  style <row> <col> <format> <fill R:G:B or -> <font name> <points> <bold> <italic> <horizontal>
  col   <col> <width in points> <hidden>
  row   <row> <height in points>
  merge <first row> <last row> <first col> <last col>

Only the first sheet. usage: export_gnumeric_dump.py BOOK.xls WORKDIR
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "support"))
from dump_common import GNUMERIC_NS, cell_ref, gnumeric_tree, out  # noqa: E402

src, work = sys.argv[1], sys.argv[2]
root = gnumeric_tree(src, work, "export-dump.gnumeric")
ns = GNUMERIC_NS

sheet = root.findall("gnm:Sheets/gnm:Sheet", ns)[0]
cells = []
for cell in sheet.findall("gnm:Cells/gnm:Cell", ns):
    text = cell.text or ""
    if len(text) > 40:
        text = "%d:%s...%s" % (len(text), text[:20], text[-20:])
    r, c = int(cell.get("Row")), int(cell.get("Col"))
    cells.append((r, c))
    out("cell", r, c, cell.get("ValueType", "formula"), text)
regions = []
for reg in sheet.findall("gnm:Styles/gnm:StyleRegion", ns):
    st = reg.find("gnm:Style", ns)
    font = st.find("gnm:Font", ns)
    fill = st.get("Back") if st.get("Shade", "0") != "0" else "-"
    regions.append((int(reg.get("startRow")), int(reg.get("endRow")), int(reg.get("startCol")),
                    int(reg.get("endCol")), st.get("Format"), fill, font.text if font is not None else "",
                    font.get("Unit") if font is not None else "", font.get("Bold") if font is not None else "0",
                    font.get("Italic") if font is not None else "0", st.get("HAlign")))
for r, c in cells:
    for r1, r2, c1, c2, *rest in regions:
        if r1 <= r <= r2 and c1 <= c <= c2:
            out("style", r, c, *rest)
            break
for info in sheet.findall("gnm:Cols/gnm:ColInfo", ns):
    for k in range(int(info.get("Count", "1"))):
        out("col", int(info.get("No")) + k, info.get("Unit"), info.get("Hidden", "0"))
for info in sheet.findall("gnm:Rows/gnm:RowInfo", ns):
    for k in range(int(info.get("Count", "1"))):
        out("row", int(info.get("No")) + k, info.get("Unit"))
for m in sheet.findall("gnm:MergedRegions/gnm:Merge", ns):
    a, b = m.text.split(":")
    (r1, c1), (r2, c2) = cell_ref(a), cell_ref(b)
    out("merge", r1, r2, c1, c2)
