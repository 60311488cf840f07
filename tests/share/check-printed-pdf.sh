#!/usr/bin/env bash
# Reads the PDF that the printing test sent to the PDF printer: every line of the
# printed text in order, every word inside the page rectangle, the job's title.
#   check-printed-pdf.sh BINARY_DIR CUPS_STATE_DIR
set -euo pipefail
bin=$1; cups=$2
dir="$bin/share-print"
[ -f "$dir/expected.txt" ] || { echo "no expected.txt: the printing test did not print"; exit 1; }
title="Sichtwerk ($(tr -d '\r' <"$dir/rect.txt" | awk '/^title/{print $2}'))"
# Wait for the spooler, then take the newest PDF since the printer was set up.
pdf=""
for i in $(seq 1 120); do
  if [ -z "$(lpstat -o PDF 2>/dev/null)" ]; then
    pdf=$(find "$HOME/PDF" -maxdepth 1 -name '*.pdf' -newer "$cups/start-mark" -printf '%T@ %p\n' 2>/dev/null \
          | sort -n | tail -1 | cut -d' ' -f2-)
    [ -n "$pdf" ] && break
  fi
  sleep 0.5
done
[ -n "$pdf" ] || { echo "no PDF arrived in $HOME/PDF"; exit 1; }
echo "PDF: $pdf"
cp "$pdf" "$dir/printed.pdf"
pdfinfo "$dir/printed.pdf" | tee "$dir/pdfinfo.txt"
pdftotext -layout "$dir/printed.pdf" "$dir/printed.txt"
pdftotext -bbox "$dir/printed.pdf" "$dir/printed-bbox.html"
pdftoppm -png -r 60 -f 1 -l 1 "$dir/printed.pdf" "$dir/page"
python3 - "$dir" "$title" <<'PY'
import re, sys, html
d, title = sys.argv[1], sys.argv[2]
info = open(f"{d}/pdfinfo.txt", encoding="utf-8", errors="replace").read()
rect = dict((l.split()[0], l.split()[1:]) for l in open(f"{d}/rect.txt"))
pages_expected = int(rect["pages"][0])
left, top, right, bottom = map(float, rect["points"])
fail = []
m = re.search(r"^Title:\s*(.*)$", info, re.M)
if not m or m.group(1).strip() != title:
    fail.append(f"title {m.group(1) if m else None!r}, expected {title!r}")
m = re.search(r"^Pages:\s*(\d+)", info, re.M)
if not m or int(m.group(1)) != pages_expected or pages_expected < 3:
    fail.append(f"pages {m.group(1) if m else None}, expected {pages_expected} (at least 3)")
norm = lambda s: " ".join(s.split())
printed = [norm(l) for l in open(f"{d}/printed.txt", encoding="utf-8").read().replace("\f", "\n").split("\n")]
printed = [l for l in printed if l]
expected = [norm(l) for l in open(f"{d}/expected.txt", encoding="utf-8") if norm(l)]
i = 0
for e in expected:
    while i < len(printed) and printed[i] != e:
        i += 1
    if i == len(printed):
        fail.append(f"line not found in order: {e!r}")
        break
    i += 1
for must in ("Praxisname: Praxis Dr. Mustermann", "Ort: Köln", "Telefon: 0221 123456"):
    if must not in expected:
        fail.append(f"details missing from the expected text: {must}")
# Words inside the rectangle; 1.5 pt of slack for the glyph boxes pdftotext reports.
slack = 1.5
words = re.findall(r'<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>',
                   open(f"{d}/printed-bbox.html", encoding="utf-8").read())
if not words:
    fail.append("no words in the PDF")
for x0, y0, x1, y1, w in words:
    x0, y0, x1, y1 = map(float, (x0, y0, x1, y1))
    if x0 < left - slack or x1 > right + slack or y0 < top - slack or y1 > bottom + slack:
        fail.append(f"word {html.unescape(w)!r} at ({x0},{y0})-({x1},{y1}) outside ({left},{top})-({right},{bottom})")
        break
print(f"{len(expected)} lines checked, {len(words)} words inside ({left:.1f},{top:.1f})-({right:.1f},{bottom:.1f})")
if fail:
    print("\n".join(fail))
    sys.exit(1)
PY
