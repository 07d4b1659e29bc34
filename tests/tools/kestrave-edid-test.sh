#!/usr/bin/env bash
# kestrave-edid's exit codes and messages, its reading of a debug log and
# --raw, on the built Linux programs.
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

check_summary kestrave-edid
