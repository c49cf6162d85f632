#!/usr/bin/env bash
# Clipboard interop on a real X display (run under xvfb-run), with xclip as
# the other program:
#  - cells copied by clipboard-peer are read by xclip for each offered MIME
#    type; the BIFF8 data open in xlrd, in Gnumeric's ssconvert and in
#    LibreOffice with the same values and the number format;
#  - text with LF line ends and workbooks written by xlwt and by LibreOffice
#    (with a merged range and a number format), offered by xclip -i, paste
#    here as cells.
# Usage: clipboard_interop.sh PATH/TO/clipboard-peer
set -euo pipefail
peer=$1
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=xcb
export XDG_RUNTIME_DIR=$work
fail() { echo "FAIL: $*" >&2; exit 1; }
biff='application/x-openoffice-biff-8;windows_formatname="Biff8"'

# ---- Copy here, read elsewhere ----
"$peer" copy 30 > "$work/peer.out" &
for _ in $(seq 100); do grep -q ready "$work/peer.out" 2>/dev/null && break; sleep 0.1; done
targets=$(xclip -o -selection clipboard -t TARGETS)
for t in 'text/plain;charset=utf-8' "$biff"; do
  grep -qxF "$t" <<<"$targets" || fail "target $t not offered: $targets"
done
text=$(xclip -o -selection clipboard -t 'text/plain;charset=utf-8' | od -c | head -5)
expected=$(printf 'name\tprice\r\n"green tea"\t3.50\r\nmerged\t' | od -c | head -5)
[ "$text" = "$expected" ] || fail "text differs: $text"
xclip -o -selection clipboard -t "$biff" > "$work/copied.xls"
/usr/bin/python3 - "$work/copied.xls" <<'PY' || fail "xlrd"
import sys, xlrd
book = xlrd.open_workbook(sys.argv[1], formatting_info=True)
assert book.sheet_names() == ["VexaGrid"], book.sheet_names()
s = book.sheet_by_index(0)
assert s.cell_value(0, 0) == "name" and s.cell_value(1, 0) == "green tea", s.row_values(1)
assert s.cell_value(1, 1) == 3.5, s.cell_value(1, 1)
fmt = book.format_map[book.xf_list[s.cell_xf_index(1, 1)].format_key].format_str
assert fmt == "0.00", fmt
assert (2, 3, 0, 2) in s.merged_cells, s.merged_cells
PY
ssconvert --export-type=Gnumeric_stf:stf_assistant -O 'format=preserve' "$work/copied.xls" "$work/copied.csv" 2>/dev/null
grep -q '^"green tea",3.50$' "$work/copied.csv" || fail "ssconvert: $(cat "$work/copied.csv")"
lo() { soffice -env:UserInstallation="file://$work/lo" --headless "$@" >/dev/null 2>&1; }
mkdir -p "$work/lo-csv"
lo --convert-to 'csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,true' --outdir "$work/lo-csv" "$work/copied.xls"
grep -qE '^"?green tea"?,3.50$' "$work/lo-csv/copied.csv" || fail "LibreOffice: $(cat "$work/lo-csv/copied.csv")"
kill %1 2>/dev/null || true
wait 2>/dev/null || true

# ---- Text with LF line ends from another program ----
printf 'a\tb c\n1\t2.5\n' | xclip -i -selection clipboard -t text/plain
sleep 0.3
got=$("$peer" paste)
[ "$got" = "$(printf 'a\tb c\n1\t2.5')" ] || fail "text paste: $got"

# ---- A workbook written by another program ----
/usr/bin/python3 - "$work/other.xls" <<'PY'
import sys, xlwt
book = xlwt.Workbook()
s = book.add_sheet("Other")
s.write(0, 0, "item")
s.write(1, 0, 12.5, xlwt.easyxf(num_format_str="0.00"))
s.write_merge(2, 2, 0, 1, "wide")
book.save(sys.argv[1])
PY
# The same workbook saved again by LibreOffice.
mkdir -p "$work/lo-xls"
lo --convert-to 'xls:MS Excel 97' --outdir "$work/lo-xls" "$work/other.xls"
for book in "$work/other.xls" "$work/lo-xls/other.xls"; do
  xclip -i -selection clipboard -t "$biff" "$book"
  sleep 0.3
  got=$("$peer" workbook)
  grep -qxF 'item' <<<"$(head -1 <<<"$got" | cut -f1)" || fail "workbook paste ($book): $got"
  grep -q '^12.50' <<<"$(sed -n 2p <<<"$got")" || fail "workbook number format ($book): $got"
  grep -qxF 'merge 1 3 2 3' <<<"$got" || fail "workbook merge ($book): $got"
done
echo "clipboard interop: ok"
