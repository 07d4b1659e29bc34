#!/usr/bin/env bash
# kestrave-edid.exe, shipped beside kestrave.exe, writes under Wine the same
# reports as the Linux build, for raw and hex-text files, up to the line
# ends of the Windows console.
set -u
exe=$(realpath "${1:?usage: edid-tool-test.sh KESTRAVE_EXE}")
edid_exe="$(dirname "$exe")/kestrave-edid.exe"
linux_tool="$(realpath "$(dirname "$0")/../..")/build/kestrave-edid"
. "$(dirname "$0")/../check-lib.sh"
. "$(dirname "$0")/wine-lib.sh" "$(pe_bits "$exe")"

wine_start
work="$WINE_WORK/edid"
mkdir -p "$work"
for block in edid-0004.bin edid-0005.bin edid-0183.bin; do
  cp "$WINE_CORPUS/$block" "$work/$block"
  od -An -v -tx1 "$work/$block" >"$work/$block.hex"
  for file in "$block" "$block.hex"; do
    wine_run "$work" "$edid_exe" "$file"
    check_equal "$file: exit code" 0 $?
    "$linux_tool" "$work/$file" >"$work/linux.txt"
    check "$file: the Linux build's report" cmp <(tr -d '\r' <"$WINE_WORK/run.log") "$work/linux.txt"
  done
done
wine_summary
