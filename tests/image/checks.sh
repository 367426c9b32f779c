# Sourced by the image checks: check WHAT CONDITION evaluates CONDITION, prints the result,
# and counts it; finish prints the closing line and fails when any check did.
passed=0
failed=0
check() {
  if eval "$2"; then passed=$((passed + 1)); echo "  ok    $1"; else failed=$((failed + 1)); echo "  FAIL  $1"; fi
}
finish() {
  echo "$passed passed, $failed failed"
  [ "$failed" -eq 0 ]
}
