# The checks of the shell tests (sourced): each prints "ok" or "FAIL" with
# what it checks; finish ends the test with the number of failures.
failures=0
check() {  # check "what" command...
    local what=$1
    shift
    if "$@"; then echo "ok   $what"; else echo "FAIL $what"; failures=$((failures + 1)); fi
}
not() { ! "$@"; }
finish() {
    echo "$failures failed"
    [ "$failures" -eq 0 ]
}

work=$(mktemp -d)
AT_EXIT='rm -rf "$work"'
trap "$AT_EXIT" EXIT
