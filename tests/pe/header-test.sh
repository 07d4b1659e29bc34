#!/usr/bin/env bash
# Each Windows program is one 32-bit (i386) PE file that Windows 2000 loads:
# subsystem and OS versions of at most 5.0 in its header, and under 2 MiB.
set -euo pipefail
[ $# -gt 0 ] || { echo "usage: header-test.sh EXE..." >&2; exit 2; }
failed=0
fail() { echo "$exe: $*" >&2; bad=1; failed=1; }
for exe in "$@"; do
  bad=0
  # The i686 objdump reads no other PE format.
  if ! header=$(i686-w64-mingw32-objdump -p "$exe" 2>/dev/null) ||
    ! grep -q 'file format pei-i386$' <<<"$header"; then
    fail "not a 32-bit i386 PE"
    continue
  fi
  for field in OSystem Subsystem; do
    major=$(sed -n "s/^Major${field}Version[[:space:]]*//p" <<<"$header")
    minor=$(sed -n "s/^Minor${field}Version[[:space:]]*//p" <<<"$header")
    [ -n "$major" ] && [ $((major * 100 + minor)) -le 500 ] ||
      fail "${field} version ${major}.${minor} is above 5.0"
  done
  size=$(stat -c %s "$exe")
  [ "$size" -lt $((2 * 1024 * 1024)) ] || fail "$size bytes, not under 2 MiB"
  # The loop ends on the subsystem's version.
  [ $bad -ne 0 ] || echo "$(basename "$exe"): PE32 i386, subsystem ${major}.${minor}, $size bytes"
done
exit $failed
