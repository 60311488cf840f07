#!/usr/bin/env bash
# Reads the PDFs that the printing tests sent to the PDF printer: every line of the
# printed text in order, every word inside the page rectangle, the job's title.
#   check-printed-pdf.sh BINARY_DIR CUPS_STATE_DIR
set -euo pipefail

# One print against its own PDF, as a process of its own: errexit holds in it even
# where the caller tests its exit code (in the caller's function it would not).
if [ "${1:-}" = --one ]; then
  set -- "${@:2}"
  dir=$1 pdf=$2 title=$3
  rm -f "$dir"/printed* "$dir"/page*.png "$dir/gray.pgm" "$dir/pdfinfo.txt"
  cp "$pdf" "$dir/printed.pdf"
  pdfinfo "$dir/printed.pdf" >"$dir/pdfinfo.txt"
  pdftotext -layout "$dir/printed.pdf" "$dir/printed.txt"
  pdftotext -bbox "$dir/printed.pdf" "$dir/printed-bbox.html"
  pdftoppm -png -r 60 -f 1 -l 1 "$dir/printed.pdf" "$dir/page"
  pdftoppm -gray -r 60 -f 1 -l 1 -singlefile "$dir/printed.pdf" "$dir/gray"
  python3 - "$dir" "$title" <<'PY'
import re, sys, html
d, title = sys.argv[1], sys.argv[2]
# The tests print under a scheme of white text on black: the text must still be dark
# on the white page (binary PGM: header, then one byte a pixel).
pgm = open(f"{d}/gray.pgm", "rb").read()
mh = re.match(rb"P5\s+(\d+)\s+(\d+)\s+(\d+)\s", pgm)
pixels = pgm[mh.end():] if mh else b""
dark = sum(1 for b in pixels if b < 96)
info = open(f"{d}/pdfinfo.txt", encoding="utf-8", errors="replace").read()
rect = dict((l.split()[0], l.split()[1:]) for l in open(f"{d}/rect.txt"))
pages_expected = int(rect["pages"][0])
left, top, right, bottom = map(float, rect["points"])
fail = []
m = re.search(r"^Title:\s*(.*)$", info, re.M)
if not m or m.group(1).strip() != title:
    fail.append(f"title {m.group(1) if m else None!r}, expected {title!r}")
m = re.search(r"^Pages:\s*(\d+)", info, re.M)
if not m or int(m.group(1)) < 3 or (pages_expected and int(m.group(1)) != pages_expected):
    fail.append(f"pages {m.group(1) if m else None}, expected {pages_expected} (at least 3)")
norm = lambda s: " ".join(s.split())
printed = [norm(l) for l in open(f"{d}/printed.txt", encoding="utf-8").read().replace("\f", "\n").split("\n")]
printed = [l for l in printed if l]
expected = [norm(l) for l in open(f"{d}/expected.txt", encoding="utf-8") if norm(l)]
# Long lines may wrap on the page: the printed words must be the expected words, in order.
exp_words = " ".join(expected).split()
prt_words = " ".join(printed).split()
if exp_words != prt_words:
    k = next((j for j, (x, y) in enumerate(zip(exp_words, prt_words)) if x != y), min(len(exp_words), len(prt_words)))
    fail.append(f"words differ at {k}: expected {exp_words[k:k+6]}, printed {prt_words[k:k+6]}")
for label in ("Praxisname", "Ort", "Telefon"):
    if not any(re.match(label + r": \S", e) for e in expected):
        fail.append(f"no filled-in {label} line in the printed text")
# Words inside the rectangle; 1.5 pt of slack for the glyph boxes pdftotext reports.
slack = 1.5
words = re.findall(r'<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>',
                   open(f"{d}/printed-bbox.html", encoding="utf-8").read())
if not words:
    fail.append("no words in the PDF")
if dark < 200:
    fail.append(f"{dark} dark pixels on page 1: the text does not stand dark on the paper")
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
  exit 0
fi

bin=$1; cups=$2
# The queue and its output folder that the printer fixture set up.
queue=$(cat "$cups/queue"); out="$cups/pdf"
dirs=()
for d in "$bin/share-print" "$bin/share-print-e2e"; do
  [ -f "$d/expected.txt" ] && dirs+=("$d")
done
[ ${#dirs[@]} -gt 0 ] || { echo "no expected.txt: the printing tests did not print"; exit 1; }
# Wait for the spooler to finish, then take every PDF since the printer was set up:
# exactly one per printing test (a cancelled printer dialog prints nothing).
for i in $(seq 1 120); do
  [ -z "$(lpstat -o "$queue" 2>/dev/null)" ] && \
    [ "$(find "$out" -maxdepth 1 -name '*.pdf' -newer "$cups/start-mark" 2>/dev/null | wc -l)" -ge ${#dirs[@]} ] && break
  sleep 0.5
done
mapfile -t pdfs < <(find "$out" -maxdepth 1 -name '*.pdf' -newer "$cups/start-mark" 2>/dev/null | sort)
echo "PDFs since the printer was set up: ${pdfs[*]:-none}"
[ ${#pdfs[@]} -eq ${#dirs[@]} ] || { echo "expected ${#dirs[@]} PDFs, found ${#pdfs[@]}"; exit 1; }
# Each print is paired with its own PDF by the job name it gave (the PDF's title).
declare -A by_title=()
for pdf in "${pdfs[@]}"; do
  t=$(pdfinfo "$pdf" | sed -n 's/^Title: *//p')
  [ -z "${by_title[$t]:-}" ] || { echo "two PDFs titled '$t': $pdf ${by_title[$t]}"; exit 1; }
  by_title[$t]=$pdf
done
rc=0
for dir in "${dirs[@]}"; do
  title="$(tr -d '\r' <"$dir/rect.txt" | awk '/^job/{sub(/^job /, ""); print}')"
  pdf=${by_title[$title]:-}
  if [ -z "$pdf" ]; then echo "$dir: no PDF titled '$title'"; rc=1; continue; fi
  if bash "$0" --one "$dir" "$pdf" "$title" >"$dir/check.log" 2>&1; then
    cat "$dir/check.log"; echo "$dir: printed as expected ($pdf)"
  else
    cat "$dir/check.log"; echo "$dir: $pdf is not as expected"; rc=1
  fi
done
exit $rc
