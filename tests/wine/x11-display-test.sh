#!/usr/bin/env bash
# The main job on Wine's X11 driver and a headless X server: the modes, the
# monitor's EDID block and the mode change come from the server's RandR, as
# on a real display stack. The block is an EDID 1.4 one whose native mode,
# 2560x1440 at 60 Hz, no standard timing can name; the screen starts at
# 1024x768. Xvfb has one output, so Wine shows one display.
set -u
exe=$(realpath "${1:?usage: x11-display-test.sh KESTRAVE_EXE}")
current_mode_exe="$(dirname "$exe")/current-mode.exe"
. "$(dirname "$0")/wine-lib.sh"

edid="$WINE_CORPUS/edid-0249.bin"
# Larger than the native mode, so that the server's own mode, which has no
# refresh rate, is not at the native resolution.
screen=2560x1600x24

# x_start: an Xvfb on a free display number picked at random, as DISPLAY.
# -noreset keeps the modes, the EDID and the mode set when Wine, its last
# client, leaves. The lock file names the server that holds the number.
x_pid=""
x_start() {
  local attempt tries number
  for ((attempt = 0; attempt < 5; attempt++)); do
    number=$((RANDOM % 900 + 100))
    [ -e "/tmp/.X$number-lock" ] || [ -e "/tmp/.X11-unix/X$number" ] && continue
    Xvfb ":$number" -noreset -screen 0 "$screen" >"$WINE_WORK/xvfb.log" 2>&1 &
    x_pid=$!
    for ((tries = 0; tries < 100; tries++)); do
      kill -0 "$x_pid" 2>/dev/null || break
      if [ "$(tr -d ' \n' 2>/dev/null <"/tmp/.X$number-lock")" = "$x_pid" ] &&
        DISPLAY=":$number" xrandr -q >/dev/null 2>&1; then
        export DISPLAY=":$number"
        return 0
      fi
      sleep 0.1
    done
    x_stop
  done
  return 1
}
x_stop() {
  [ -n "$x_pid" ] || return 0
  kill "$x_pid" 2>/dev/null
  wait "$x_pid" 2>/dev/null
  x_pid=""
}
trap 'wine_cleanup; x_stop' EXIT

# x_add_mode NAME CLOCK TIMINGS...: a modeline on the server's one output.
x_add_mode() {
  xrandr --newmode "$@" && xrandr --addmode screen "$1"
}
# The X screen's line and its current mode's.
x_current() { xrandr -q | sed -n 's/^\(screen connected [^ ]*\).*/\1/p; s/^ *\([^ ]*\) .*\*.*/\1/p' | paste -sd ' '; }

if ! x_start; then
  echo "FAILED: no Xvfb could be started" >&2
  exit 1
fi
# The block's two detailed timings (the native mode at 60 and at 75 Hz),
# and the standard 1024x768 at 60 Hz to start from.
modes_added=true
while read -r name timings; do
  # shellcheck disable=SC2086 # the timings are separate arguments
  x_add_mode "${name//\"/}" $timings || modes_added=false
done < <(edid-decode -X "$edid" | sed -n 's/^ *Modeline //p' | head -n 2)
x_add_mode 1024x768_60.00 65.000 1024 1048 1184 1344 768 771 777 806 -HSync -VSync || modes_added=false
check "modes added" $modes_added
check "screen at 1024x768" xrandr --output screen --mode 1024x768_60.00

set_edid="$WINE_WORK/set-output-edid"
check "EDID helper built" g++ -std=c++17 -Wall -Wextra -Werror -o "$set_edid" \
  "$(dirname "$0")/set_output_edid.cpp" -lXrandr -lX11
check "EDID on the output" "$set_edid" "$edid"

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
check_equal "X screen after the first run" "screen connected 2560x1440+0+0 2560x1440_59.95" "$(x_current)"
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
check_equal "X screen after the forced run" "screen connected 2560x1440+0+0 2560x1440_59.95" "$(x_current)"

wine_summary
