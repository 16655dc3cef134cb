# shellcheck shell=bash
# The shell tests' checks: `check NAME EXPECTED ACTUAL` counts a pass or
# prints what failed; `finish` prints the counts and fails when any failed.
passed=0 failed=0

check() {
    if [ "$2" == "$3" ]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        printf 'FAIL %s\n  expected: %q\n  actual:   %q\n' "$1" "$2" "$3"
    fi
}

finish() {
    echo "$passed passed, $failed failed"
    [ "$failed" = 0 ]
}
