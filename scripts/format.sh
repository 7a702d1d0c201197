#!/bin/sh
# Formats every C++ source and header of the project in place with the style of
# .clang-format: scripts/format.sh
# With --check nothing is changed: the files that do not follow the style are
# listed and the exit status is 1 when there are any.
# Build trees (build*) are skipped. CLANG_FORMAT names the program to use.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)

check=0
case "${1-}" in
"") ;;
--check) check=1 ;;
*)
    echo "usage: $0 [--check]" >&2
    exit 2
    ;;
esac

if [ -z "${CLANG_FORMAT-}" ]; then
    if command -v clang-format-14 >/dev/null 2>&1; then
        CLANG_FORMAT=clang-format-14
    else
        CLANG_FORMAT=clang-format
    fi
fi
command -v "$CLANG_FORMAT" >/dev/null 2>&1 || {
    echo "$0: $CLANG_FORMAT not found (scripts/deps.sh installs it)" >&2
    exit 2
}

cd "$root"
list=$(mktemp)
trap 'rm -f "$list"' EXIT
find . \( -name 'build*' -o -name '.*' \) ! -name . -prune \
    -o -type f \( -name '*.cpp' -o -name '*.h' \) -print | sed 's|^\./||' | LC_ALL=C sort >"$list"

status=0
while IFS= read -r file; do
    if [ "$check" -eq 1 ]; then
        "$CLANG_FORMAT" --style=file --dry-run --Werror "$file" >/dev/null 2>&1 || {
            echo "$file"
            status=1
        }
    else
        "$CLANG_FORMAT" --style=file -i "$file"
    fi
done <"$list"
exit $status
