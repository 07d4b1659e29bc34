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
