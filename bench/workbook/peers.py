#!/usr/bin/python3
"""The Python peers of bench_workbook, doing the same work on the same sheet:
65,000 rows x 10 columns, columns A-E numbers (row*10 + col + 0.5) with the
format "0.00" (A centred), F-J texts "text<row>_<col>", every third row filled
yellow, every tenth row's first cell bold.

  peers.py write OUT.xls [repeat]  python3-xlwt builds the sheet with those
                                   styles and saves it
  peers.py read BOOK.xls [repeat]  python3-xlrd opens the workbook with
                                   formatting_info and takes every cell's
                                   value and XF (with its font and format)

Prints the best wall-clock and the best CPU seconds of `repeat` runs.
"""
import sys
import time

ROWS, COLS = 65000, 10


def write(path):
    import xlwt
    book = xlwt.Workbook(encoding="utf-8")
    sheet = book.add_sheet("sheet1")

    def style(number, centred, yellow, bold):
        parts = []
        if centred:
            parts.append("align: horiz centre")
        if yellow:
            parts.append("pattern: pattern solid, fore_colour yellow")
        if bold:
            parts.append("font: bold on")
        return xlwt.easyxf(";".join(parts), num_format_str="0.00" if number else "General")

    # The few styles, built once as a user of xlwt would (xlwt shares XFs
    # between equal style objects only by identity).
    styles = {}
    for number in (False, True):
        for centred in (False, True):
            for yellow in (False, True):
                for bold in (False, True):
                    styles[number, centred, yellow, bold] = style(number, centred, yellow, bold)

    for r in range(ROWS):
        row = sheet.row(r)
        yellow = (r + 1) % 3 == 0
        bold_row = (r + 1) % 10 == 0
        for c in range(COLS):
            number = c < COLS // 2
            st = styles[number, c == 0, yellow, bold_row and c == 0]
            if number:
                row.write(c, r * 10.0 + c + 0.5, st)
            else:
                row.write(c, "text%d_%d" % (r, c), st)
    book.save(path)


def read(path):
    import xlrd
    book = xlrd.open_workbook(path, formatting_info=True)
    sheet = book.sheet_by_index(0)
    xfs = book.xf_list
    fonts = book.font_list
    formats = book.format_map
    total = 0.0
    chars = 0
    bold = 0
    filled = 0
    cells = 0
    for r in range(sheet.nrows):
        values = sheet.row_values(r)
        for c in range(len(values)):
            v = values[c]
            xf = xfs[sheet.cell_xf_index(r, c)]
            fmt = formats[xf.format_key].format_str
            if fonts[xf.font_index].bold:
                bold += 1
            if xf.background.pattern_colour_index != 64:
                filled += 1
            chars += len(fmt)
            if isinstance(v, str):
                chars += len(v)
            else:
                total += v
            cells += 1
    return cells, bold, filled


def best(fn, arg, repeat):
    walls, cpus = [], []
    result = None
    for _ in range(repeat):
        t, p = time.perf_counter(), time.process_time()
        result = fn(arg)
        cpus.append(time.process_time() - p)
        walls.append(time.perf_counter() - t)
    return min(walls), min(cpus), result


if __name__ == "__main__":
    what, path = sys.argv[1], sys.argv[2]
    repeat = int(sys.argv[3]) if len(sys.argv) > 3 else 3
    wall, cpu, result = best(write if what == "write" else read, path, repeat)
    extra = ""
    if what == "read":
        extra = "  (%d cells, %d bold, %d filled)" % result
    print("%.3f s wall, %.3f s CPU%s" % (wall, cpu, extra))
