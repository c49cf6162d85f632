#!/usr/bin/python3
"""Writes a workbook with python3-xlwt and prints what it holds, one fact a
line (tab-separated), for the reader's interop test:

  sheet   <index> <name>
  text    <sheet> <row> <col> <text>        (python escapes for \\t \\n)
  number  <sheet> <row> <col> <repr>
  formula <sheet> <row> <col> <first token byte, hex> <formula text>
  bool    <sheet> <row> <col> <0|1>
  merge   <sheet> <row1> <row2> <col1> <col2>
  width   <sheet> <col> <width in 1/256 characters>
  height  <sheet> <row> <twips>
  font    <sheet> <row> <col> <name> <twips> <bold> <italic> <underline> <colour index>
  fill    <sheet> <row> <col> <pattern colour index>
  border  <sheet> <row> <col> <left> <top> <right> <bottom> <left colour index>
  format  <sheet> <row> <col> <format string>

usage: xlwt_workbook.py OUT.xls
"""
import os
import sys
import xlwt

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", "support"))
import dump_common  # noqa: E402

out = sys.argv[1]
book = xlwt.Workbook(encoding="utf-8")
facts = []


def fact(*parts):
    facts.append(dump_common.fact(*parts))


def style(font=None, fill=None, borders=None, fmt=None):
    s = xlwt.XFStyle()
    if font:
        f = xlwt.Font()
        f.name, f.height, f.bold, f.italic, f.underline, f.colour_index = font
        s.font = f
    if fill is not None:
        p = xlwt.Pattern()
        p.pattern = xlwt.Pattern.SOLID_PATTERN
        p.pattern_fore_colour = fill
        s.pattern = p
    if borders:
        b = xlwt.Borders()
        b.left, b.top, b.right, b.bottom, b.left_colour = borders
        s.borders = b
    if fmt:
        s.num_format_str = fmt
    return s


texts = book.add_sheet("Texts")
fact("sheet", 0, "Texts")
for row, text in enumerate(["plain", "价格表", "Äpfel & Birnen", "tab\there", "x" * 300, ""]):
    if text:
        texts.write(row, 0, text)
        fact("text", 0, row, 0, text)
numbers = [0, 1, -1, 123456789, 1e10, 0.01, 1.23, 3.14159265358979, -2.5e-7, 65536]
for row, value in enumerate(numbers):
    texts.write(row, 1, value)
    fact("number", 0, row, 1, repr(float(value)))
texts.write(0, 2, True)
fact("bool", 0, 0, 2, 1)
texts.write(1, 2, False)
fact("bool", 0, 1, 2, 0)
texts.write(2, 2, xlwt.Formula("B1+1"))
fact("formula", 0, 2, 2, "44", "B1+1")
texts.write(3, 2, xlwt.Formula("SUM(B1:B3)"))
fact("formula", 0, 3, 2, "25", "SUM(B1:B3)")

fmt = book.add_sheet("Formats")
fact("sheet", 1, "Formats")
cases = [
    (0, 0, "bold", style(font=("Arial", 280, True, False, 0, 2))),
    (0, 1, "italic", style(font=("Times New Roman", 200, False, True, 1, 12))),
    (1, 0, "fill", style(fill=5)),
    (1, 1, "borders", style(borders=(1, 2, 5, 6, 10))),
]
for row, col, text, st in cases:
    fmt.write(row, col, text, st)
    fact("text", 1, row, col, text)
fact("font", 1, 0, 0, "Arial", 280, 1, 0, 0, 2)
fact("font", 1, 0, 1, "Times New Roman", 200, 0, 1, 1, 12)
fact("fill", 1, 1, 0, 5)
fact("border", 1, 1, 1, 1, 2, 5, 6, 10)
for col, (value, f) in enumerate([(1234.5, "#,##0.00"), (45000, "yyyy-mm-dd"), (0.25, "0%")]):
    fmt.write(2, col, value, style(fmt=f))
    fact("number", 1, 2, col, repr(float(value)))
    fact("format", 1, 2, col, f)
fmt.write_merge(4, 5, 0, 2, "merged")
fact("text", 1, 4, 0, "merged")
fact("merge", 1, 4, 5, 0, 2)
fmt.col(0).width = 5000
fact("width", 1, 0, 5000)
fmt.col(3).width = 300
fact("width", 1, 3, 300)
fmt.row(6).height_mismatch = True
fmt.row(6).height = 600
fmt.write(6, 0, "tall")
fact("text", 1, 6, 0, "tall")
fact("height", 1, 6, 600)

third = book.add_sheet("第三")
fact("sheet", 2, "第三")
for row in range(0, 300, 7):
    for col in range(0, 12, 5):
        third.write(row, col, row * 100 + col)
        fact("number", 2, row, col, repr(float(row * 100 + col)))

book.save(out)
print("\n".join(facts))
