#!/usr/bin/env bash
# kestrave.exe on a real Win32 implementation: the log's bytes, installing
# into the Run key and removing again, read back with "wine reg query".
set -u
exe=$(realpath "${1:?usage: installation-test.sh KESTRAVE_EXE}")
. "$(dirname "$0")/../check-lib.sh"
. "$(dirname "$0")/wine-lib.sh" "$(pe_bits "$exe")"

wine_start
drive_c="$WINEPREFIX/drive_c"
spaced_dir="$drive_c/Program Files/Kestrave"
plain_dir="$drive_c/kestrave"
mkdir -p "$spaced_dir" "$plain_dir"
cp "$exe" "$spaced_dir/kestrave.exe"
cp "$exe" "$plain_dir/kestrave.exe"
run_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
software_key='HKLM\Software\Calvorne\Kestrave'
banner=$'Kestrave Nov 20 2003  13:11:53\r\n\r\n'
crlf=$'\r\n'

# The log: the banner, a blank line, CR LF at every line end.
work="$WINE_WORK/log"
mkdir -p "$work"
wine_run "$work" "$plain_dir/kestrave.exe" -d
check_equal "-d exit code" 0 $?
check_equal "-d log starts with the banner and a blank line" "${banner}x" "$(file_bytes "$work/kestrave.txt" ${#banner}; echo x)"
check "-d log has no bare line feed" test "$(tr -cd '\n' <"$work/kestrave.txt" | wc -c)" = "$(grep -c $'\r$' "$work/kestrave.txt")"

# Without -d nothing is written into the current directory.
work="$WINE_WORK/quiet"
mkdir -p "$work"
wine_run "$work" "$spaced_dir/kestrave.exe" -i
check_equal "-i exit code" 0 $?
check "-i without -d writes no file" test -z "$(ls -A "$work")"
check_equal "Run value of a path with a space is quoted" \
  '"C:\Program Files\Kestrave\kestrave.exe"' "$(wine_reg_value "$run_key" Kestrave)"
check_equal "stamp in the software install key" \
  'Nov 20 2003  13:11:53' "$(wine_reg_value "$software_key" "")"

# -d -i logs the installation into the file; a path without a space is
# stored as it stands.
work="$WINE_WORK/install"
mkdir -p "$work"
wine_run "$work" "$plain_dir/kestrave.exe" -d -i
check_equal "-d -i exit code" 0 $?
check_equal "Run value of a path without a space" \
  'C:\kestrave\kestrave.exe' "$(wine_reg_value "$run_key" Kestrave)"
check_equal "-d -i log" \
  "${banner}Kestrave was added to the Run key.${crlf}Run value: C:\\kestrave\\kestrave.exe (each log-on chooses among the monitor's own timings)${crlf}The Kestrave software install key was added to the registry.${crlf}The Kestrave optimization flags were not removed from the registry.${crlf}x" \
  "$(file_bytes "$work/kestrave.txt"; echo x)"

# -i -p puts -p after the path, quoted or not; a later -i writes the value
# from its own switches again. The -u below removes it holding -p.
wine_run "$work" "$spaced_dir/kestrave.exe" -d -i -p
check_equal "-d -i -p exit code" 0 $?
check_equal "Run value of -i -p, a path with a space" \
  '"C:\Program Files\Kestrave\kestrave.exe" -p' "$(wine_reg_value "$run_key" Kestrave)"
check "-d -i -p log" grep -qxF \
  "Run value: \"C:\\Program Files\\Kestrave\\kestrave.exe\" -p (each log-on takes the fastest refresh rate the adapter lists)" \
  <(tr -d "\r" <"$work/kestrave.txt")
wine_run "$work" "$plain_dir/kestrave.exe" /P -i
check_equal "/P -i exit code" 0 $?
check_equal "Run value of -i -p, a path without a space" \
  'C:\kestrave\kestrave.exe -p' "$(wine_reg_value "$run_key" Kestrave)"
wine_run "$work" "$plain_dir/kestrave.exe" -i
check_equal "Run value of a later -i alone" 'C:\kestrave\kestrave.exe' "$(wine_reg_value "$run_key" Kestrave)"
wine_run "$work" "$plain_dir/kestrave.exe" -i -p

# -u removes the Run value, the software key and the current user's flags.
"$WINE_LOADER" reg add 'HKCU\Software\Calvorne\Kestrave\Wine Adapter_0000&Generic Non-PnP Monitor_0000' \
  /v 1024x768@32 /t REG_SZ /d 60 /f >"$WINE_WORK/reg.log" 2>&1
work="$WINE_WORK/remove"
mkdir -p "$work"
wine_run "$work" "$plain_dir/kestrave.exe" -d -u
check_equal "-d -u exit code" 0 $?
check_equal "-d -u log" \
  "${banner}Kestrave was removed from the Run key.${crlf}The Kestrave software install key was removed from the registry.${crlf}The Kestrave optimization flags were removed from the registry.${crlf}x" \
  "$(file_bytes "$work/kestrave.txt"; echo x)"
check "Run value removed" test -z "$(wine_reg_value "$run_key" Kestrave)"
check "software install key removed" fails wine_reg_key_exists "$software_key"
check "flags removed" fails wine_reg_key_exists 'HKCU\Software\Calvorne\Kestrave'

# A second removal finds nothing to remove.
wine_run "$work" "$plain_dir/kestrave.exe" -d -u
check_equal "second -d -u exit code" 0 $?
check_equal "second -d -u log" \
  "${banner}Kestrave was not removed from the Run key.${crlf}The Kestrave software install key was not removed from the registry.${crlf}The Kestrave optimization flags were not removed from the registry.${crlf}x" \
  "$(file_bytes "$work/kestrave.txt"; echo x)"

# Japanese settings (code page 932): a flag key named after a localized
# monitor description takes more bytes than the registry counts characters.
# Wine takes the code page from LC_ALL here; LANG alone, without the glibc
# locale installed, leaves it at 1252.
localized_key='HKCU\Software\Calvorne\Kestrave\Wine Adapter_0000&汎用モニター_0000'
LANG=C.UTF-8 "$WINE_LOADER" reg add "$localized_key" /v 1024x768@32 /t REG_SZ /d 60 /f \
  >"$WINE_WORK/reg.log" 2>&1
check "localized flag key made" wine_reg_key_exists "$localized_key"
work="$WINE_WORK/japanese"
mkdir -p "$work"
(export LC_ALL=ja_JP.UTF-8 2>/dev/null; wine_run "$work" "$plain_dir/kestrave.exe" -d -u)
check_equal "-d -u under code page 932: exit code" 0 $?
check "-d -u under code page 932: flags removed" \
  grep -q "^The Kestrave optimization flags were removed from the registry.$" <(tr -d "\r" <"$work/kestrave.txt")
check "-d -u under code page 932: no flag key left" fails wine_reg_key_exists 'HKCU\Software\Calvorne\Kestrave'

# Registry links under the user's own key, as any user can make them: one
# to another tree, one to its own parent. -u removes both links themselves,
# leaves the first's target and does not loop round the second.
make_link="$(dirname "$exe")/make-link.exe"
work="$WINE_WORK/links"
mkdir -p "$work"
"$WINE_LOADER" reg add 'HKLM\Software\Victim' /v keep /t REG_SZ /d 1 /f >"$WINE_WORK/reg.log" 2>&1
"$WINE_LOADER" reg add 'HKCU\Software\Calvorne\Kestrave\Flags' /v 800x600@32 /t REG_SZ /d 60 /f \
  >"$WINE_WORK/reg.log" 2>&1
wine_run "$work" "$make_link" 'Software\Calvorne\Kestrave\Link' '\Registry\Machine\Software\Victim'
check_equal "link to another tree made" 0 $?
wine_run "$work" "$make_link" 'Software\Calvorne\Kestrave\Loop' \
  '\Registry\User\S-1-5-21-0-0-0-1000\Software\Calvorne\Kestrave'
check_equal "link to its own parent made" 0 $?
wine_run "$work" "$plain_dir/kestrave.exe" -d -u
check_equal "-d -u with links: exit code" 0 $?
check_equal "-d -u with links: the linked tree is left" 1 "$(wine_reg_value 'HKLM\Software\Victim' keep)"
check "-d -u with links: the flags line" \
  grep -q "^The Kestrave optimization flags were removed from the registry.$" <(tr -d "\r" <"$work/kestrave.txt")
check "-d -u with links: the flags and the links removed" fails wine_reg_key_exists 'HKCU\Software\Calvorne\Kestrave'

# A link below the flags whose owner gave it a DACL. One that refuses more
# than the removal asks for (listing, telling a link, deleting) is removed
# itself. One that refuses everyone KEY_ALL_ACCESS, every right the removal
# needs, cannot be opened as itself: it stays, with the keys above it, and
# -u says the flags were not removed and exits 1. What both lead to keeps
# its values.
"$WINE_LOADER" reg add 'HKLM\Software\Victim3\Leaf' /v keep /t REG_SZ /d 1 /f >"$WINE_WORK/reg.log" 2>&1
"$WINE_LOADER" reg add 'HKCU\Software\Calvorne\Kestrave\Flags' /v 800x600@32 /t REG_SZ /d 60 /f \
  >"$WINE_WORK/reg.log" 2>&1
wine_run "$work" "$make_link" 'Software\Calvorne\Kestrave\Flags\Link' \
  '\Registry\Machine\Software\Victim3\Leaf' 'D:(D;;0xc0006;;;WD)(A;;0xf003f;;;WD)'
check_equal "link refusing the right to change it made" 0 $?
wine_run "$work" "$plain_dir/kestrave.exe" -d -u
check_equal "-d -u with a link refusing the right to change it: exit code" 0 $?
check "-d -u with a link refusing the right to change it: removed" \
  fails wine_reg_key_exists 'HKCU\Software\Calvorne\Kestrave'
check_equal "-d -u with a link refusing the right to change it: its target is left" \
  1 "$(wine_reg_value 'HKLM\Software\Victim3\Leaf' keep)"

# A flag key whose name the ANSI code page gives with a backslash in it
# (U+FF3C under 1252, the yen sign under 932), beside a link L named like
# the part before it: opened by the name the code page gives, the key would
# be the one the link leads to. -u removes the key itself, and the tree the
# link leads to keeps its values.
"$WINE_LOADER" reg add 'HKLM\Software\Victim\Sub\Deep' /v keep /t REG_SZ /d 1 /f >"$WINE_WORK/reg.log" 2>&1
for entry in "1252|C.UTF-8|＼" "932|ja_JP.UTF-8|¥"; do
  IFS='|' read -r code_page locale character <<<"$entry"
  "$WINE_LOADER" reg add 'HKCU\Software\Calvorne\Kestrave\Wine Adapter_0000&Generic Non-PnP Monitor_0000' \
    /v 1024x768@32 /t REG_SZ /d 60 /f >"$WINE_WORK/reg.log" 2>&1
  LC_ALL=C.UTF-8 "$WINE_LOADER" reg add "HKCU\Software\Calvorne\Kestrave\L${character}Sub" /f \
    >"$WINE_WORK/reg.log" 2>&1
  LC_ALL=C.UTF-8 check "L${character}Sub made" wine_reg_key_exists "HKCU\Software\Calvorne\Kestrave\L${character}Sub"
  wine_run "$work" "$make_link" 'Software\Calvorne\Kestrave\L' '\Registry\Machine\Software\Victim'
  check_equal "link L beside L${character}Sub made" 0 $?
  (export LC_ALL=$locale 2>/dev/null; wine_run "$work" "$plain_dir/kestrave.exe" -d -u)
  check_equal "-d -u beside L${character}Sub under code page $code_page: exit code" 0 $?
  check_equal "-d -u beside L${character}Sub under code page $code_page: the tree L leads to is left" \
    1 "$(wine_reg_value 'HKLM\Software\Victim\Sub\Deep' keep)"
  check "-d -u beside L${character}Sub under code page $code_page: the flags line" \
    grep -q "^The Kestrave optimization flags were removed from the registry.$" <(tr -d "\r" <"$work/kestrave.txt")
  check "-d -u beside L${character}Sub under code page $code_page: the flags removed" \
    fails wine_reg_key_exists 'HKCU\Software\Calvorne\Kestrave'
done
"$WINE_LOADER" reg add 'HKCU\Software\Calvorne\Kestrave\Flags' /v 800x600@32 /t REG_SZ /d 60 /f \
  >"$WINE_WORK/reg.log" 2>&1
wine_run "$work" "$make_link" 'Software\Calvorne\Kestrave\Flags\Link' \
  '\Registry\Machine\Software\Victim3\Leaf' 'D:(D;;0xf003f;;;WD)'
check_equal "locked link made" 0 $?
wine_run "$work" "$plain_dir/kestrave.exe" -d -u
check_equal "-d -u with a locked link: exit code" 1 $?
check_equal "-d -u with a locked link: its target is left" 1 "$(wine_reg_value 'HKLM\Software\Victim3\Leaf' keep)"
check "-d -u with a locked link: the flags line" \
  grep -q "^The Kestrave optimization flags were not removed from the registry.$" <(tr -d "\r" <"$work/kestrave.txt")
check "-d -u with a locked link: the keys above it are left" \
  wine_reg_key_exists 'HKCU\Software\Calvorne\Kestrave\Flags'

# A path the Run value cannot hold: under code page 1252 the folder's name
# comes back from GetModuleFileNameA with "?" in it.
foreign_dir="$drive_c/Ключ"
mkdir -p "$foreign_dir"
cp "$exe" "$foreign_dir/kestrave.exe"
work="$WINE_WORK/foreign"
mkdir -p "$work"
LANG=C.UTF-8 wine_run "$work" "$foreign_dir/kestrave.exe" -d -i
check_equal "-d -i from a folder outside the code page: exit code" 1 $?
check_equal "-d -i from a folder outside the code page: log" \
  "${banner}Kestrave was not added to the Run key.${crlf}The Kestrave software install key was added to the registry.${crlf}The Kestrave optimization flags were not removed from the registry.${crlf}x" \
  "$(file_bytes "$work/kestrave.txt"; echo x)"
check "-d -i from a folder outside the code page: no Run value" test -z "$(wine_reg_value "$run_key" Kestrave)"

# Folders whose names the code page gives as another name: U+FF2B becomes
# "K", naming a folder anyone may make at the root of the drive; U+FF02
# becomes a quote, ending the quoted path early. Neither is written. The
# program is started by its name alone, from its folder, by cmd: its own
# path in its command line would come to it best-fitted too, and a quote
# in it would hide the switches.
for folder in "Ｋestrave" "Kestrave＂ Tools"; do
  mkdir -p "$drive_c/$folder"
  cp "$exe" "$drive_c/$folder/kestrave.exe"
  LC_ALL=C.UTF-8 wine_run "$drive_c/$folder" cmd /c kestrave.exe -d -i
  check_equal "-d -i from C:\\$folder: exit code" 1 $?
  check_equal "-d -i from C:\\$folder: log" \
    "${banner}Kestrave was not added to the Run key.${crlf}The Kestrave software install key was added to the registry.${crlf}The Kestrave optimization flags were not removed from the registry.${crlf}x" \
    "$(file_bytes "$drive_c/$folder/kestrave.txt"; echo x)"
  check "-d -i from C:\\$folder: no Run value" test -z "$(wine_reg_value "$run_key" Kestrave)"
done

# A kestrave.txt planted as a hard link to another file: the run writes no
# log and leaves that file alone.
work="$WINE_WORK/linked"
mkdir -p "$work"
printf 'precious' >"$drive_c/important.ini"
ln "$drive_c/important.ini" "$work/kestrave.txt"
wine_run "$work" "$plain_dir/kestrave.exe" -d
check_equal "-d with kestrave.txt a hard link: exit code" 0 $?
check_equal "-d with kestrave.txt a hard link: the linked file" "precious" "$(cat "$drive_c/important.ini")"

# Two runs at once in one folder: one that finds the log held open by
# another writer leaves it to that writer, writes no log, and runs all the
# same.
work="$WINE_WORK/held"
mkdir -p "$work"
wine_run "$work" "$(dirname "$exe")/hold-open.exe" kestrave.txt 'C:\kestrave\kestrave.exe' -d
check_equal "-d with kestrave.txt held open by another writer: exit code" 0 $?
check_equal "-d with kestrave.txt held open by another writer: the other writer's log" "held" "$(cat "$work/kestrave.txt")"

# The user's Software\Calvorne made a link to a tree of HKEY_LOCAL_MACHINE
# that holds a Kestrave key: that key and what is below it keep their
# values, and the flags are not removed. The links made above are volatile
# and go with a restart of the server.
wine_restart
"$WINE_LOADER" reg delete 'HKCU\Software\Calvorne' /f >"$WINE_WORK/reg.log" 2>&1
"$WINE_LOADER" reg add 'HKLM\Software\Victim\Kestrave\Leaf' /v keep /t REG_SZ /d 1 /f >"$WINE_WORK/reg.log" 2>&1
work="$WINE_WORK/way-down"
mkdir -p "$work"
wine_run "$work" "$make_link" 'Software\Calvorne' '\Registry\Machine\Software\Victim'
check_equal "Software\Calvorne made a link" 0 $?
wine_run "$work" "$plain_dir/kestrave.exe" -d -u
check_equal "-d -u with Software\Calvorne a link: exit code" 1 $?
check_equal "-d -u with Software\Calvorne a link: the Kestrave key it leads to is left" \
  1 "$(wine_reg_value 'HKLM\Software\Victim\Kestrave\Leaf' keep)"
check "-d -u with Software\Calvorne a link: the flags line" \
  grep -q "^The Kestrave optimization flags were not removed from the registry.$" <(tr -d "\r" <"$work/kestrave.txt")

wine_summary
