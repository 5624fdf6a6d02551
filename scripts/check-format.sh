#!/usr/bin/env bash
# Checks every C and C++ source the repository tracks against .clang-format and lists the files
# clang-format would change; fails when there is any. --fix formats them in place instead.
# clang-format 14 (Debian 12's) is the reference; other versions may disagree on details.
# Usage: scripts/check-format.sh [--fix]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
clang_format=${CLANG_FORMAT:-clang-format}
if ! command -v "$clang_format" >/dev/null 2>&1; then
    echo "check-format: $clang_format not found (Debian package clang-format)" >&2
    exit 1
fi
version=$("$clang_format" --version | grep -o -E 'version [0-9]+' | cut -d' ' -f2)
if [ "$version" != 14 ]; then
    echo "check-format: $clang_format is version $version; the format is agreed with version 14" >&2
fi

mapfile -t files < <(git ls-files -- '*.c' '*.cpp' '*.h')
if [ "${1:-}" = --fix ]; then
    "$clang_format" -i "${files[@]}"
    exit 0
fi
unformatted=()
for file in "${files[@]}"; do
    if ! "$clang_format" --dry-run --Werror "$file" >/dev/null 2>&1; then
        unformatted+=("$file")
    fi
done
if [ ${#unformatted[@]} -gt 0 ]; then
    echo "check-format: ${#unformatted[@]} of ${#files[@]} files are not formatted" \
        "(scripts/check-format.sh --fix, or clang-format -i <file>):"
    printf '  %s\n' "${unformatted[@]}"
    exit 1
fi
echo "check-format: ${#files[@]} files formatted"
