#!/usr/bin/env bash
# Fails, naming the files, when any tracked C++ file differs from what clang-format makes.
set -uo pipefail
clang_format=$1
unformatted=()
while IFS= read -r -d '' file; do
    "$clang_format" --dry-run -Werror "$file" >/dev/null 2>&1 || unformatted+=("$file")
done < <(git ls-files -z -- '*.cpp' '*.h' 2>/dev/null || find . -path ./build -prune -o \( -name '*.cpp' -o -name '*.h' \) -print0)
if [ ${#unformatted[@]} -gt 0 ]; then
    echo "not formatted (run: $clang_format -i FILE):"
    printf '  %s\n' "${unformatted[@]}"
    exit 1
fi
echo "all C++ files formatted"
