# SPDX-License-Identifier: MIT
# shellcheck shell=bash
# The shell tests' checks: `check NAME EXPECTED ACTUAL` counts a pass or
# prints what failed; `skipped WHAT` tells of checks that cannot run here;
# `finish` prints the counts and fails when any failed, and otherwise exits 77
# (skipped, for ctest's SKIP_RETURN_CODE) when any were skipped.
passed=0 failed=0 skips=0

check() {
    if [ "$2" == "$3" ]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        printf 'FAIL %s\n  expected: %q\n  actual:   %q\n' "$1" "$2" "$3"
    fi
}

skipped() {
    skips=$((skips + 1))
    echo "SKIP $1"
}

finish() {
    echo "$passed passed, $failed failed, $skips skipped"
    [ "$failed" = 0 ] || exit 1
    [ "$skips" = 0 ] || exit 77
    exit 0
}
