# Helpers for the tests that run the Windows programs under Wine: a
# throwaway prefix of the programs' architecture, with one server kept alive,
# and the tally of checks of tests/check-lib.sh.
# Source it as ". wine-lib.sh BITS", BITS 32 or 64 (pe_bits of the program
# under test): 32 runs the 32-bit loader in a 32-bit prefix, as on 32-bit
# Windows; 64 the 64-bit loader in a 64-bit prefix, as on x64 Windows, where
# a 64-bit program reads and writes the registry's 64-bit view.
# It sets WINEPREFIX and a trap that removes the prefix.

. "$(dirname "${BASH_SOURCE[0]}")/../check-lib.sh"
WINE_BITS=${1:-}
case $WINE_BITS in
  32) WINE_LOADER=/usr/lib/wine/wine; export WINEARCH=win32 ;;
  64) WINE_LOADER=/usr/lib/wine/wine64; unset WINEARCH ;;
  *) echo "FAILED: wine-lib.sh needs 32 or 64, the programs' bits, not '$WINE_BITS'" >&2; exit 1 ;;
esac
# One script for both: it starts the 64-bit server where there is one,
# which serves 32-bit prefixes too.
WINE_SERVER=/usr/lib/wine/wineserver
export WINEDEBUG=-all
WINE_WORK=$(mktemp -d /tmp/kestrave-wine.XXXXXX)
export WINEPREFIX="$WINE_WORK/prefix"

wine_cleanup() {
  "$WINE_SERVER" -k >/dev/null 2>&1 || true
  rm -rf "$WINE_WORK"
}
trap wine_cleanup EXIT

# Wine's processes get files, not pipes, for their output: the server
# outlives the call and would hold a pipe open.
wine_start() {
  mkdir -p "$WINEPREFIX"
  "$WINE_SERVER" -p >"$WINE_WORK/server.log" 2>&1
  "$WINE_LOADER" wineboot -i >"$WINE_WORK/boot.log" 2>&1
  # The system folder holds the prefix's own DLLs: 32-bit ones in a 32-bit
  # prefix, 64-bit ones in a 64-bit prefix (whose syswow64 may be empty).
  if [ "$(pe_bits "$WINEPREFIX/drive_c/windows/system32/kernel32.dll")" != "$WINE_BITS" ]; then
    echo "FAILED: no $WINE_BITS-bit Wine prefix in $WINEPREFIX" >&2
    exit 1
  fi
}

# Wine's null display driver keeps a mode change only while its server runs:
# a restarted server starts again from 1024x768x32@60, and writes the
# monitor's key afresh, so an EDID is injected after the restart.
wine_restart() {
  "$WINE_SERVER" -k >/dev/null 2>&1
  "$WINE_SERVER" -w
  "$WINE_SERVER" -p >>"$WINE_WORK/server.log" 2>&1
}

# wine_run DIR EXE ARGS...: runs EXE with DIR as current directory; the exit
# code is the program's.
wine_run() {
  local dir=$1
  shift
  (cd "$dir" && "$WINE_LOADER" "$@" >"$WINE_WORK/run.log" 2>&1)
}

# wine_reg_value KEY NAME: the data of a value as "wine reg query" shows it,
# or nothing when it is missing.
wine_reg_value() {
  local key=$1 name=$2
  if [ "$name" = "" ]; then
    "$WINE_LOADER" reg query "$key" /ve >"$WINE_WORK/reg.log" 2>&1 || return 0
  else
    "$WINE_LOADER" reg query "$key" /v "$name" >"$WINE_WORK/reg.log" 2>&1 || return 0
  fi
  tr -d '\r' <"$WINE_WORK/reg.log" | sed -n 's/^    [^ ].*    REG_[A-Z_]*    //p' | head -n 1
}

# wine_current_mode DIR HELPER: the primary display's mode as the
# current-mode helper prints it, read back from Wine itself.
wine_current_mode() {
  wine_run "$1" "$2"
  tr -d '\r' <"$WINE_WORK/run.log"
}

# wine_log DIR: the debug log a run in DIR wrote; wine_pass_log DIR: its
# pass's part, what follows the dump's closing rule and the blank line
# after it.
wine_log() { tr -d '\r' <"$1/kestrave.txt"; }
wine_pass_log() {
  wine_log "$1" | awk '{ line[NR] = $0 } /^=+$/ && length($0) == 80 { last = NR } END { for (i = last + 2; i <= NR; i++) print line[i] }'
}

wine_reg_key_exists() {
  "$WINE_LOADER" reg query "$1" >"$WINE_WORK/reg.log" 2>&1
}



# The monitor key of Wine's null display driver, where its EDID goes.
WINE_MONITOR_KEY='HKLM\SYSTEM\CurrentControlSet\Enum\DISPLAY\Default_Monitor\0000&0000'
WINE_CORPUS=$(realpath "$(dirname "${BASH_SOURCE[0]}")/../data/edid-corpus")

# edid_hex FILE BYTES: the first BYTES bytes of a file as lower-case hex.
edid_hex() { head -c "$2" "$1" | od -An -v -tx1 | tr -d ' \n'; }

# wine_inject_edid FILE BYTES: the first BYTES bytes of FILE become the
# monitor's "EDID" value; true when reg.exe says it worked.
wine_inject_edid() {
  "$WINE_LOADER" reg add "$WINE_MONITOR_KEY\Device Parameters" /v EDID /t REG_BINARY \
    /d "$(edid_hex "$1" "$2")" /f >"$WINE_WORK/reg.log" 2>&1 &&
    grep -q "completed successfully" "$WINE_WORK/reg.log"
}

# The family's unsized wallpaper in the Windows folder, with the sized
# ones beside it, and the wallpaper set to it.
wine_family_wallpaper() {
  local bitmap
  for bitmap in ov.bmp zqx640h.bmp zqx800h.bmp zqx1024h.bmp zqx1280h.bmp; do
    printf 'BM' >"$WINEPREFIX/drive_c/windows/$bitmap"
  done
  "$WINE_LOADER" reg add 'HKCU\Control Panel\Desktop' /v Wallpaper /d 'C:\windows\ov.bmp' /f \
    >"$WINE_WORK/reg.log" 2>&1
}

# The bytes of a file (or its first N bytes), trailing line ends included.
file_bytes() {
  local content
  if [ $# -gt 1 ]; then content=$(head -c "$2" "$1"; echo x); else content=$(cat "$1"; echo x); fi
  printf '%s' "${content%x}"
}

fails() { ! "$@"; }

wine_summary() { check_summary wine; }

# The X11 tests' server, on a free display number picked at random, as
# DISPLAY: x_start SERVER ARGS... runs SERVER with the number first. Started
# with -noreset, a server keeps the modes, the EDID and the mode set when
# Wine, its last client, leaves. The lock file names the server that holds
# the number.
x_pid=""
x_start() {
  local attempt tries number
  for ((attempt = 0; attempt < 5; attempt++)); do
    number=$((RANDOM % 900 + 100))
    [ -e "/tmp/.X$number-lock" ] || [ -e "/tmp/.X11-unix/X$number" ] && continue
    "$1" ":$number" "${@:2}" >"$WINE_WORK/x.log" 2>&1 &
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

# x_add_mode OUTPUT NAME CLOCK TIMINGS...: a modeline on an output; the
# server may know it already from another output.
x_add_mode() {
  xrandr --newmode "${@:2}" 2>/dev/null
  xrandr --addmode "$1" "$2"
}
# x_add_1024x768 OUTPUT: the standard 1024x768 at 60 Hz, to start from.
x_add_1024x768() {
  x_add_mode "$1" 1024x768_60.00 65.000 1024 1048 1184 1344 768 771 777 806 -HSync -VSync
}
# x_add_edid_modes OUTPUT FILE COUNT: the block's first COUNT detailed
# timings as modes on an output, named as edid-decode names them.
x_add_edid_modes() {
  local name timings added=true
  while read -r name timings; do
    # shellcheck disable=SC2086 # the timings are separate arguments
    x_add_mode "$1" "${name//\"/}" $timings || added=false
  done < <(edid-decode -X "$2" | sed -n 's/^ *Modeline //p' | head -n "$3")
  $added
}
# Each output's name and current mode.
x_current() { xrandr -q | awk '/ connected/ { output = $1 } /\*/ { print output, $1 }' | paste -sd ' '; }

# The server has no client that sets an output's EDID; this one does:
# "$X_SET_EDID" FILE [OUTPUT], after x_build_edid_tool.
X_SET_EDID="$WINE_WORK/set-output-edid"
x_build_edid_tool() {
  g++ -std=c++17 -Wall -Wextra -Werror -o "$X_SET_EDID" \
    "$(dirname "${BASH_SOURCE[0]}")/set_output_edid.cpp" -lXrandr -lX11
}
