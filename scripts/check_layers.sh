#!/usr/bin/env bash
# The layers of src/ include strictly downward: runtime, realtext, text,
# token, calendar, calc. Prints every include that points up and fails on
# any; a CTest test (layers.includes) and usable by hand.
set -euo pipefail
cd "$(dirname "$0")/../src"
layers=(runtime realtext text token calendar calc)
rank() {
    local i
    for i in "${!layers[@]}"; do
        [ "${layers[$i]}" = "$1" ] && { echo "$i"; return; }
    done
    echo -1
}
status=0
for layer in "${layers[@]}"; do
    own=$(rank "$layer")
    while IFS=: read -r file _ target; do
        used=$(rank "${target%%/*}")
        if [ "$used" -lt 0 ] || [ "$used" -gt "$own" ]; then
            echo "src/$file includes \"$target\": above layer $layer" >&2
            status=1
        fi
    done < <(grep -rEo '^#include "[^"]+"' "$layer" | sed -E 's/#include "([^"]+)"/\1/' | awk -F: '{print $1 ":" ":" $2}')
done
[ "$status" -eq 0 ] && echo "layers: every include points down (${layers[*]})"
exit "$status"
