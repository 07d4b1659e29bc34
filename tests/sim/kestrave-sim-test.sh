#!/usr/bin/env bash
# kestrave-sim's own command line: --help, --output, and one line naming
# the file and the problem, with exit code 2, for a path it cannot use.
#   tests/sim/kestrave-sim-test.sh build/kestrave-sim
set -uo pipefail
. "$(dirname "$0")/../check-lib.sh"
sim=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
mkdir folder

"$sim" --help >help.txt 2>err.txt
check_equal "--help exit code" 0 $?
check_equal "--help first line" "Usage: kestrave-sim [--machine FILE] [--output FILE] [--trace FILE]" \
  "$(head -1 help.txt)"
check_equal "--help on standard error" "" "$(cat err.txt)"

# Each case: the arguments, then the one line expected on standard error.
cases=(
  "--machine folder|kestrave-sim: folder: is a directory"
  "--machine missing.json|kestrave-sim: missing.json: cannot read the file: No such file or directory"
  "--trace folder -d|kestrave-sim: folder: is a directory"
  "--output folder|kestrave-sim: folder: is a directory"
  "--save-sample folder|kestrave-sim: folder: is a directory"
)
for entry in "${cases[@]}"; do
  read -ra arguments <<<"${entry%%|*}"
  "$sim" "${arguments[@]}" >/dev/null 2>err.txt
  check_equal "${entry%%|*}: exit code" 2 $?
  check_equal "${entry%%|*}: message" "${entry#*|}" "$(cat err.txt)"
done
check_equal "no log after a refused trace" "" "$(ls kestrave.txt 2>/dev/null)"

# --output leaves the machine file as it was, so a capture replays the same
# way every time.
"$sim" --save-sample machine.json
cp machine.json before.json
for run in 1 2; do
  "$sim" --machine machine.json --output after.json -d >/dev/null
  check_equal "--output run $run: exit code" 0 $?
  check "--output run $run: the machine file unchanged" cmp -s machine.json before.json
  cp kestrave.txt "log$run.txt"
done
check "--output: both runs write the same log" cmp -s log1.txt log2.txt
"$sim" --machine after.json -d >/dev/null
check_equal "the machine --output wrote: optimised before" 2 "$(grep -c 'Previously optimized.' kestrave.txt)"

check_summary kestrave-sim
