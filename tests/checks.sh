# Sourced by the shell tests: `check DESCRIPTION COMMAND...` runs one check and says how it
# went; `finish` prints the tally and fails if any check failed.
passed=0
failed=0
check() {
    local what=$1
    shift
    if "$@"; then
        echo "ok: $what"
        passed=$((passed + 1))
    else
        echo "FAILED: $what"
        failed=$((failed + 1))
    fi
}
quietly() { "$@" >/dev/null 2>&1; }
finish() {
    echo "$passed passed, $failed failed"
    [ "$failed" -eq 0 ]
}
