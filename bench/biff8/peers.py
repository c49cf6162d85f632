#!/usr/bin/python3
"""The Python peers of bench_biff8, doing the same work on the same workbook
(65,000 rows x 10 columns; columns 0-4 numbers, 5-9 texts):

  peers.py write OUT.xls   python3-xlwt builds the sheet and saves it
  peers.py read BOOK.xls   python3-xlrd opens the workbook and reads every value

Prints the best wall-clock seconds of `repeat` runs.
"""
import sys
import time

ROWS, COLS = 65000, 10


def write(path):
    import xlwt
    book = xlwt.Workbook(encoding="utf-8")
    sheet = book.add_sheet("Bench")
    for r in range(ROWS):
        row = sheet.row(r)
        for c in range(COLS):
            if c < COLS // 2:
                row.write(c, r * 10.0 + c + 0.5)
            else:
                row.write(c, "text%d_%d" % (r, c))
    book.save(path)


def read(path):
    import xlrd
    book = xlrd.open_workbook(path)
    sheet = book.sheet_by_index(0)
    total = 0.0
    chars = 0
    for r in range(sheet.nrows):
        for v in sheet.row_values(r):
            if isinstance(v, str):
                chars += len(v)
            else:
                total += v
    return total + chars


def best(fn, arg, repeat):
    times = []
    for _ in range(repeat):
        t = time.perf_counter()
        fn(arg)
        times.append(time.perf_counter() - t)
    return min(times)


if __name__ == "__main__":
    what, path = sys.argv[1], sys.argv[2]
    repeat = int(sys.argv[3]) if len(sys.argv) > 3 else 3
    print("%.3f" % best(write if what == "write" else read, path, repeat))
