#!/usr/bin/env bash
# Windows 2000 has no CMP_WaitNoPendingInstallEvents, so kestrave.exe does
# not import it: with setupapi.dll unavailable (Wine's DLL override "d"
# disables a library) the run loads no setupapi.dll and goes on as on a
# system with nothing pending, to the same log.
set -u
exe=$(realpath "${1:?usage: start-up-test.sh KESTRAVE_EXE}")
. "$(dirname "$0")/../check-lib.sh"
. "$(dirname "$0")/wine-lib.sh" "$(pe_bits "$exe")"

wine_start
work="$WINE_WORK/run"
mkdir -p "$work"
cp "$exe" "$work/kestrave.exe"
loaded_setupapi() { grep -q 'Loaded L".*setupapi\.dll"' "$WINE_WORK/run.log"; }

WINEDEBUG=+loaddll wine_run "$work" "$work/kestrave.exe" -d -f
check_equal "exit code with setupapi.dll" 0 $?
check "setupapi.dll loaded when there" loaded_setupapi
mv "$work/kestrave.txt" "$work/with-setupapi.txt"

WINEDEBUG=+loaddll WINEDLLOVERRIDES=setupapi=d wine_run "$work" "$work/kestrave.exe" -d -f
check_equal "exit code without setupapi.dll" 0 $?
check "setupapi.dll not loaded when disabled" fails loaded_setupapi
check "the same log without setupapi.dll" cmp "$work/with-setupapi.txt" "$work/kestrave.txt"
wine_summary
