#!/usr/bin/env bash
# kestrave-edid's exit codes and messages, its reading of a debug log, of
# edid-decode's and xrandr's output, and --raw, on the built Linux programs.
#   tests/tools/kestrave-edid-test.sh build/kestrave-edid build/kestrave-sim
set -uo pipefail
. "$(dirname "$0")/../check-lib.sh"
edid=$(realpath "$1")
sim=$(realpath "$2")
corpus=$(realpath "$(dirname "$0")/../data/edid-corpus")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

cp "$corpus/edid-0004.bin" good.bin
head -c 100 good.bin >short.bin
printf 'hello world\n' >garbage.txt
mkdir folder
# Each case: the file, the exit code, the line on standard error.
cases=(
  "good.bin|0|"
  "short.bin|1|kestrave-edid: short.bin: holds 100 bytes of EDID data, fewer than 128"
  "garbage.txt|1|kestrave-edid: garbage.txt: not an EDID hex dump: 'hello' on line 1 is not a run of hex digit pairs"
  "folder|1|kestrave-edid: folder: is a directory"
  "missing.bin|1|kestrave-edid: missing.bin: cannot be opened"
)
for entry in "${cases[@]}"; do
  IFS='|' read -r file code message <<<"$entry"
  "$edid" "$file" >out.txt 2>err.txt
  check_equal "$file: exit code" "$code" $?
  check_equal "$file: message" "$message" "$(cat err.txt)"
done
check_equal "a short block is still reported" 1 "$(grep -c '^    EDID:' <("$edid" short.bin 2>/dev/null))"
"$edid" good.bin short.bin >/dev/null 2>&1
check_equal "one file short of several: exit code" 1 $?

"$edid" --help >help.txt
check_equal "--help exit code" 0 $?
check_equal "--help first line" "Usage: kestrave-edid [--raw OUT] [FILE...]" "$(head -1 help.txt)"

# A debug log: every monitor's block, under its heading; the first one's
# bytes with --raw, which report as the log does.
"$sim" -d >/dev/null
"$edid" --raw first.bin kestrave.txt >report.txt
check_equal "debug log: exit code" 0 $?
check_equal "debug log: one report a monitor" "$(grep -c '^    EDID:' kestrave.txt)" \
  "$(grep -c '^--- ' report.txt)"
check_equal "--raw: the first block" 128 "$(stat -c %s first.bin)"
"$edid" first.bin >raw-report.txt
check_equal "--raw: the block reports as in the log" "" \
  "$(diff raw-report.txt <(tr -d '\r' <kestrave.txt | grep -A $(($(wc -l <raw-report.txt) - 1)) -m1 '^    EDID:'))"

check_equal "--raw: the second block to OUT.2" 128 "$(stat -c %s first.bin.2)"

# edid-decode's own output, the whole decode and the hex dump alone (-H),
# reports as the block it was made from; edid-0008 holds 384 bytes.
for file in edid-0001.bin edid-0004.bin edid-0008.bin; do
  "$edid" "$corpus/$file" >expected.txt
  for option in --skip-sha -H; do
    edid-decode "$option" "$corpus/$file" >decoded.txt
    "$edid" decoded.txt >report.txt
    check_equal "edid-decode $option $file: exit code" 0 $?
    check "edid-decode $option $file: the block's report" cmp -s expected.txt report.txt
  done
done

# xrandr --verbose: each output's EDID property, 32 hex digits a row under
# two tabs, among its other properties. --raw writes every block.
xrandr_edid() {
  printf '\tEDID: \n'
  od -An -v -tx1 "$1" | tr -d ' \n' | fold -w32 | sed 's/^/\t\t/'
  printf '\n\tnon-desktop: 0 \n\t\tsupported: 0, 1\n'
}
{
  echo "Screen 0: minimum 320 x 200, current 3200 x 1080, maximum 16384 x 16384"
  echo "HDMI-1 connected primary 1920x1080+0+0 (0x47) normal (normal left inverted right x axis y axis) 527mm x 296mm"
  printf '\tIdentifier: 0x42\n\tTimestamp:  4411\n'
  xrandr_edid "$corpus/edid-0004.bin"
  printf '  1920x1080 (0x47) 148.500MHz +HSync +VSync *current +preferred\n'
  echo "DP-1 disconnected (normal left inverted right x axis y axis)"
  echo "DP-2 connected 1280x1024+1920+0 (0x4a) normal (normal left inverted right x axis y axis) 338mm x 270mm"
  xrandr_edid "$corpus/edid-0001.bin"
} >xrandr.txt
"$edid" --raw block.bin xrandr.txt >report.txt
check_equal "xrandr: exit code" 0 $?
check_equal "xrandr: each block under its output" "--- HDMI-1|--- DP-2" \
  "$(grep -a '^--- ' report.txt | paste -sd'|')"
check "--raw: the first block to OUT" cmp -s block.bin "$corpus/edid-0004.bin"
check "--raw: the second block to OUT.2" cmp -s block.bin.2 "$corpus/edid-0001.bin"
check_equal "--raw: no third block" "" "$(ls block.bin.3 2>/dev/null)"

check_summary kestrave-edid
