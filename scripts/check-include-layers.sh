#!/bin/sh
# Includes between folders point one way only: every folder has a layer, and a file may include
# only files of its own folder or of a lower layer, so siblings in one layer do not include each
# other either. Prints every include that breaks this and exits 1; exits 0 when there is none.
# A back end of the window layer (app/framework/qt, app/framework/win32) is included by nobody
# outside it, and the program's own folders above the window layer include no Qt header: their
# windows speak only the framework.
# Usage: scripts/check-include-layers.sh [source tree] (default: the tree this script is in).
cd "${1:-$(dirname "$0")/..}" || exit 2

bad=0
list=$(mktemp) || exit 2
trap 'rm -f "$list"' EXIT
git ls-files '*.cpp' '*.h' | grep -v '^tests/' > "$list" || exit 2

# shellcheck disable=SC2046
grep -H '^#include "' $(cat "$list") | awk -v sources="$list" '
function folder(path) { sub(/\/[^\/]*$/, "", path); return path }
BEGIN {
    split("protocol:0 common:1 driver/platform/linux:1 sim:1 driver/platform:2 app/device:2 " \
          "driver:3 app/framework:3 app/framework/qt:4 app/framework/win32:4 host:4 app/res:4 app/controls:4 app/monitor:5 app/clock:5 " \
          "app/shell:6 tools/kestctl:6", pairs, " ")
    for (i in pairs) { split(pairs[i], p, ":"); layer[p[1]] = p[2] }
    while ((getline line < sources) > 0) { known[line] = 1; from = folder(line)
        if (!(from in layer)) { print line ": folder " from " has no layer"; bad = 1 } }
}
{
    file = $0; sub(/:.*/, "", file)
    included = $0; sub(/^[^"]*"/, "", included); sub(/".*/, "", included)
    if (!(included in known)) next
    from = folder(file); to = folder(included)
    if ((to == "app/framework/qt" || to == "app/framework/win32") && from != to) {
        print file " includes " included ": a back end of the window layer"
        bad = 1
        next
    }
    if (from == to || !(from in layer)) next
    if (!(to in layer) || layer[to] >= layer[from]) {
        print file " includes " included ": " from " (layer " layer[from] ") -> " to \
              " (layer " (to in layer ? layer[to] : "none") ")"
        bad = 1
    }
}
END { exit bad }
' || bad=1

# shellcheck disable=SC2046
grep -HnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*<Q' \
    $(grep -E '^app/(shell|monitor|clock|res|controls)/' "$list") /dev/null |
    sed 's/$/: Qt above the window layer/' | grep . && bad=1
exit "$bad"
