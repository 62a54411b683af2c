#!/usr/bin/env bash
# Checks the conventions of CONTRIBUTING.md that a machine can check:
#  - every C++ file is formatted as .clang-format says, which includes the
#    order of its includes (own header, then <...>, then "...", each sorted);
#  - the library table of CONTRIBUTING.md names exactly the lower and upper
#    libraries the build has (tms_layers.txt, written by the configure step).
# Usage: scripts/check-style.sh <build dir>
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:?usage: scripts/check-style.sh <build dir>}
status=0

# Format, include order among it.
mapfile -t files < <(git ls-files '*.cpp' '*.h')
bad=$(printf '%s\0' "${files[@]}" |
      xargs -0 -n 16 -P "$(nproc)" clang-format --dry-run --Werror 2>&1 |
      grep -oE '^[^:]+:[0-9]+:[0-9]+: (error|warning)' | cut -d: -f1 | sort | uniq -c || true)
if [ -n "$bad" ]; then
    echo "check-style: not formatted as .clang-format says (lines to change, file; run clang-format -i on it):"
    echo "$bad"
    status=1
fi

# The library table against the build.
layers="$build/tms_layers.txt"
if [ ! -f "$layers" ]; then
    echo "check-style: $layers is missing (configure the build first)"
    exit 1
fi
table_row() {  # the libraries the table's row <layer> names, sorted, one line
    awk -F'|' -v layer="$1" '$2 ~ "^ *" layer " *$" { print $3 }' CONTRIBUTING.md |
        grep -oE 'tms_[a-z_]+' | sort | tr '\n' ' ' | sed 's/ $//'
}
for layer in lower upper; do
    built=$(awk -v layer="$layer" '$1 == layer { $1 = ""; print }' "$layers" | tr ' ' '\n' | grep . | sort | tr '\n' ' ' | sed 's/ $//')
    listed=$(table_row "$layer")
    if [ "$built" != "$listed" ]; then
        echo "check-style: CONTRIBUTING.md lists the $layer libraries as [$listed]; the build has [$built]"
        status=1
    fi
done

[ $status -eq 0 ] && echo "check-style: ok"
exit $status
