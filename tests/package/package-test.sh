#!/usr/bin/env bash
# The release zip as an administrator unpacks it: one folder holding the
# programs of this build, the README, the getting-started text and the sums
# of them all; each program runs from that folder under 32-bit Wine.
set -u
zip=$(realpath "${1:?usage: package-test.sh ZIP}")
root=$(realpath "$(dirname "$0")/../..")
. "$root/tests/wine/wine-lib.sh"
version=$(sed -n 's/^project(Kestrave VERSION \([0-9.]*\) .*/\1/p' "$root/CMakeLists.txt")
folder=kestrave-$version
programs=(kestrave.exe kestrave-capture.exe kestrave-edid.exe)
summed=("${programs[@]}" README.md GETTING-STARTED.txt)

check_equal "the zip's name carries the project's version" "kestrave-$version-win32.zip" "$(basename "$zip")"
unpacked="$WINE_WORK/unpacked"
mkdir -p "$unpacked"
(cd "$unpacked" && cmake -E tar xf "$zip")
check_equal "the zip holds one folder of the files to ship" \
  "$(printf "$folder/%s\n" "${summed[@]}" SHA256SUMS | sort)" \
  "$(cd "$unpacked" && find . ! -type d | sed 's|^\./||' | sort)"
dir="$unpacked/$folder"
if [ ! -d "$dir" ]; then
  wine_summary
  exit 1
fi
sums_pass() { (cd "$dir" && sha256sum --strict --quiet -c SHA256SUMS); }
check "sha256sum -c SHA256SUMS passes in the folder" sums_pass
check_equal "SHA256SUMS covers every other file" "$(printf '%s\n' "${summed[@]}" | sort)" \
  "$(sed 's/^[0-9a-f]\{64\}  //' "$dir/SHA256SUMS" | sort)"
for program in "${programs[@]}"; do
  check "$program is the one in build-windows/" cmp -s "$dir/$program" "$root/build-windows/$program"
done
check "README.md is the repository's" cmp -s "$dir/README.md" "$root/README.md"
text="$dir/GETTING-STARTED.txt"
crlf_only() { [ -s "$1" ] && ! grep -qv $'\r$' "$1"; }
ascii_only() { ! LC_ALL=C grep -q $'[^\r -~]' "$1"; }
check "GETTING-STARTED.txt ends every line with CR LF" crlf_only "$text"
check "GETTING-STARTED.txt is plain ASCII, as Notepad shows it" ascii_only "$text"

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
wine_summary
