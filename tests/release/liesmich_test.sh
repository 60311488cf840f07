#!/usr/bin/env bash
# LIESMICH.txt, the guide for the practice staff: cp1252 with CR LF only (Notepad on
# any Windows opens it right), one page, and every text it quotes („…“) is the
# program's own, as its sources spell it ('&' marks an accelerator key the window
# does not show).
#   liesmich_test.sh SOURCE_DIR
set -euo pipefail
src=$1
file=$src/docs/LIESMICH.txt
fail() { echo "FAIL: $*" >&2; exit 1; }

[ -s "$file" ] || fail "no $file"
iconv -f cp1252 -t utf-8 "$file" >/dev/null 2>&1 || fail "not cp1252"
if iconv -f utf-8 -t utf-8 "$file" >/dev/null 2>&1; then fail "UTF-8 or plain ASCII, not cp1252 with umlauts"; fi
perl -0777 -ne 'exit(/\r(?!\n)|(?<!\r)\n/ || !/\r\n\z/ ? 1 : 0)' "$file" || fail "a line end other than CR LF"
lines=$(perl -0777 -ne 'print scalar(() = /\r\n/g)' "$file")
[ "$lines" -le 66 ] || fail "$lines lines: more than one page"
perl -ne 'exit 1 if length($_) > 80' "$file" || fail "a line wider than 78 characters"

# The quotes, each with its line breaks and indentation taken as one blank; each must
# lie inside one string literal of the program.
quotes=$(iconv -f cp1252 -t utf-8 "$file" | perl -Mutf8 -CS -0777 -ne 's/\s+/ /g; print "$1\n" while /„([^“]*)“/g')
n=$(printf '%s\n' "$quotes" | grep -c .) || true
[ "$n" -ge 15 ] || fail "only $n quoted program texts"
literals=$(find "$src/src" \( -name '*.cpp' -o -name '*.h' \) -exec cat {} + |
  perl -ne 'while (/L?"((?:[^"\\]|\\.)*)"/g) { my $s = $1; $s =~ s/&//g; print "$s\n" }')
while IFS= read -r q; do
  grep -qF -- "$q" <<<"$literals" || fail "„$q“ is not a text of the program"
done <<<"$quotes"
echo "LIESMICH.txt: cp1252, CR LF, $lines lines, $n quoted texts found in the program"
