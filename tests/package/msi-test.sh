#!/usr/bin/env bash
# A Windows Installer package: its tables, its files, the same package
# rebuilt byte for byte, and what it shares with the other architecture's
# package; then installed (with and without ALLMODES), run, upgraded,
# refused as a downgrade and removed under the Wine of its architecture,
# each with msiexec's exit code; under 64-bit Wine also installed over the
# 32-bit package of its version and under it; then signed with a throwaway
# certificate. With --files-only, only what needs no Wine: for a machine
# that cannot run the package's programs.
set -u
files_only=false
if [ "${1:-}" = --files-only ]; then
  files_only=true
  shift
fi
msi=$(realpath "${1:?usage: msi-test.sh [--files-only] MSI}")
root=$(realpath "$(dirname "$0")/../..")
# rows MSI TABLE: the table's rows, sorted, without its three header lines.
rows() { msiinfo export "$1" "$2" | tr -d '\r' | tail -n +4 | sort; }
property() { rows "$1" Property | sed -n "s/^$2\t//p"; }
template() { msiinfo suminfo "$1" | sed -n 's/^Template: //p'; }
# The package's architecture is its summary's platform; the other is the
# other Windows build's.
case $(template "$msi") in
  'Intel;1033') arch=x86 bits=32 build=build-windows other=x64 other_build=build-win64 ;;
  'x64;1033') arch=x64 bits=64 build=build-win64 other=x86 other_build=build-windows ;;
  *) echo "FAILED: $msi is for neither Intel nor x64, in US English" >&2; exit 1 ;;
esac
. "$root/tests/wine/wine-lib.sh" "$bits"
version=$(sed -n 's/^project(Kestrave VERSION \([0-9.]*\) .*/\1/p' "$root/CMakeLists.txt")
higher=${version%.*}.$((${version##*.} + 1))
programs=(kestrave.exe kestrave-capture.exe kestrave-edid.exe)
# Each text the package installs, and the file of the tree it is made from.
declare -A text_source=([GETTING-STARTED.txt]=docs/GETTING-STARTED.txt [LICENSE.txt]=LICENSE
  [THIRD-PARTY.txt]=THIRD-PARTY.md)
files=("${programs[@]}" "${!text_source[@]}")
file_list=$(printf '%s\n' "${files[@]}" | sort)
check_equal "the package's name carries the project's version and architecture" \
  "kestrave-$version-$arch.msi" "$(basename "$msi")"

extracted="$WINE_WORK/extracted"
mkdir -p "$extracted"
msiextract -C "$extracted" "$msi" >/dev/null
built=$(find "$extracted" -name kestrave.exe -printf '%h\n')
check_equal "the package's files" "$file_list" "$(cd "$built" && ls -A | sort)"
for program in "${programs[@]}"; do
  check "the package holds the built $program" cmp -s "$built/$program" "$root/$build/$program"
done
# shipped_text TEXT: the package's TEXT is its source in the tree, with CR LF.
shipped_text() {
  [ -s "$built/$1" ] && ! grep -qv $'\r$' "$built/$1" &&
    cmp -s <(tr -d '\r' <"$built/$1") <(tr -d '\r' <"$root/${text_source[$1]}")
}
for text in "${!text_source[@]}"; do
  check "the package's $text is ${text_source[$text]}, with CR LF" shipped_text "$text"
done

stamp='Nov 20 2003  13:11:53'
check_equal "Registry rows: the Run value with ALLMODES' switches, the install key with its stamp, removed whole" \
  "$(printf '2\t%s\n' 'SOFTWARE\Microsoft\Windows\CurrentVersion\Run	Kestrave	"[#KestraveExe]"[RunSwitches]	RunValue' \
    "Software\\Calvorne\\Kestrave		$stamp	InstallKey" 'Software\Calvorne\Kestrave	*		InstallKey')" \
  "$(rows "$msi" Registry | cut -f 2- | sort)"
# Attribute 256: a 64-bit component, whose files and registry values are
# the 64-bit program's.
check_equal "every component is $bits-bit" \
  "$(printf "%s $((bits / 64))\n" Capture EdidTool GettingStarted InstallKey License Program RunValue ThirdParty)" \
  "$(rows "$msi" Component | awk -F '\t' '{ print $1, int($4 / 256) % 2 }')"
check_equal "installed into the $bits-bit program files folder" \
  "KestraveFolder	$([ $arch = x64 ] && echo ProgramFiles64Folder || echo ProgramFilesFolder)	Kestrave" \
  "$(rows "$msi" Directory | grep '^KestraveFolder	')"
check_equal "File table: each program's version and language, none for a text" \
  "$(printf '%s\n' "CaptureExe	$version.0	1033" "EdidExe	$version.0	1033" "GettingStartedTxt		" \
    "KestraveExe	$version.0	1033" "LicenseTxt		" "ThirdPartyTxt		")" \
  "$(rows "$msi" File | cut -f 1,5,6)"
# 51: a property set from formatted text; 3154: an installed program (18),
# its exit code ignored (64), deferred (1024), as the system (2048).
check_equal "the custom actions: ALLMODES' switch, the installed kestrave.exe -u" \
  "$(printf '%s\n' 'AllModesSwitch	51	RunSwitches	 -p	' 'RemoveFlags	3154	KestraveExe	-u	')" \
  "$(rows "$msi" CustomAction)"
check_equal "ALLMODES' switch is set before the registry is written; -u runs on a real removal, before RemoveFiles" \
  "$(printf '%s\n' 'AllModesSwitch	ALLMODES AND ALLMODES <> "0"	1010' 'RemoveFiles		3500' \
    'RemoveFlags	REMOVE="ALL" AND NOT UPGRADINGPRODUCTCODE	3450' 'WriteRegistryValues		5000')" \
  "$(rows "$msi" InstallExecuteSequence | grep -E '^(AllModesSwitch|Remove(Files|Flags)|WriteRegistryValues)	')"
check_equal "ALLMODES passes into an installation with more rights than its user's" \
  "ALLMODES;WIX_DOWNGRADE_DETECTED;WIX_UPGRADE_DETECTED" "$(property "$msi" SecureCustomProperties)"
upgrade_code=$(property "$msi" UpgradeCode)
# 513: features migrated (1), and the maximum itself replaced (0x200).
check_equal "Upgrade rows: an older or the same version is replaced, a newer one detected" \
  "$(printf '%s\n' "$upgrade_code		$version		513		WIX_UPGRADE_DETECTED" \
    "$upgrade_code	$version			2		WIX_DOWNGRADE_DETECTED")" "$(rows "$msi" Upgrade)"
rebuilt="$WINE_WORK/kestrave-$version-$arch.msi"
"$root/scripts/msi" "$arch" "$version" "$built" "$rebuilt"
check "the same files give the same package, byte for byte" cmp -s "$rebuilt" "$msi"
"$root/scripts/msi" "$arch" "$higher" "$built" "$WINE_WORK/kestrave-$higher-$arch.msi"

# The other architecture's package of this version, from its own build.
other_built="$WINE_WORK/other"
mkdir -p "$other_built"
cp "${programs[@]/#/$root/$other_build/}" "$other_built/"
for text in "${!text_source[@]}"; do cp "$built/$text" "$other_built/"; done
other_msi="$WINE_WORK/kestrave-$version-$other.msi"
"$root/scripts/msi" "$other" "$version" "$other_built" "$other_msi"
component_codes() { rows "$1" Component | cut -f 2 | sort; }
check_equal "the $other package has the same upgrade code" "$upgrade_code" "$(property "$other_msi" UpgradeCode)"
check "the $other package is another product" \
  test "$(property "$other_msi" ProductCode)" != "$(property "$msi" ProductCode)"
check_equal "the $other package has none of the component codes" "" \
  "$(comm -12 <(component_codes "$msi") <(component_codes "$other_msi"))"
if $files_only; then
  check_summary "$(basename "$msi"), its tables and files only"
  exit
fi

wine_start
drive_c="$WINEPREFIX/drive_c"
mkdir -p "$drive_c/packages" "$drive_c/work"
cp "$msi" "$other_msi" "$WINE_WORK/kestrave-$higher-$arch.msi" "$drive_c/packages/"
work="$drive_c/work"
installed="$drive_c/Program Files/Kestrave"
run_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
software_key='HKLM\Software\Calvorne\Kestrave'
flags_key='HKCU\Software\Calvorne\Kestrave'
arp_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'

# msiexec ARGS...: msiexec's exit code, whole: wine itself would pass on
# only its low 8 bits.
msiexec() {
  "$WINE_LOADER" cmd /c "msiexec $* & echo %ERRORLEVEL%" 2>"$WINE_WORK/msiexec.log" | tr -d '\r' | tail -n 1
}
# reg_export KEY [/reg:BITS]: what "reg export" writes of a key, in the
# registry's view of the prefix's programs or in the BITS-bit one: each
# value's type and data.
reg_export() {
  "$WINE_LOADER" reg export "$1" "$WINE_WORK/key.reg" /y "${@:2}" >"$WINE_WORK/reg.log" 2>&1 &&
    iconv -f UTF-16 -t UTF-8 "$WINE_WORK/key.reg" | tr -d '\r'
  rm -f "$WINE_WORK/key.reg"
}
# registry_entries [/reg:BITS]: the Run value and the whole install key.
registry_entries() {
  reg_export "$run_key" "$@" | grep '^"Kestrave"='
  reg_export "$software_key" "$@"
}
# The Add/Remove Programs entries of Kestrave, one line each: the product
# code, version, publisher and whether "Modify" is hidden.
arp_entries() {
  local key
  "$WINE_LOADER" reg query "$arp_key" >"$WINE_WORK/reg.log" 2>&1
  for key in $(tr -d '\r' <"$WINE_WORK/reg.log" | grep -o '{[0-9A-F-]*}$'); do
    [ "$(wine_reg_value "$arp_key\\$key" DisplayName)" = Kestrave ] || continue
    echo "$key $(wine_reg_value "$arp_key\\$key" DisplayVersion)" \
      "$(wine_reg_value "$arp_key\\$key" Publisher) NoModify=$(wine_reg_value "$arp_key\\$key" NoModify)"
  done
}
installed_files() { (cd "$1" 2>/dev/null && ls -A | sort); }
# installed_as VALUE WHAT SWITCHES...: the Run value is VALUE, and is what
# the installed kestrave.exe writes with SWITCHES.
installed_as() {
  local by_package
  check_equal "$2: the Run value" "$1" "$(wine_reg_value "$run_key" Kestrave)"
  by_package=$(registry_entries)
  wine_run "$work" "$installed/kestrave.exe" "${@:3}"
  check_equal "$2: the installed kestrave.exe ${*:3}: exit code" 0 $?
  check_equal "$2: the Run value and the install key are what kestrave.exe ${*:3} writes" \
    "$by_package" "$(registry_entries)"
}
run_value='"C:\Program Files\Kestrave\kestrave.exe"'
product=$(property "$msi" ProductCode)
arp_entry="$product $version Calvorne NoModify=0x1"

# What ALLMODES makes of the Run value; each installed, then removed.
while read -r setting switches; do
  check_equal "msiexec /i /qn $setting: exit code" 0 \
    "$(msiexec /i "C:\\packages\\kestrave-$version-$arch.msi" /qn "$setting")"
  installed_as "$run_value${switches:+ $switches}" "installed with $setting" -i $switches
  check_equal "msiexec /x /qn after $setting: exit code" 0 "$(msiexec /x "$product" /qn)"
  check "removed after $setting: the Run value" test -z "$(wine_reg_value "$run_key" Kestrave)"
done <<'SETTINGS'
ALLMODES=1 -p
ALLMODES=0
SETTINGS

check_equal "msiexec /i kestrave-$version-$arch.msi /qn: exit code" 0 \
  "$(msiexec /i "C:\\packages\\kestrave-$version-$arch.msi" /qn)"
check_equal "installed: the files" "$file_list" "$(installed_files "$installed")"
for file in "${files[@]}"; do
  check "installed: $file is the built one" cmp -s "$installed/$file" "$built/$file"
done
installed_as "$run_value" installed -i
check_equal "installed: the install key's stamp" "$stamp" "$(wine_reg_value "$software_key" "")"
by_package=$(registry_entries)
check_equal "installed: one Add/Remove Programs entry, without Modify" "$arp_entry" "$(arp_entries)"

wine_run "$work" "$installed/kestrave.exe" -d
check_equal "the installed kestrave.exe -d: exit code" 0 $?
check "the installed kestrave.exe -d records a flag" wine_reg_key_exists "$flags_key"

# Wine's msiexec never sets UPGRADINGPRODUCTCODE, so the removal of the older
# version runs -u here, which Windows does not: the flags may go.
check_equal "msiexec /i kestrave-$higher-$arch.msi /qn (upgrade): exit code" 0 \
  "$(msiexec /i "C:\\packages\\kestrave-$higher-$arch.msi" /qn)"
higher_product=$(property "$WINE_WORK/kestrave-$higher-$arch.msi" ProductCode)
check_equal "upgraded: one Add/Remove Programs entry, the newer" \
  "$higher_product $higher Calvorne NoModify=0x1" "$(arp_entries)"
check_equal "upgraded: the files" "$file_list" "$(installed_files "$installed")"
check_equal "upgraded: the Run value and the install key" "$by_package" "$(registry_entries)"
check_equal "msiexec /i kestrave-$version-$arch.msi /qn (downgrade): exit code" 1603 \
  "$(msiexec /i "C:\\packages\\kestrave-$version-$arch.msi" /qn)"
check_equal "downgrade refused: the newer version stays" \
  "$higher_product $higher Calvorne NoModify=0x1" "$(arp_entries)"

wine_run "$work" "$installed/kestrave.exe" -d
check "the upgraded kestrave.exe -d records a flag" wine_reg_key_exists "$flags_key"
check_equal "msiexec /x $higher_product /qn: exit code" 0 "$(msiexec /x "$higher_product" /qn)"
check "removed: the folder" test ! -e "$installed"
check "removed: the Run value" test -z "$(wine_reg_value "$run_key" Kestrave)"
check "removed: the install key" fails wine_reg_key_exists "$software_key"
check_equal "removed: the Add/Remove Programs entry" "" "$(arp_entries)"
check "removed: the user's flags" fails wine_reg_key_exists "$flags_key"

# On 64-bit Windows either architecture's package replaces the other's of
# its version: nothing of the other stays, in either view of the registry.
# Only the 32-bit package's files and registry are looked at, none of its
# programs is run, so this runs where 32-bit programs do not (the removal's
# -u, which Wine runs on an upgrade, fails there, and is ignored).
if [ "$arch" = x64 ]; then
  # view_run_value BITS: the Run value in the BITS-bit view, or nothing.
  view_run_value() {
    "$WINE_LOADER" reg query "$run_key" /v Kestrave "/reg:$1" 2>/dev/null | tr -d '\r' |
      sed -n 's/^    Kestrave    REG_SZ    //p'
  }
  # arp_codes BITS: the product codes of Kestrave's Add/Remove Programs
  # entries in the BITS-bit view: a 32-bit package's are in the 32-bit one.
  arp_codes() {
    "$WINE_LOADER" reg query "$arp_key" /s "/reg:$1" 2>/dev/null | tr -d '\r' |
      awk '/^HKEY/ { key = $0 } /^    DisplayName    REG_SZ    Kestrave$/ { print key }' | grep -o '{[0-9A-F-]*}$'
  }
  # replaces WHAT MSI RUN-VALUE BITS FOLDER OTHER-FOLDER: MSI, installed over
  # the other architecture's package, is all that is left.
  replaces() {
    check_equal "msiexec /i /qn, $1: exit code" 0 "$(msiexec /i "C:\\packages\\$(basename "$2")" /qn)"
    check_equal "$1: one Add/Remove Programs entry, in either view" "$(property "$2" ProductCode)" \
      "$(arp_codes 32; arp_codes 64)"
    check_equal "$1: the files" "$file_list" "$(installed_files "$5")"
    check "$1: the other's folder is gone" test ! -e "$6"
    check_equal "$1: the Run value in the $4-bit view" "$3" "$(view_run_value "$4")"
    check_equal "$1: nothing in the other view" "" "$(registry_entries "/reg:$((96 - $4))")"
  }
  other_installed="$drive_c/Program Files (x86)/Kestrave"
  other_run_value='"C:\Program Files (x86)\Kestrave\kestrave.exe"'
  check_equal "msiexec /i kestrave-$version-x86.msi /qn: exit code" 0 \
    "$(msiexec /i "C:\\packages\\kestrave-$version-x86.msi" /qn)"
  check_equal "x86 installed: the Run value in the 32-bit view" "$other_run_value" "$(view_run_value 32)"
  check_equal "x86 installed: its Add/Remove Programs entry in the 32-bit view" \
    "$(property "$other_msi" ProductCode)" "$(arp_codes 32)"
  replaces "x64 over x86" "$msi" "$run_value" 64 "$installed" "$other_installed"
  replaces "x86 over x64" "$other_msi" "$other_run_value" 32 "$other_installed" "$installed"
  check_equal "msiexec /x kestrave-$version-x86.msi /qn: exit code" 0 \
    "$(msiexec /x "$(property "$other_msi" ProductCode)" /qn)"
  check_equal "x86 removed: nothing in either view" "" \
    "$(registry_entries /reg:32; registry_entries /reg:64; arp_codes 32; arp_codes 64)"
fi

# Signed as scripts/package --sign signs: the programs, then the package.
signed="$WINE_WORK/signed"
mkdir -p "$signed"
cp "$built"/* "$signed/"
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Kestrave test signer" \
  -addext extendedKeyUsage=codeSigning -keyout "$WINE_WORK/key.pem" -out "$WINE_WORK/cert.pem" \
  >"$WINE_WORK/openssl.log" 2>&1
sign() { "$root/scripts/sign" "$WINE_WORK/cert.pem" "$WINE_WORK/key.pem" "$@" 2>"$WINE_WORK/sign.log"; }
sign "${programs[@]/#/$signed/}"
"$root/scripts/msi" "$arch" "$version" "$signed" "$drive_c/packages/signed.msi"
sign "$drive_c/packages/signed.msi"
verify() { osslsigncode verify -CAfile "$WINE_WORK/cert.pem" -in "$1" >"$WINE_WORK/verify.log" 2>&1; }
for file in "${programs[@]}"; do
  check "signed $file: osslsigncode verify passes" verify "$signed/$file"
done
check "signed package: osslsigncode verify passes" verify "$drive_c/packages/signed.msi"
cp "$drive_c/packages/signed.msi" "$WINE_WORK/changed.msi"
middle=$(($(stat -c %s "$WINE_WORK/changed.msi") / 2))
byte=$(od -An -tu1 -j "$middle" -N 1 "$WINE_WORK/changed.msi" | tr -d ' ')
printf "$(printf '\\%03o' $(((byte + 1) % 256)))" |
  dd of="$WINE_WORK/changed.msi" bs=1 seek="$middle" conv=notrunc status=none
check "signed package with one byte changed: osslsigncode verify fails" fails verify "$WINE_WORK/changed.msi"
check_equal "msiexec /i signed.msi /qn: exit code" 0 "$(msiexec /i 'C:\packages\signed.msi' /qn)"
check "the signed package installs the signed kestrave.exe" cmp -s "$installed/kestrave.exe" "$signed/kestrave.exe"
check_summary "$(basename "$msi") under $bits-bit Wine"
