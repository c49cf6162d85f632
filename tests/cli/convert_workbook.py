#!/usr/bin/python3
"""Writes the workbook of the convert tests with python3-xlwt.

Sheet "Prices": A1 "abc", B1 2.5, C1 =B1*2, D1 =A1*2 (a text times two),
A2 "价格", B2 1e10; A3:B3 merged. Sheet "Other": A1 "second sheet".

usage: convert_workbook.py OUT.xls
"""
import sys
import xlwt

book = xlwt.Workbook(encoding="utf-8")
prices = book.add_sheet("Prices")
prices.write(0, 0, "abc")
prices.write(0, 1, 2.5)
prices.write(0, 2, xlwt.Formula("B1*2"))
prices.write(0, 3, xlwt.Formula("A1*2"))
prices.write(1, 0, "价格")
prices.write(1, 1, 1e10)
prices.write_merge(2, 2, 0, 1, "merged")
book.add_sheet("Other").write(0, 0, "second sheet")
book.save(sys.argv[1])
