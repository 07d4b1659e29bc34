#!/usr/bin/env bash
# The Windows Installer package: its tables, rebuilt byte for byte, then
# installed, run, upgraded, refused as a downgrade and removed under 32-bit
# Wine, each with msiexec's exit code; then signed with a throwaway
# certificate.
set -u
msi=$(realpath "${1:?usage: msi-test.sh MSI}")
root=$(realpath "$(dirname "$0")/../..")
. "$root/tests/wine/wine-lib.sh"
version=$(sed -n 's/^project(Kestrave VERSION \([0-9.]*\) .*/\1/p' "$root/CMakeLists.txt")
higher=${version%.*}.$((${version##*.} + 1))
programs=(kestrave.exe kestrave-capture.exe kestrave-edid.exe)
files=("${programs[@]}" GETTING-STARTED.txt)
file_list=$(printf '%s\n' "${files[@]}" | sort)
check_equal "the package's name carries the project's version" "kestrave-$version.msi" "$(basename "$msi")"

# The files of this build, as scripts/package packs them.
built="$WINE_WORK/built"
mkdir -p "$built"
cp "${programs[@]/#/$root/build-windows/}" "$root/docs/GETTING-STARTED.txt" "$built/"

# rows MSI TABLE: the table's rows, sorted, without its three header lines.
rows() { msiinfo export "$1" "$2" | tr -d '\r' | tail -n +4 | sort; }
property() { rows "$1" Property | sed -n "s/^$2\t//p"; }
stamp='Nov 20 2003  13:11:53'
check_equal "Registry rows: the Run value, the install key with its stamp, removed whole" \
  "$(printf '2\t%s\n' 'SOFTWARE\Microsoft\Windows\CurrentVersion\Run	Kestrave	"[#KestraveExe]"	RunValue' \
    "Software\\Calvorne\\Kestrave		$stamp	InstallKey" 'Software\Calvorne\Kestrave	*		InstallKey')" \
  "$(rows "$msi" Registry | cut -f 2- | sort)"
# 3154: an installed program (18), its exit code ignored (64), deferred
# (1024), as the system (2048).
check_equal "the custom action: the installed kestrave.exe -u" \
  "RemoveFlags	3154	KestraveExe	-u	" "$(rows "$msi" CustomAction)"
check_equal "the custom action runs on a real removal, before RemoveFiles" \
  "$(printf '%s\n' 'RemoveFiles		3500' 'RemoveFlags	REMOVE="ALL" AND NOT UPGRADINGPRODUCTCODE	3450')" \
  "$(rows "$msi" InstallExecuteSequence | grep -E '^Remove(Files|Flags)	')"
upgrade_code=$(property "$msi" UpgradeCode)
check_equal "Upgrade rows: an older version is replaced, a newer one detected" \
  "$(printf '%s\n' "$upgrade_code		$version		1		WIX_UPGRADE_DETECTED" \
    "$upgrade_code	$version			2		WIX_DOWNGRADE_DETECTED")" "$(rows "$msi" Upgrade)"
extracted="$WINE_WORK/extracted"
mkdir -p "$extracted"
msiextract -C "$extracted" "$msi" >/dev/null
check_equal "the package's files" "$file_list" "$(cd "$extracted/Program Files/Kestrave" && ls -A | sort)"
for file in "${files[@]}"; do
  check "the package holds the built $file" cmp -s "$extracted/Program Files/Kestrave/$file" "$built/$file"
done
rebuilt="$WINE_WORK/kestrave-$version.msi"
"$root/scripts/msi" "$version" "$built" "$rebuilt"
check "the same files give the same package, byte for byte" cmp -s "$rebuilt" "$msi"
"$root/scripts/msi" "$higher" "$built" "$WINE_WORK/kestrave-$higher.msi"

wine_start
drive_c="$WINEPREFIX/drive_c"
mkdir -p "$drive_c/packages" "$drive_c/work"
cp "$msi" "$WINE_WORK/kestrave-$higher.msi" "$drive_c/packages/"
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
# What "reg export" writes of a key: each value's type and data.
reg_export() {
  "$WINE_LOADER" reg export "$1" "$WINE_WORK/key.reg" /y >"$WINE_WORK/reg.log" 2>&1 &&
    iconv -f UTF-16 -t UTF-8 "$WINE_WORK/key.reg" | tr -d '\r'
  rm -f "$WINE_WORK/key.reg"
}
# The Run value and the whole install key.
registry_entries() {
  reg_export "$run_key" | grep '^"Kestrave"='
  reg_export "$software_key"
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
installed_files() { (cd "$installed" 2>/dev/null && ls -A | sort); }

check_equal "msiexec /i kestrave-$version.msi /qn: exit code" 0 \
  "$(msiexec /i "C:\\packages\\kestrave-$version.msi" /qn)"
check_equal "installed: the files" "$file_list" "$(installed_files)"
for file in "${files[@]}"; do
  check "installed: $file is the built one" cmp -s "$installed/$file" "$built/$file"
done
check_equal "installed: the Run value, quoted" '"C:\Program Files\Kestrave\kestrave.exe"' \
  "$(wine_reg_value "$run_key" Kestrave)"
check_equal "installed: the install key's stamp" "$stamp" "$(wine_reg_value "$software_key" "")"
by_package=$(registry_entries)
wine_run "$work" "$installed/kestrave.exe" -i
check_equal "the installed kestrave.exe -i: exit code" 0 $?
check_equal "installed: the Run value and the install key are what kestrave.exe -i writes" \
  "$(registry_entries)" "$by_package"
product=$(property "$msi" ProductCode)
check_equal "installed: one Add/Remove Programs entry, without Modify" \
  "$product $version Calvorne NoModify=0x1" "$(arp_entries)"

wine_run "$work" "$installed/kestrave.exe" -d
check_equal "the installed kestrave.exe -d: exit code" 0 $?
check "the installed kestrave.exe -d records a flag" wine_reg_key_exists "$flags_key"

# Wine's msiexec never sets UPGRADINGPRODUCTCODE, so the removal of the older
# version runs -u here, which Windows does not: the flags may go.
check_equal "msiexec /i kestrave-$higher.msi /qn (upgrade): exit code" 0 \
  "$(msiexec /i "C:\\packages\\kestrave-$higher.msi" /qn)"
higher_product=$(property "$WINE_WORK/kestrave-$higher.msi" ProductCode)
check_equal "upgraded: one Add/Remove Programs entry, the newer" \
  "$higher_product $higher Calvorne NoModify=0x1" "$(arp_entries)"
check_equal "upgraded: the files" "$file_list" "$(installed_files)"
check_equal "upgraded: the Run value and the install key" "$by_package" "$(registry_entries)"
check_equal "msiexec /i kestrave-$version.msi /qn (downgrade): exit code" 1603 \
  "$(msiexec /i "C:\\packages\\kestrave-$version.msi" /qn)"
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

# Signed as scripts/package --sign signs: the programs, then the package.
signed="$WINE_WORK/signed"
mkdir -p "$signed"
cp "$built"/* "$signed/"
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Kestrave test signer" \
  -addext extendedKeyUsage=codeSigning -keyout "$WINE_WORK/key.pem" -out "$WINE_WORK/cert.pem" \
  >"$WINE_WORK/openssl.log" 2>&1
sign() { "$root/scripts/sign" "$WINE_WORK/cert.pem" "$WINE_WORK/key.pem" "$@" 2>"$WINE_WORK/sign.log"; }
sign "${programs[@]/#/$signed/}"
"$root/scripts/msi" "$version" "$signed" "$drive_c/packages/signed.msi"
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
wine_summary
