#!/usr/bin/env bash
# The main job on a real Win32 implementation: an EDID whose preferred
# timing (800x600 at 60 Hz) is one of Wine's modes but not the current one;
# the mode, the flag and the wallpaper are read back from Wine. Then one
# whose timings ask for 800x600 at 61 Hz, which Wine lists only at 60 Hz.
set -u
exe=$(realpath "${1:?usage: main-job-test.sh KESTRAVE_EXE}")
current_mode_exe="$(dirname "$exe")/current-mode.exe"
. "$(dirname "$0")/../check-lib.sh"
. "$(dirname "$0")/wine-lib.sh" "$(pe_bits "$exe")"

wine_start
work="$WINE_WORK/run"
mkdir -p "$work"
cp "$exe" "$work/kestrave.exe"
wine_family_wallpaper
check "EDID injected" wine_inject_edid "$WINE_CORPUS/edid-0183.bin" 128
flag_key='HKCU\Software\Calvorne\Kestrave\Wine Adapter_0000&Generic Non-PnP Monitor_0000'
current_mode() { wine_current_mode "$work" "$current_mode_exe"; }
log() { wine_log "$work"; }
pass_log() { wine_pass_log "$work"; }

check_equal "mode before" "1024x768x32@60" "$(current_mode)"
wine_run "$work" "$work/kestrave.exe" -d
check_equal "first run exit code" 0 $?
check_equal "first run block" "Generic Non-PnP Monitor on Wine Adapter [\\\\.\\DISPLAY1\\Monitor0]
  Currently: 1024x 768,32 bpp @ 60 Hz
  Optimization flag is 'HKEY_CURRENT_USER\\Software\\Calvorne\\Kestrave\\Wine Adapter_0000&Generic Non-PnP Monitor_0000'
  Optimal: [preferred mode:  800x 600,32 bpp @ 60 Hz]  800x 600,32 bpp @ 60 Hz
  Optimal mode set successfully.

Wallpaper is currently set to 'C:\\windows\\ov.bmp'.
Wallpaper set to 'C:\\windows\\zqx800h.bmp'." "$(pass_log)"
check_equal "mode after the first run" "800x600x32@60" "$(current_mode)"
check_equal "flag value" "60" "$(wine_reg_value "$flag_key" 800x600@32)"
check_equal "wallpaper after the first run" 'C:\windows\zqx800h.bmp' \
  "$(wine_reg_value 'HKCU\Control Panel\Desktop' Wallpaper)"

wine_run "$work" "$work/kestrave.exe" -d
check_equal "second run exit code" 0 $?
check_equal "second run block" "Generic Non-PnP Monitor on Wine Adapter [\\\\.\\DISPLAY1\\Monitor0]
  Currently:  800x 600,32 bpp @ 60 Hz
  Optimization flag is 'HKEY_CURRENT_USER\\Software\\Calvorne\\Kestrave\\Wine Adapter_0000&Generic Non-PnP Monitor_0000'
  Previously optimized." "$(pass_log)"

wine_run "$work" "$work/kestrave.exe" -d -f
check_equal "forced run exit code" 0 $?
check "forced run optimises again" grep -q '^  Forcing optimization.$' <(log)
check "forced run applies the mode" grep -q '^  Optimal mode set successfully.$' <(log)
check_equal "mode after the forced run" "800x600x32@60" "$(current_mode)"

# edid_at_61_hz FILE: the same block with its first detailed timing at a
# 40.50 MHz clock (800x600 at 61 Hz), its first standard timing 800x600 at
# 61 Hz (for 120) and without the established 800x600 at 60 Hz, so that the
# first preset of the preferred resolution is the 61 Hz one.
edid_at_61_hz() {
  local hex sum=0 i
  hex=$(edid_hex "$WINE_CORPUS/edid-0183.bin" 128)
  put() { hex=${hex:0:$(($1 * 2))}$2${hex:$(($1 * 2 + ${#2}))}; }
  put 0x23 be
  put 0x26 4541
  put 0x36 d20f
  for ((i = 0; i < 254; i += 2)); do sum=$((sum + 16#${hex:i:2})); done
  put 0x7f "$(printf %02x $(((256 - sum % 256) % 256)))"
  printf "$(sed 's/../\\x&/g' <<<"$hex")" >"$1"
}
edid_at_61_hz "$WINE_WORK/edid-61hz.bin"
wine_restart
check "61 Hz EDID injected" wine_inject_edid "$WINE_WORK/edid-61hz.bin" 128
check_equal "mode before the 61 Hz run" "1024x768x32@60" "$(current_mode)"
wine_run "$work" "$work/kestrave.exe" -d -f
check_equal "61 Hz run exit code" 0 $?
check_equal "61 Hz run applies Wine's 60 Hz entry" "  Optimal: [preferred mode:  800x 600,32 bpp @ 61 Hz]  800x 600,32 bpp @ 60 Hz
  Optimal mode set successfully." "$(pass_log | grep -A1 '^  Optimal: ')"
check_equal "mode after the 61 Hz run" "800x600x32@60" "$(current_mode)"
check_equal "flag value after the 61 Hz run" "60" "$(wine_reg_value "$flag_key" 800x600@32)"

wine_summary
