#!/usr/bin/python3
"""Prints the cells of a workbook's first worksheet as xlrd reads them, one
line each: row, column, kind (number, text, bool, error) and value, separated
by tabs (tabs and line breaks inside texts escaped as \\t, \\n, \\r). A
workbook xlrd cannot open prints "unreadable" and exits 2."""
import os
import sys

import xlrd

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "support"))
from dump_common import esc as escape, out  # noqa: E402


def main(path):
    try:
        book = xlrd.open_workbook(path, on_demand=True, logfile=open(os.devnull, "w"))
        if book.biff_version < 80 or book.nsheets == 0:
            print("unreadable")
            return 2
        sheet = book.sheet_by_index(0)
    except Exception as e:  # noqa: BLE001 - any failure means xlrd cannot read it
        print("unreadable", escape(str(e)))
        return 2
    for r in range(sheet.nrows):
        for c in range(sheet.ncols):
            cell = sheet.cell(r, c)
            if cell.ctype in (xlrd.XL_CELL_NUMBER, xlrd.XL_CELL_DATE):
                out(r, c, "number", "%.17g" % cell.value)
            elif cell.ctype == xlrd.XL_CELL_TEXT:
                out(r, c, "text", cell.value)
            elif cell.ctype == xlrd.XL_CELL_BOOLEAN:
                out(r, c, "bool", int(cell.value))
            elif cell.ctype == xlrd.XL_CELL_ERROR:
                out(r, c, "error", xlrd.error_text_from_code.get(cell.value, "#VALUE!"))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
