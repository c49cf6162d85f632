#!/usr/bin/python3
"""Writes a workbook of five sheets with python3-xlwt, for the Open tests.

Sheets "Alpha", "Beta", "Gamma", "Delta", "Epsilon"; each holds its own name
followed by " item" in B4 (the first PLU's product name once laid out).

usage: five_sheet_workbook.py OUT.xls
"""
import sys
import xlwt

book = xlwt.Workbook(encoding="utf-8")
for name in ("Alpha", "Beta", "Gamma", "Delta", "Epsilon"):
    book.add_sheet(name).write(3, 1, name + " item")
book.save(sys.argv[1])
