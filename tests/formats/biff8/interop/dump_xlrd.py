#!/usr/bin/python3
"""Prints what python3-xlrd (formatting_info=True) reads from a workbook, one
fact a line, tab-separated; numbers as %.17g:

  sheet   <index> <name>
  cell    <sheet> <row> <col> <ctype> <value> <xf>
  xf      <index> <font> <format> <hor> <vert> <wrap> <indent> <shrink> <locked> <hidden>
          <left> <top> <right> <bottom> <left colour> <top colour> <right colour>
          <bottom colour> <fill pattern> <pattern colour> <background colour>
  font    <index> <name> <twips> <bold> <italic> <underline> <struck out> <colour> <weight> <charset>
  format  <key> <string>
  colinfo <sheet> <col> <width> <hidden> <xf>
  rowinfo <sheet> <row> <twips> <custom height>
  merge   <sheet> <first row> <last row> <first col> <last col>
  colour  <index> <r> <g> <b>

usage: dump_xlrd.py BOOK.xls
"""
import os
import sys
import xlrd

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", "support"))
from dump_common import out  # noqa: E402


def num(v):
    return "%.17g" % v


book = xlrd.open_workbook(sys.argv[1], formatting_info=True)
for i, name in enumerate(book.sheet_names()):
    out("sheet", i, name)
for i, xf in enumerate(book.xf_list):
    a, b, g, p = xf.alignment, xf.border, xf.background, xf.protection
    out("xf", i, xf.font_index, xf.format_key, a.hor_align, a.vert_align, a.text_wrapped, a.indent_level,
        a.shrink_to_fit, p.cell_locked, p.formula_hidden, b.left_line_style, b.top_line_style,
        b.right_line_style, b.bottom_line_style, b.left_colour_index, b.top_colour_index,
        b.right_colour_index, b.bottom_colour_index, g.fill_pattern, g.pattern_colour_index,
        g.background_colour_index)
for i, f in enumerate(book.font_list):
    if i == 4:
        continue  # xlrd's stand-in for the FONT index that does not exist
    out("font", i, f.name, f.height, f.bold, f.italic, f.underline_type, f.struck_out, f.colour_index,
        f.weight, f.character_set)
for key, f in sorted(book.format_map.items()):
    out("format", key, f.format_str)
for index, rgb in sorted(book.colour_map.items()):
    if rgb is not None and 8 <= index < 64:
        out("colour", index, *rgb)
for s in range(book.nsheets):
    sh = book.sheet_by_index(s)
    for r in range(sh.nrows):
        for c in range(sh.row_len(r)):
            cell = sh.cell(r, c)
            if cell.ctype == xlrd.XL_CELL_EMPTY:
                continue
            value = num(cell.value) if cell.ctype in (2, 3) else cell.value
            out("cell", s, r, c, cell.ctype, value, cell.xf_index)
    for col, info in sorted(sh.colinfo_map.items()):
        out("colinfo", s, col, info.width, info.hidden, info.xf_index)
    for row, info in sorted(sh.rowinfo_map.items()):
        out("rowinfo", s, row, info.height, int(info.height_mismatch))
    for rlo, rhi, clo, chi in sh.merged_cells:
        out("merge", s, rlo, rhi - 1, clo, chi - 1)
