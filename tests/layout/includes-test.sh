#!/usr/bin/env bash
# Every folder includes only from the folders below it, so that a file's
# place tells what it may use. Prints each include that reaches up or
# sideways and fails if there is one.
set -euo pipefail
cd "$(dirname "$0")/../.."

# A folder and the folders its files may include from, besides its own.
allowed=(
  "base:"
  "edid:base"
  "platform:base"
  "process:base platform"
  "display:base edid platform process"
  "app:base edid platform process display"
  "main:base edid platform process display app"
  "tools/kestrave-edid:base edid platform"
  "tools/kestrave-capture:base platform process display app sim/system sim/machine_file"
  "sim/system:base platform"
  "sim/machine_file:base platform sim/system"
)

status=0
for entry in "${allowed[@]}"; do
  folder=${entry%%:*}
  read -ra below <<<"${entry#*:}"
  while IFS=: read -r file line include; do
    target=${include#*\"}
    target=${target%\"*}
    ok=false
    for place in "$folder" "${below[@]}"; do
      [[ $target == "$place"/* ]] && ok=true
    done
    if ! $ok; then
      echo "$file:$line: includes $target"
      status=1
    fi
  done < <(grep -rn --include='*.cpp' --include='*.h' '^#include "' "$folder" || true)
done
# The program's window onto Windows knows nothing of the machine file.
if grep -rln --include='*.cpp' --include='*.h' 'nlohmann' base edid platform process display app sim/system; then
  echo "the files above include the JSON library"
  status=1
fi
[ $status -eq 0 ] && echo "includes: every folder includes only from below"
exit $status
