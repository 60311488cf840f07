#!/usr/bin/env bash
# Layer check of the sources (run by the test command through CTest):
# - only src/app includes app/ headers: nothing else depends on the application;
# - a file without _win32 in its name is portable: it includes neither <windows.h>
#   nor a *_win32.h header (which would bring <windows.h> in).
#   check-layers.sh [SRC_DIR]   (default: src beside this script)
set -u
src=${1:-$(dirname "$0")/../src}
cd "$src" || exit 2
bad=0
while IFS= read -r f; do
  case "$f" in app/*) continue ;; esac
  while IFS= read -r hit; do echo "$f: includes the application: $hit"; bad=1; done \
    < <(grep -nE '^\s*#\s*include\s*"app/' "$f")
done < <(find . -type f \( -name '*.h' -o -name '*.cpp' -o -name '*.in' \) | sed 's#^\./##' | sort)
while IFS= read -r f; do
  case "$(basename "$f")" in *_win32*) continue ;; esac
  while IFS= read -r hit; do echo "$f: portable file includes Windows: $hit"; bad=1; done \
    < <(grep -niE '^\s*#\s*include\s*(<windows\.h>|"[^"]*_win32\.h")' "$f")
done < <(find . -type f \( -name '*.h' -o -name '*.cpp' \) | sed 's#^\./##' | sort)
if [ $bad = 0 ]; then echo "layers: clean"; fi
exit $bad
