#!/usr/bin/env bash
# The main job on Wine's X11 driver with two displays: an X server with the
# dummy video driver, whose outputs are connected once they have a mode,
# each output with its own EDID block and modes, so that Wine shows two
# adapters with a monitor each. Wine names both monitors' hardware keys
# after the same model, and the program takes the model's first instance
# for every monitor: the second display gets the first block's native mode,
# 2560x1440 at 60 Hz, which its output offers beside its own monitor's
# 1920x1080. The X server must run as root.
set -u
exe=$(realpath "${1:?usage: x11-two-displays-test.sh KESTRAVE_EXE}")
. "$(dirname "$0")/../check-lib.sh"
. "$(dirname "$0")/wine-lib.sh" "$(pe_bits "$exe")"
trap 'wine_cleanup; x_stop' EXIT

first_edid="$WINE_CORPUS/edid-0249.bin"
second_edid="$WINE_CORPUS/edid-0058.bin"

# Room for both outputs at 2560x1440 wherever Wine places them.
cat >"$WINE_WORK/xorg.conf" <<'CONF'
Section "Device"
  Identifier "dummy"
  Driver "dummy"
  VideoRam 65536
EndSection
Section "Screen"
  Identifier "screen"
  Device "dummy"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Virtual 5120 2880
  EndSubSection
EndSection
CONF
mkdir "$WINE_WORK/xorg.conf.d"
if ! x_start Xorg -noreset -nolisten tcp -config "$WINE_WORK/xorg.conf" \
  -configdir "$WINE_WORK/xorg.conf.d" -logfile "$WINE_WORK/xorg.log"; then
  echo "FAILED: no X server with the dummy driver could be started" >&2
  exit 1
fi
check "first output's modes" x_add_edid_modes DUMMY0 "$first_edid" 2
check "second output's modes" x_add_edid_modes DUMMY1 "$second_edid" 2
check "first block's native mode on the second output" x_add_edid_modes DUMMY1 "$first_edid" 1
check "first output's 1024x768" x_add_1024x768 DUMMY0
check "second output's 1024x768" x_add_1024x768 DUMMY1
check "outputs at 1024x768" xrandr --output DUMMY0 --mode 1024x768_60.00 \
  --output DUMMY1 --mode 1024x768_60.00 --right-of DUMMY0
check "EDID tool built" x_build_edid_tool
check "EDID on the first output" "$X_SET_EDID" "$first_edid" DUMMY0
check "EDID on the second output" "$X_SET_EDID" "$second_edid" DUMMY1

wine_start
work="$WINE_WORK/run"
mkdir -p "$work"
cp "$exe" "$work/kestrave.exe"
flag_key() { echo "HKEY_CURRENT_USER\\Software\\Calvorne\\Kestrave\\Wine Adapter_000$1&Generic Non-PnP Monitor_000$1"; }
# The pass's part of the log up to the wallpaper's lines.
pass_log() { wine_pass_log "$work" | sed '/^Wallpaper /,$d'; }
# passes LINES...: both displays' blocks, each with the LINES that follow
# its optimization flag line.
passes() {
  local n
  for n in 0 1; do
    [ $n -eq 0 ] || echo
    printf '%s\n' "Generic Non-PnP Monitor on Wine Adapter [\\\\.\\DISPLAY$((n + 1))\\Monitor0]" \
      "  Currently: $1" "  Optimization flag is '$(flag_key $n)'" "${@:2}"
  done
}

check_equal "Wine's first monitor key holds the first output's EDID" \
  "$(edid_hex "$first_edid" 256 | tr a-f A-F)" "$(wine_reg_value "$WINE_MONITOR_KEY\Device Parameters" EDID)"
check_equal "Wine's second monitor key holds the second output's EDID" \
  "$(edid_hex "$second_edid" 256 | tr a-f A-F)" \
  "$(wine_reg_value "${WINE_MONITOR_KEY%\\*}\\0001&0000\Device Parameters" EDID)"
echo "xrandr -q before: $(x_current)"
wine_run "$work" "$work/kestrave.exe" -d
check_equal "first run exit code" 0 $?
check_equal "first run blocks" "$(passes "1024x 768,32 bpp @ 60 Hz" \
  "  Optimal: [preferred mode: 2560x1440,32 bpp @ 60 Hz] 2560x1440,32 bpp @ 60 Hz" \
  "  Optimal mode set successfully.")" "$(pass_log)"
echo "xrandr -q after:  $(x_current)"
check_equal "outputs after the first run" "DUMMY0 2560x1440_59.95 DUMMY1 2560x1440_59.95" "$(x_current)"
check_equal "first display's flag value" "60" "$(wine_reg_value "$(flag_key 0)" 2560x1440@32)"
check_equal "second display's flag value" "60" "$(wine_reg_value "$(flag_key 1)" 2560x1440@32)"

wine_run "$work" "$work/kestrave.exe" -d
check_equal "second run exit code" 0 $?
check_equal "second run blocks" "$(passes "2560x1440,32 bpp @ 60 Hz" "  Previously optimized.")" "$(pass_log)"

wine_summary
