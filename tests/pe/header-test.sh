#!/usr/bin/env bash
# Each Windows program of a build is one PE file of the build's format that
# the oldest Windows of its processor loads, and under 2 MiB: the x86 build
# (32) PE32 i386, with subsystem and OS versions of at most 5.0, Windows
# 2000; the x64 build (64) PE32+ x86-64, with at most 5.2, Windows XP x64
# and Server 2003 x64, the first x64 Windows (its linker writes 5.2).
set -euo pipefail
usage() { echo "usage: header-test.sh 32|64 EXE..." >&2; exit 2; }
[ $# -gt 1 ] || usage
case $1 in
  32) format=pei-i386 name="PE32 i386" oldest=500 ;;
  64) format=pei-x86-64 name="PE32+ x86-64" oldest=502 ;;
  *) usage ;;
esac
shift
failed=0
fail() { echo "$exe: $*" >&2; bad=1; failed=1; }
for exe in "$@"; do
  bad=0
  # The x86_64 objdump reads both formats and says which.
  if ! header=$(x86_64-w64-mingw32-objdump -p "$exe" 2>/dev/null) ||
    ! grep -q "file format $format\$" <<<"$header"; then
    fail "not a $name PE"
    continue
  fi
  for field in OSystem Subsystem; do
    major=$(sed -n "s/^Major${field}Version[[:space:]]*//p" <<<"$header")
    minor=$(sed -n "s/^Minor${field}Version[[:space:]]*//p" <<<"$header")
    [ -n "$major" ] && [ $((major * 100 + minor)) -le $oldest ] ||
      fail "${field} version ${major}.${minor} is above $((oldest / 100)).$((oldest % 100))"
  done
  size=$(stat -c %s "$exe")
  [ "$size" -lt $((2 * 1024 * 1024)) ] || fail "$size bytes, not under 2 MiB"
  # The loop ends on the subsystem's version.
  [ $bad -ne 0 ] || echo "$(basename "$exe"): $name, subsystem ${major}.${minor}, $size bytes"
done
exit $failed
