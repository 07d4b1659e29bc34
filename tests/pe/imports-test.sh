#!/usr/bin/env bash
# The list in docs/windows-imports.md is the import table of the Windows
# programs: every function they import is on it, and every function on it is
# imported by one of them. A new import must be checked against Windows 2000
# before it goes on the list.
set -euo pipefail
[ $# -gt 0 ] || { echo "usage: imports-test.sh EXE..." >&2; exit 2; }
list="$(dirname "$0")/../../docs/windows-imports.md"

# "dll function" pairs, lower-case DLL names, from the list's table rows.
listed=$(sed -n 's/^| \([a-z0-9_]*\.dll\) | `\([^`]*\)` |.*/\1 \2/p' "$list" | sort -u)
# The same pairs from each program's import tables: every line between a
# "DLL Name" and the blank line after it names one import, by name or, for
# an import by ordinal, by number (which is never on the list).
imported=$(for exe in "$@"; do
  i686-w64-mingw32-objdump -p "$exe" | awk '
    /^\tDLL Name: / { dll = tolower($3); next }
    /^$/ { dll = "" }
    dll != "" && !/^\tvma:/ { print dll, $NF }'
done | sort -u)

failed=0
while read -r pair; do
  [ -n "$pair" ] || continue
  echo "imported but not on the list: $pair" >&2
  failed=1
done < <(comm -13 <(echo "$listed") <(echo "$imported"))
while read -r pair; do
  [ -n "$pair" ] || continue
  echo "on the list but not imported: $pair" >&2
  failed=1
done < <(comm -23 <(echo "$listed") <(echo "$imported"))
[ $failed -eq 0 ] || exit 1
echo "imports: $(echo "$imported" | wc -l) functions from" \
  "$(echo "$imported" | cut -d' ' -f1 | sort -u | tr '\n' ' ')on the list"
