#!/usr/bin/env bash
# The main job on Wine's X11 driver and a headless X server: the modes, the
# monitor's EDID block and the mode change come from the server's RandR, as
# on a real display stack. The block is an EDID 1.4 one whose native mode,
# 2560x1440 at 60 Hz, no standard timing can name; the screen starts at
# 1024x768. Xvfb has one output, so Wine shows one display; two are in
# x11-two-displays-test.sh.
set -u
exe=$(realpath "${1:?usage: x11-display-test.sh KESTRAVE_EXE}")
current_mode_exe="$(dirname "$exe")/current-mode.exe"
. "$(dirname "$0")/../check-lib.sh"
. "$(dirname "$0")/wine-lib.sh" "$(pe_bits "$exe")"

edid="$WINE_CORPUS/edid-0249.bin"
# Larger than the native mode, so that the server's own mode, which has no
# refresh rate, is not at the native resolution.
screen=2560x1600x24

trap 'wine_cleanup; x_stop' EXIT

if ! x_start Xvfb -noreset -screen 0 "$screen"; then
  echo "FAILED: no Xvfb could be started" >&2
  exit 1
fi
# The block's two detailed timings (the native mode at 60 and at 75 Hz),
# and the standard 1024x768 at 60 Hz to start from.
check "modes added" x_add_edid_modes screen "$edid" 2
check "1024x768 added" x_add_1024x768 screen
check "screen at 1024x768" xrandr --output screen --mode 1024x768_60.00
check "EDID tool built" x_build_edid_tool
check "EDID on the output" "$X_SET_EDID" "$edid"

wine_start
work="$WINE_WORK/run"
mkdir -p "$work"
cp "$exe" "$work/kestrave.exe"
flag_key='HKCU\Software\Calvorne\Kestrave\Wine Adapter_0000&Generic Non-PnP Monitor_0000'
current_mode() { wine_current_mode "$work" "$current_mode_exe"; }
# The pass's part of the log up to the wallpaper's lines.
pass_log() { wine_pass_log "$work" | sed '/^$/,$d'; }
optimal_block="  Optimal: [preferred mode: 2560x1440,32 bpp @ 60 Hz] 2560x1440,32 bpp @ 60 Hz
  Optimal mode set successfully."

check_equal "Wine's monitor key holds the server's EDID" "$(edid_hex "$edid" 256 | tr a-f A-F)" \
  "$(wine_reg_value "$WINE_MONITOR_KEY\Device Parameters" EDID)"
check_equal "mode before" "1024x768x32@60" "$(current_mode)"
echo "xrandr -q before: $(x_current)"
wine_run "$work" "$work/kestrave.exe" -d
check_equal "first run exit code" 0 $?
check_equal "first run block" "Generic Non-PnP Monitor on Wine Adapter [\\\\.\\DISPLAY1\\Monitor0]
  Currently: 1024x 768,32 bpp @ 60 Hz
  Optimization flag is 'HKEY_CURRENT_USER\\Software\\Calvorne\\Kestrave\\Wine Adapter_0000&Generic Non-PnP Monitor_0000'
$optimal_block" "$(pass_log)"
echo "xrandr -q after:  $(x_current)"
check_equal "X screen after the first run" "screen 2560x1440_59.95" "$(x_current)"
check_equal "flag value" "60" "$(wine_reg_value "$flag_key" 2560x1440@32)"

wine_run "$work" "$work/kestrave.exe" -d
check_equal "second run exit code" 0 $?
check_equal "second run block" "Generic Non-PnP Monitor on Wine Adapter [\\\\.\\DISPLAY1\\Monitor0]
  Currently: 2560x1440,32 bpp @ 60 Hz
  Optimization flag is 'HKEY_CURRENT_USER\\Software\\Calvorne\\Kestrave\\Wine Adapter_0000&Generic Non-PnP Monitor_0000'
  Previously optimized." "$(pass_log)"

# Set back to 1024x768 behind Wine's back: -f chooses the native mode again.
check "screen back at 1024x768" xrandr --output screen --mode 1024x768_60.00
wine_run "$work" "$work/kestrave.exe" -d -f
check_equal "forced run exit code" 0 $?
check_equal "forced run block" "Generic Non-PnP Monitor on Wine Adapter [\\\\.\\DISPLAY1\\Monitor0]
  Currently: 1024x 768,32 bpp @ 60 Hz
  Forcing optimization.
$optimal_block" "$(pass_log)"
check_equal "X screen after the forced run" "screen 2560x1440_59.95" "$(x_current)"

wine_summary
