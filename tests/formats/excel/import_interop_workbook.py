#!/usr/bin/python3
"""Writes, with python3-xlwt, the workbook the import interop test opens:
four worksheets, formulas with references and a function, a merged range,
frozen panes and a protected sheet.

usage: import_interop_workbook.py OUT.xls
"""
import sys
import xlwt

book = xlwt.Workbook(encoding="utf-8")

prices = book.add_sheet("Prices")
prices.write(0, 0, "Apples")
prices.write(0, 1, 2.5)
prices.write(1, 1, 4)
prices.write(2, 1, xlwt.Formula("B1*B2"))
prices.write(3, 1, xlwt.Formula("SUM(B1:B2)"))
prices.write_merge(5, 6, 0, 2, "merged")
prices.set_panes_frozen(True)
prices.set_horz_split_pos(1)
prices.set_vert_split_pos(1)
prices.protect = True

stock = book.add_sheet("Stock")
stock.write(0, 0, 7)
stock.write(1, 0, xlwt.Formula("A1+1"))

book.add_sheet("第三").write(0, 0, "three")
book.add_sheet("Four").write(0, 0, "four")

book.save(sys.argv[1])
