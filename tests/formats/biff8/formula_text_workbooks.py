"""Workbooks with formulas for the formula-text interop test.

  formula_text_workbooks.py xlwt FORMULAS.txt OUT.xls
      Writes the formulas of FORMULAS.txt (UTF-8, one a line, without "=")
      with python3-xlwt into column A of sheet "S1", one a row; a second sheet
      "S2" exists for references into other sheets.
  formula_text_workbooks.py stream IN.xls OUT.bin
      Copies the "Workbook" stream of a compound document to OUT.bin.
"""
import sys


def write_xlwt(formulas_path, out_path):
    import xlwt

    book = xlwt.Workbook()
    sheet = book.add_sheet("S1")
    book.add_sheet("S2")
    with open(formulas_path, encoding="utf-8") as f:
        for row, line in enumerate(f.read().splitlines()):
            sheet.write(row, 0, xlwt.Formula(line))
    book.save(out_path)


def copy_stream(xls_path, out_path):
    from xlrd import compdoc

    with open(xls_path, "rb") as f:
        doc = compdoc.CompDoc(f.read(), logfile=sys.stderr)
    stream = doc.get_named_stream("Workbook")
    if stream is None:
        sys.exit("no Workbook stream in " + xls_path)
    with open(out_path, "wb") as f:
        f.write(stream)


if __name__ == "__main__":
    if len(sys.argv) != 4 or sys.argv[1] not in ("xlwt", "stream"):
        sys.exit(__doc__)
    if sys.argv[1] == "xlwt":
        write_xlwt(sys.argv[2], sys.argv[3])
    else:
        copy_stream(sys.argv[2], sys.argv[3])
