#!/usr/bin/env bash
# kestrave.exe builds its picture of Wine's display hardware: Wine's adapter
# and monitor, with an EDID block injected into the monitor's key; without
# the monitor's model key the run ends with the registry fault.
#
# Wine rebuilds a deleted monitor key when the next program starts, so the
# missing model key is made by pointing the monitor's hardware ID at a
# model that has none.
set -u
exe=$(realpath "${1:?usage: display-model-test.sh KESTRAVE_EXE}")
. "$(dirname "$0")/../check-lib.sh"
. "$(dirname "$0")/wine-lib.sh" "$(pe_bits "$exe")"

wine_start
work="$WINE_WORK/run"
mkdir -p "$work"
cp "$exe" "$work/kestrave.exe"
check "EDID injected" wine_inject_edid "$WINE_CORPUS/edid-0005.bin" 256

wine_run "$work" "$work/kestrave.exe" -d
check_equal "exit code with the EDID in place" 0 $?
check "no error line" fails grep -q "Error" "$work/kestrave.txt"

"$WINE_LOADER" reg add "$WINE_MONITOR_KEY" /v HardwareID /t REG_MULTI_SZ \
  /d 'MONITOR\Missing_Monitor' /f >"$WINE_WORK/reg.log" 2>&1
wine_run "$work" "$work/kestrave.exe" -d
check_equal "exit code without the model key" 1 $?
check_equal "registry fault without the model key" \
  "Error: Unable to open registry key 'SYSTEM\\CurrentControlSet\\Enum\\DISPLAY\\Missing_Monitor' in file 'TDisplay': line 207." \
  "$(tr -d '\r' <"$work/kestrave.txt" | grep '^Error')"

wine_summary
