#!/usr/bin/env bash
# The simulator tells the truth: a machine file that models Wine's null
# display driver, with the same injected EDID, gives a kestrave-sim -d log
# byte for byte the same as kestrave.exe -d under Wine. Each EDID is the
# whole value, the 8K monitor's with the DisplayID extension in its third
# block.
set -u
exe=$(realpath "${1:?usage: sim-equals-wine-test.sh KESTRAVE_EXE}")
root=$(realpath "$(dirname "$0")/../..")
sim="$root/build/kestrave-sim"
. "$(dirname "$0")/../check-lib.sh"
. "$(dirname "$0")/wine-lib.sh" "$(pe_bits "$exe")"

wine_start
for block in edid-0183.bin edid-0005.bin edid-0004.bin edid-0080.bin; do
  wine_dir="$WINE_WORK/wine-$block"
  sim_dir="$WINE_WORK/sim-$block"
  mkdir -p "$wine_dir" "$sim_dir"
  cp "$exe" "$wine_dir/kestrave.exe"
  size=$(stat -c %s "$WINE_CORPUS/$block")
  check "$block: EDID injected" wine_inject_edid "$WINE_CORPUS/$block" "$size"
  edid=$(edid_hex "$WINE_CORPUS/$block" "$size" | sed 's/../&,/g; s/,$//')
  # The mode an earlier block left is the mode this one starts from.
  wine_run "$wine_dir" "$(dirname "$exe")/current-mode.exe"
  mode=$(tr -d '\r' <"$WINE_WORK/run.log")
  wine_run "$wine_dir" "$wine_dir/kestrave.exe" -d -f
  check_equal "$block: kestrave.exe exit code" 0 $?

  # The adapter's key names a GUID that Wine picks anew for every prefix.
  adapter_key=$("$WINE_LOADER" reg query 'HKLM\HARDWARE\DEVICEMAP\VIDEO' /v '\Device\Video0' 2>/dev/null |
    tr -d '\r' | sed -n 's/^ *\\Device\\Video0 *REG_SZ *//p')
  sed -e "s|@ADAPTER_KEY@|${adapter_key//\\/\\\\\\\\}|" -e "s|@EDID@|hex:$edid|" \
    -e "s|\"current\": \"[^\"]*\"|\"current\": \"$mode\"|" \
    -e "s|\"registry\": \"[^\"]*\"|\"registry\": \"$mode\"|" \
    "$root/tests/data/wine-null-driver.json" >"$sim_dir/machine.json"
  (cd "$sim_dir" && "$sim" --machine machine.json -d -f >"$sim_dir/run.log" 2>&1)
  check_equal "$block: kestrave-sim exit code" 0 $?
  check "$block: the log shows the injected block" grep -q "      00 ff ff ff ff ff ff 00" "$wine_dir/kestrave.txt"
  check "$block: the two logs are identical" cmp "$wine_dir/kestrave.txt" "$sim_dir/kestrave.txt"
done
check "edid-0080.bin: the log shows the DisplayID timings" grep -q \
  "^      DisplayID preferred timing: 7680x4320, 0 bpp @ 30 Hz" "$WINE_WORK/wine-edid-0080.bin/kestrave.txt"
wine_summary
