#!/usr/bin/env bash
# A release zip as an administrator unpacks it: one folder, named for the
# version and the architecture, holding the programs of that architecture's
# build, the README, the texts for Notepad and the sums of them all; then
# each program runs from that folder under the Wine of its architecture.
# With --files-only, only what needs no Wine: for a machine that cannot run
# the zip's programs.
set -u
files_only=false
if [ "${1:-}" = --files-only ]; then
  files_only=true
  shift
fi
zip=$(realpath "${1:?usage: package-test.sh [--files-only] ZIP}")
root=$(realpath "$(dirname "$0")/../..")
version=$(sed -n 's/^project(Kestrave VERSION \([0-9.]*\) .*/\1/p' "$root/CMakeLists.txt")
case $(basename "$zip") in
  *-x86.zip) arch=x86 bits=32 build=build-windows ;;
  *-x64.zip) arch=x64 bits=64 build=build-win64 ;;
  *) echo "FAILED: $zip is named for neither x86 nor x64" >&2; exit 1 ;;
esac
. "$root/tests/wine/wine-lib.sh" "$bits"
folder=kestrave-$version-$arch
programs=(kestrave.exe kestrave-capture.exe kestrave-edid.exe)
# Each text shipped for Notepad, and the file of the tree it is made from.
declare -A text_source=([GETTING-STARTED.txt]=docs/GETTING-STARTED.txt [LICENSE.txt]=LICENSE
  [THIRD-PARTY.txt]=THIRD-PARTY.md [CHANGELOG.txt]=CHANGELOG.md)
summed=("${programs[@]}" README.md "${!text_source[@]}")

check_equal "the zip's name carries the project's version" "$folder.zip" "$(basename "$zip")"
unpacked="$WINE_WORK/unpacked"
mkdir -p "$unpacked"
(cd "$unpacked" && cmake -E tar xf "$zip")
check_equal "the zip holds one folder of the files to ship" \
  "$(printf "$folder/%s\n" "${summed[@]}" SHA256SUMS | sort)" \
  "$(cd "$unpacked" && find . ! -type d | sed 's|^\./||' | sort)"
dir="$unpacked/$folder"
if [ ! -d "$dir" ]; then
  check_summary "$(basename "$zip")"
  exit 1
fi
sums_pass() { (cd "$dir" && sha256sum --strict --quiet -c SHA256SUMS); }
check "sha256sum -c SHA256SUMS passes in the folder" sums_pass
check_equal "SHA256SUMS covers every other file" "$(printf '%s\n' "${summed[@]}" | sort)" \
  "$(sed 's/^[0-9a-f]\{64\}  //' "$dir/SHA256SUMS" | sort)"
for program in "${programs[@]}"; do
  check_equal "$program is a $bits-bit program" "$bits" "$(pe_bits "$dir/$program")"
  check "$program is the one in $build/" cmp -s "$dir/$program" "$root/$build/$program"
done
check "README.md is the repository's" cmp -s "$dir/README.md" "$root/README.md"
crlf_only() { [ -s "$1" ] && ! grep -qv $'\r$' "$1"; }
ascii_only() { ! LC_ALL=C grep -q $'[^\r -~]' "$1"; }
from_source() { cmp -s <(tr -d '\r' <"$dir/$1") <(tr -d '\r' <"$root/${text_source[$1]}"); }
for text in "${!text_source[@]}"; do
  check "$text is ${text_source[$text]}" from_source "$text"
  check "$text ends every line with CR LF" crlf_only "$dir/$text"
  check "$text is plain ASCII, as Notepad shows it" ascii_only "$dir/$text"
done
if $files_only; then
  check_summary "$(basename "$zip"), its files only"
  exit
fi

wine_start
wine_run "$dir" "$dir/kestrave.exe" -d
check_equal "kestrave.exe -d: exit code" 0 $?
check "kestrave.exe -d writes kestrave.txt in its folder" test -s "$dir/kestrave.txt"
cp "$WINE_CORPUS/edid-0001.bin" "$dir/edid-0001.bin"
wine_run "$dir" "$dir/kestrave-edid.exe" edid-0001.bin
check_equal "kestrave-edid.exe edid-0001.bin: exit code" 0 $?
wine_run "$dir" "$dir/kestrave-capture.exe" out.json
check_equal "kestrave-capture.exe out.json: exit code" 0 $?
check "kestrave-capture.exe writes out.json" test -s "$dir/out.json"
check_summary "$(basename "$zip") under $bits-bit Wine"
