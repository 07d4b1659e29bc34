#!/usr/bin/env bash
# The list in docs/windows-imports.md is the import table of the Windows
# programs of both builds: every function a build imports is on it for that
# build, and every function on it for a build is imported by one of that
# build's programs. A row's last column names the one build that imports
# it, x86 or x64; empty, both do. Each program's build is read from its
# file; the builds given are checked. A new import must be checked against
# the oldest Windows of its build before it goes on the list.
set -euo pipefail
[ $# -gt 0 ] || { echo "usage: imports-test.sh EXE..." >&2; exit 2; }
. "$(dirname "$0")/../check-lib.sh"
list="$(dirname "$0")/../../docs/windows-imports.md"

# "dll function build" from the list's table rows, lower-case DLL names.
rows=$(awk -F'|' '
  function trim(text) { gsub(/^ +| +$|`/, "", text); return text }
  trim($2) ~ /^[a-z0-9_]+\.dll$/ { only = trim($6); print trim($2), trim($3), only == "" ? "both" : only }' "$list")
# imports EXE...: "dll function" pairs of the programs' import tables: every
# line between a "DLL Name" and the blank line after it names one import, by
# name or, for an import by ordinal, by number (which is never on the list).
imports() {
  for exe in "$@"; do
    x86_64-w64-mingw32-objdump -p "$exe" | awk '
      /^\tDLL Name: / { dll = tolower($3); next }
      /^$/ { dll = "" }
      dll != "" && !/^\tvma:/ { print dll, $NF }'
  done | sort -u
}

failed=0
for exe in "$@"; do
  pe_bits "$exe" >/dev/null || { echo "$exe: not a PE file" >&2; failed=1; }
done
for build in x86 x64; do
  bits=32
  [ $build = x86 ] || bits=64
  programs=()
  for exe in "$@"; do
    [ "$(pe_bits "$exe")" != $bits ] || programs+=("$exe")
  done
  [ ${#programs[@]} -gt 0 ] || continue
  listed=$(awk -v build=$build '$3 == "both" || $3 == build { print $1, $2 }' <<<"$rows" | sort -u)
  imported=$(imports "${programs[@]}")
  build_failed=0
  while read -r pair; do
    [ -n "$pair" ] || continue
    echo "imported by the $build build but not on the list for it: $pair" >&2
    build_failed=1
  done < <(comm -13 <(echo "$listed") <(echo "$imported"))
  while read -r pair; do
    [ -n "$pair" ] || continue
    echo "on the list for the $build build but not imported by it: $pair" >&2
    build_failed=1
  done < <(comm -23 <(echo "$listed") <(echo "$imported"))
  if [ $build_failed -eq 0 ]; then
    echo "imports, $build build: $(echo "$imported" | wc -l) functions from" \
      "$(echo "$imported" | cut -d' ' -f1 | sort -u | tr '\n' ' ')on the list"
  fi
  failed=$((failed | build_failed))
done
exit $failed
