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

# A symbolic or hard link planted where others can write, under the name a
# temporary file once had: every machine file written goes past it, the
# file it leads to keeps its bytes, and the target is a file of its own.
"$sim" --save-sample sample.json
for link in symbolic hard; do
  for entry in "--machine m.json -d|m.json" "--machine sample.json --output out.json -d|out.json" \
    "--save-sample s.json|s.json"; do
    target=${entry#*|}
    rm -f "$target" "$target".*
    cp sample.json m.json
    echo PRECIOUS >victim.txt
    if [ "$link" = symbolic ]; then ln -s "$PWD/victim.txt" "$target.kestrave-sim-tmp"; else ln victim.txt "$target.kestrave-sim-tmp"; fi
    read -ra arguments <<<"${entry%%|*}"
    "$sim" "${arguments[@]}" >/dev/null 2>err.txt
    check_equal "${entry%%|*} past a $link link: exit code" 0 $?
    check "${entry%%|*} past a $link link: the linked file kept" test "$(cat victim.txt)" = PRECIOUS
    check "${entry%%|*} past a $link link: $target a file of its own" \
      test -f "$target" -a ! -L "$target" -a "$(stat -c %h "$target")" = 1
    check "${entry%%|*} past a $link link: $target a machine file" grep -q '"registry"' "$target"
    check_equal "${entry%%|*} past a $link link: no other file beside it" "$target.kestrave-sim-tmp" \
      "$(ls "$target".* 2>/dev/null | paste -sd ' ')"
    rm -f "$target.kestrave-sim-tmp"
  done
done
# A target that is no regular file is written into.
check "--save-sample /dev/stdout writes the sample out" \
  grep -q '"registry"' <("$sim" --save-sample /dev/stdout)

check_summary kestrave-sim
