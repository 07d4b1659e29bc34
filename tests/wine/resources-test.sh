#!/usr/bin/env bash
# Windows finds the program's manifest and version resource: read back with
# the system's own resource and version calls.
set -u
exe=$(realpath "${1:?usage: resources-test.sh KESTRAVE_EXE}")
resources_of="$(dirname "$exe")/resources-of.exe"
root=$(realpath "$(dirname "$0")/../..")
. "$(dirname "$0")/../check-lib.sh"
. "$(dirname "$0")/wine-lib.sh" "$(pe_bits "$exe")"
version=$(sed -n 's/^project(Kestrave VERSION \([0-9.]*\) .*/\1/p' "$root/CMakeLists.txt")

wine_start
program=$(basename "$exe" .exe)
wine_run "$(dirname "$exe")" "$resources_of" "$(basename "$exe")"
check_equal "resources found" 0 $?
resources=$(tr -d '\r' <"$WINE_WORK/run.log")
has() { grep -qF -- "$1" <<<"$resources"; }

check "manifest: runs as the invoker" has '<requestedExecutionLevel level="asInvoker" uiAccess="false"/>'
for os in e2011457-1546-43c5-a5fe-008deee3d3f0 35138b9a-5d96-4fbd-8e2d-a2440225f93a \
  4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38 1f676c76-80e1-4239-95bb-83d0f6d0da78 \
  8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a; do
  check "manifest: supported OS $os" has "<supportedOS Id=\"{$os}\"/>"
done
check "manifest: per-monitor DPI aware" has '>true/pm</dpiAware>'
check "manifest: per-monitor DPI awareness" has '>PerMonitorV2, PerMonitor</dpiAwareness>'
check "manifest: the project's version" has "name=\"$program\" version=\"$version.0\""
check_equal "version: product name" "Kestrave" "$(sed -n 's/^ProductName=//p' <<<"$resources")"
check "version: a file description" test -n "$(sed -n 's/^FileDescription=//p' <<<"$resources")"
check_equal "version: file version" "$version" "$(sed -n 's/^FileVersion=//p' <<<"$resources")"
check_equal "version: product version" "$version" "$(sed -n 's/^ProductVersion=//p' <<<"$resources")"
check_equal "version: fixed file version" "$version.0" "$(sed -n 's/^FileVersion#=//p' <<<"$resources")"
check_equal "version: original file name" "$program.exe" "$(sed -n 's/^OriginalFilename=//p' <<<"$resources")"
wine_summary
