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
# `use_work_folder` makes $work, a temporary folder removed on exit.
use_work_folder() {
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
}
finish() {
    echo "$passed passed, $failed failed"
    [ "$failed" -eq 0 ]
}
# `unpack_and_check ZIP FOLDER FILE...` checks that ZIP was made, unpacks it into $work and
# checks that its one folder FOLDER holds each FILE; $folder is then that folder.
unpack_and_check() {
    local zip=$1 name=$2
    shift 2
    check "$(basename "$zip") was built" test -f "$zip"
    mkdir -p "$work/unpacked"
    (cd "$work/unpacked" && cmake -E tar xf "$zip")
    folder="$work/unpacked/$name"
    local file
    for file in "$@"; do
        check "the folder holds $file" test -f "$folder/$file"
    done
}
