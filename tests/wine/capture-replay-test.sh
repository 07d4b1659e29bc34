#!/usr/bin/env bash
# What kestrave-capture records is what kestrave.exe finds: on a Wine prefix
# with an injected EDID, kestrave-sim replaying the capture writes the same
# log, with the same exit code, as kestrave.exe run afterwards on the
# prefix, and leaves the same registry, modes and wallpaper; a capture taken
# after that run replays as already optimised. Then registry values of every
# type, a name outside ASCII and an EDID longer than 256 bytes go through
# the capture and a replay unchanged.
set -u
exe=$(realpath "${1:?usage: capture-replay-test.sh KESTRAVE_EXE}")
capture_exe="$(dirname "$exe")/kestrave-capture.exe"
root=$(realpath "$(dirname "$0")/../..")
sim="$root/build/kestrave-sim"
. "$(dirname "$0")/../check-lib.sh"
. "$(dirname "$0")/wine-lib.sh" "$(pe_bits "$exe")"

pc="$WINE_WORK/pc"
mkdir -p "$pc"
cp "$exe" "$pc/kestrave.exe"
cp "$capture_exe" "$pc/kestrave-capture.exe"

# capture NAME: kestrave-capture's machine file of the prefix, as pc/NAME.
capture() {
  wine_run "$pc" "$pc/kestrave-capture.exe" "$@"
}
# replay MACHINE DIR SWITCHES...: kestrave-sim -d on a copy of the machine in
# DIR, the machine after the run in DIR/after.json.
replay() {
  local machine=$1 dir=$2
  shift 2
  mkdir -p "$dir"
  (cd "$dir" && "$sim" --machine "$machine" --output after.json "$@" >run.log 2>&1)
}
quietly() { "$@" >/dev/null; }
# same_after_read MACHINE NAME: read by kestrave-sim and written back, the
# capture is the same file.
same_after_read() {
  replay "$1" "$WINE_WORK/read-$2" -?
  check "$2: read and written back, the same file" cmp "$1" "$WINE_WORK/read-$2/after.json"
}
# same_as_replay NAME SWITCHES...: kestrave.exe on the prefix writes the log
# and exit code that the replay of capture NAME.json wrote.
same_as_replay() {
  local name=$1
  shift
  replay "$pc/$name.json" "$WINE_WORK/replay-$name" "$@"
  local replay_code=$?
  # A log left from the run before would hide one this run did not write.
  rm -f "$pc/kestrave.txt"
  wine_run "$pc" "$pc/kestrave.exe" "$@"
  check_equal "$name: the replay's exit code is kestrave.exe's" $? $replay_code
  check "$name: the replayed log is kestrave.exe's, byte for byte" \
    same_log "$pc/kestrave.txt" "$WINE_WORK/replay-$name/kestrave.txt"
}
# same_log EXE_LOG REPLAY_LOG: the same bytes; otherwise their lines' diff
# and what Wine printed for the run, to tell where they part.
same_log() {
  cmp -s "$1" "$2" && return
  diff <(tr -d '\r' <"$1") <(tr -d '\r' <"$2") >&2
  sed 's/^/  wine: /' "$WINE_WORK/run.log" >&2
  return 1
}
# The parts of a machine file that a run may change, in one order. Wine's
# null driver writes the monitor's keys afresh when the mode changes (the
# EDID is gone, the resolution properties follow the mode), which no
# Windows driver is asked to copy: those keys are left out.
changeable() {
  jq -S '{registry: (.registry | with_entries(select(.key | test("\\\\Enum\\\\DISPLAY\\\\") | not))),
    wallpaper, modes: [.adapters[] | {current, registry}]}' "$1"
}

wine_start
wine_family_wallpaper
check "EDID injected" wine_inject_edid "$WINE_CORPUS/edid-0183.bin" 128

capture before.json
check_equal "capture exit code" 0 $?
same_as_replay before -d
check "kestrave.exe changed the mode" grep -qx $'  Optimal mode set successfully.\r' "$pc/kestrave.txt"

capture later.json
check_equal "later capture exit code" 0 $?
check_equal "registry, wallpaper and modes after both runs" \
  "$(changeable "$WINE_WORK/replay-before/after.json")" "$(changeable "$pc/later.json")"
replay "$pc/later.json" "$WINE_WORK/again" -d
check "the later capture replays as optimised before" \
  grep -qx $'  Previously optimized.\r' "$WINE_WORK/again/kestrave.txt"
same_after_read "$pc/before.json" before

# Values the program never reads still come back as they were, whatever
# their type; regedit reads a REGEDIT4 file in the ANSI code page (1252).
device_parameters='HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Enum\DISPLAY\Default_Monitor\0000&0000\Device Parameters'
long_edid=$( (head -c 256 "$WINE_CORPUS/edid-0183.bin"; head -c 128 "$WINE_CORPUS/edid-0005.bin") |
  od -An -v -tx1 | tr -s ' \n' ',' | sed 's/^,//; s/,$//')
{
  printf 'REGEDIT4\r\n\r\n[%s]\r\n' "$device_parameters"
  printf '"EDID"=hex:%s\r\n' "$long_edid"
  printf '"text"="a \\"quoted\\" C:\\\\path"\r\n'
  printf '"Gr\xf6\xdfe"="\xe9"\r\n'
  printf '"none"=hex(0):\r\n"expand"=hex(2):25,57,49,4e,44,49,52,25,00\r\n"binary"=hex:00,ff\r\n'
  printf '"dword"=dword:0000003c\r\n"big"=hex(5):00,00,00,01\r\n"multi"=hex(7):61,00,62,00,00\r\n'
  printf '"resources"=hex(8):01,02\r\n"qword"=hex(b):01,02,03,04,05,06,07,08\r\n"odd"=hex(100):ab\r\n'
} >"$pc/values.reg"
"$WINE_LOADER" regedit /s 'Z:'"${pc//\//\\}"'\values.reg' >"$WINE_WORK/reg.log" 2>&1
capture values.json
check_equal "capture of every type exit code" 0 $?
# A REG_SZ keeps its bytes in the code page; only names are made UTF-8.
# BAD_EDID is Wine's own.
written=$(jq -S -n --arg edid "hex:$long_edid" '{BAD_EDID: "hex:", EDID: $edid, text: "a \"quoted\" C:\\path",
  "Größe": "hex(1):e9,00", none: "hex(0):", expand: "hex(2):25,57,49,4e,44,49,52,25,00",
  binary: "hex:00,ff", dword: "dword:0000003c", big: "hex(5):00,00,00,01",
  multi: "hex(7):61,00,62,00,00", resources: "hex(8):01,02",
  qword: "hex(b):01,02,03,04,05,06,07,08", odd: "hex(100):ab"}')
check_equal "every value as it was written" "$written" \
  "$(jq -S --arg key "$device_parameters" '.registry[$key]' "$pc/values.json")"
same_after_read "$pc/values.json" values
same_as_replay values -d -f

# Code page 932 (Wine takes it from LC_ALL): a flag key named in it, and a
# registry link below the program's key, which the capture keeps as a link
# and removal must not follow.
localized='Software\Calvorne\Kestrave\Wine Adapter_0000&汎用モニター_0000'
LANG=C.UTF-8 "$WINE_LOADER" reg add "HKCU\\$localized" /v 1024x768@32 /t REG_SZ /d 60 /f \
  >"$WINE_WORK/reg.log" 2>&1
wine_run "$pc" "$(dirname "$exe")/make-link.exe" 'Software\Calvorne\Kestrave\Link' \
  '\Registry\Machine\Software\Wine'
check_equal "link made" 0 $?
export LC_ALL=ja_JP.UTF-8 2>/dev/null
capture japanese.json
check_equal "capture under code page 932: exit code" 0 $?
check_equal "the code page recorded" 932 "$(jq .os.codePage "$pc/japanese.json")"
check "the localized flag key, in UTF-8" \
  quietly jq -e --arg key "HKEY_CURRENT_USER\\$localized" '.registry | has($key)' "$pc/japanese.json"
check "the link kept as a link" quietly jq -e '.registry["HKEY_CURRENT_USER\\Software\\Calvorne\\Kestrave\\Link"]
  .SymbolicLinkValue | startswith("hex(6):")' "$pc/japanese.json"
same_after_read "$pc/japanese.json" japanese
same_as_replay japanese -d -u
unset LC_ALL

# The command line: a target it cannot write leaves nothing behind and says
# why in one line; - is standard output.
capture missing/machine.json
check_equal "a folder that does not exist: exit code" 1 $?
check_equal "a folder that does not exist: one line" 1 "$(grep -c . "$WINE_WORK/run.log")"
check "a folder that does not exist: the line names the file" \
  grep -q "^kestrave-capture: missing/machine.json: " "$WINE_WORK/run.log"
mkdir -p "$pc/folder.json"
capture folder.json
check_equal "a folder as the target: exit code" 1 $?
check "nothing half-written is left" test -z "$(find "$pc" -name '*-tmp')"
# A folder others can write to: a hard link planted under the temporary
# name the capture once used, and a target that is a hard link to another
# file, leave the files they lead to as they were.
drive_c="$WINEPREFIX/drive_c"
printf 'precious' >"$drive_c/important.ini"
ln "$drive_c/important.ini" "$pc/planted.json.kestrave-capture-tmp"
capture planted.json
check_equal "a hard link under the old temporary name: exit code" 0 $?
check_equal "a hard link under the old temporary name: the file it leads to" \
  precious "$(cat "$drive_c/important.ini")"
check_equal "a hard link under the old temporary name: left where it was" \
  2 "$(stat -c %h "$drive_c/important.ini")"
check "a hard link under the old temporary name: the capture written" quietly jq -e .adapters "$pc/planted.json"
printf 'precious' >"$drive_c/linked.ini"
ln "$drive_c/linked.ini" "$pc/linked.json"
capture linked.json
check_equal "a target that is a hard link: exit code" 0 $?
check_equal "a target that is a hard link: the file it led to" precious "$(cat "$drive_c/linked.ini")"
check "a target that is a hard link: the capture written" quietly jq -e .adapters "$pc/linked.json"
check "nothing half-written is left beside them" \
  test "$(find "$pc" -name '*kestrave-capture-tmp')" = "$pc/planted.json.kestrave-capture-tmp"
capture -
check "- writes the machine to standard output" quietly jq -e .adapters "$WINE_WORK/run.log"
capture --help
check_equal "--help: exit code" 0 $?
check "--help: the usage" grep -q "^Usage: kestrave-capture \[FILE\]" "$WINE_WORK/run.log"
capture one two
check_equal "two files: exit code" 1 $?
wine_summary
