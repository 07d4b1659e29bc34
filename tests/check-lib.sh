# A tally of checks for the shell tests. Source it; end with
# check_summary NAME, which prints the tally and fails if a check did.

checks_passed=0
checks_failed=0

# check WHAT COMMAND...: passes when the command does.
check() {
  local what=$1
  shift
  if "$@"; then
    checks_passed=$((checks_passed + 1))
  else
    checks_failed=$((checks_failed + 1))
    echo "FAILED: $what" >&2
  fi
}

check_equal() {
  local what=$1 expected=$2 actual=$3
  if [ "$expected" = "$actual" ]; then
    checks_passed=$((checks_passed + 1))
  else
    checks_failed=$((checks_failed + 1))
    printf 'FAILED: %s\n  expected: %q\n  actual:   %q\n' "$what" "$expected" "$actual" >&2
  fi
}

check_summary() {
  echo "$1: $checks_passed passed, $checks_failed failed"
  [ "$checks_failed" -eq 0 ]
}

# pe_bits FILE: 32 or 64, from the magic of a PE file's optional header
# (PE32 or PE32+); fails, printing nothing, on anything else.
pe_bits() {
  local offset
  offset=$(od -An --endian=little -j 60 -N 4 -t u4 "$1" 2>/dev/null | tr -d ' ')
  [ -n "$offset" ] && [ "$(od -An -c -j "$offset" -N 4 "$1" 2>/dev/null | tr -d ' ')" = 'PE\0\0' ] ||
    return 1
  case $(od -An --endian=little -j $((offset + 24)) -N 2 -t x2 "$1" 2>/dev/null | tr -d ' ') in
    010b) echo 32 ;;
    020b) echo 64 ;;
    *) return 1 ;;
  esac
}
