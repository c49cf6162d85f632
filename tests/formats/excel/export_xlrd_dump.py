#!/usr/bin/python3
"""Prints what python3-xlrd (formatting_info=True) reads from a workbook the
grid export wrote, one fact a line, tab-separated (colours as R,G,B or -):

  sheet <index> <name>
  cell  <sheet> <row> <col> <ctype> <value> <format string> <font name> <font twips>
        <bold> <italic> <underline> <struck out> <font colour> <horizontal> <vertical>
        <wrap> <locked> <fill pattern> <fill colour> <border styles l,t,r,b>
        <border colours l;t;r;b>
  col   <sheet> <col> <width> <hidden> <format string>
  row   <sheet> <row> <twips>
  merge <sheet> <first row> <last row> <first col> <last col>

Numbers and dates print as %.17g; texts print their length and their first and last
20 characters (the long ones are compared that way).

usage: export_xlrd_dump.py BOOK.xls
"""
import os
import sys
import xlrd

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "support"))
from dump_common import out  # noqa: E402


book = xlrd.open_workbook(sys.argv[1], formatting_info=True)


def rgb(index):
    c = book.colour_map.get(index)
    return "-" if c is None else "%d,%d,%d" % c


def fmt(xf):
    return book.format_map[xf.format_key].format_str


for s in range(book.nsheets):
    sh = book.sheet_by_index(s)
    out("sheet", s, sh.name)
    for r in range(sh.nrows):
        for c in range(sh.row_len(r)):
            cell = sh.cell(r, c)
            if cell.ctype == xlrd.XL_CELL_EMPTY:
                continue
            if cell.ctype in (xlrd.XL_CELL_NUMBER, xlrd.XL_CELL_DATE):
                value = "%.17g" % cell.value
            elif cell.ctype == xlrd.XL_CELL_TEXT:
                v = cell.value
                value = "%d:%s...%s" % (len(v), v[:20], v[-20:]) if len(v) > 40 else v
            else:
                value = cell.value
            xf = book.xf_list[cell.xf_index]
            f = book.font_list[xf.font_index]
            a, b, g = xf.alignment, xf.border, xf.background
            out("cell", s, r, c, cell.ctype, value, fmt(xf), f.name, f.height, f.bold, f.italic,
                f.underline_type, f.struck_out, rgb(f.colour_index), a.hor_align, a.vert_align,
                a.text_wrapped, xf.protection.cell_locked, g.fill_pattern, rgb(g.pattern_colour_index),
                "%d,%d,%d,%d" % (b.left_line_style, b.top_line_style, b.right_line_style, b.bottom_line_style),
                ";".join(rgb(i) for i in (b.left_colour_index, b.top_colour_index, b.right_colour_index,
                                          b.bottom_colour_index)))
    for col, info in sorted(sh.colinfo_map.items()):
        out("col", s, col, info.width, info.hidden, fmt(book.xf_list[info.xf_index]))
    for row, info in sorted(sh.rowinfo_map.items()):
        out("row", s, row, info.height)
    for rlo, rhi, clo, chi in sh.merged_cells:
        out("merge", s, rlo, rhi - 1, clo, chi - 1)
