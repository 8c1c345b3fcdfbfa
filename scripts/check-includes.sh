#!/usr/bin/env bash
# Checks that no folder includes a folder above it. The program's folders
# depend on each other in this order, each only on those before it:
#
#   platform -> config -> map -> route -> search -> ui -> render -> gps -> app
#
# and inside render/ its rooms: raster -> overlays -> frame -> view.
# plugin-api/ is the plug-in boundary that everyone may include; a plug-in
# includes nothing of the program but plugin-api/. Prints every include that
# goes upwards and exits with 1 when there is one.
#
#   bash scripts/check-includes.sh
set -euo pipefail
cd "$(dirname "$0")/.."

order=(platform config map route search ui render/raster render/overlays render/frame render/view gps app)

# The place of a folder in the order, or nothing when it has none.
rank() {
    local i
    for i in "${!order[@]}"; do
        if [[ $1 == "${order[$i]}" ]]; then
            echo "$i"
            return
        fi
    done
    return 0
}

# The folder that a path of the source tree belongs to.
folder_of() {
    case $1 in
    render/*/*) echo "${1%/*}" ;;
    plugins/*/*) echo "plugins" ;;
    */*) echo "${1%%/*}" ;;
    esac
}

bad=0
while IFS= read -r file; do
    from=$(folder_of "$file")
    from_rank=$(rank "$from")
    while IFS= read -r included; do
        to=$(folder_of "$included")
        [[ $to == plugin-api || $to == "$from" ]] && continue
        if [[ $from == plugins ]]; then
            echo "$file: a plug-in includes $included"
            bad=1
            continue
        fi
        [[ -n $from_rank ]] || continue
        to_rank=$(rank "$to")
        if [[ -n $to_rank && $to_rank -gt $from_rank ]]; then
            echo "$file: $from includes $included, which lies above it"
            bad=1
        fi
    done < <(sed -n 's/^#include "\([^"]*\/[^"]*\)".*/\1/p' "$file")
done < <(git ls-files '*.cpp' '*.hpp' | grep -E '^(platform|config|map|route|search|ui|render|gps|app|plugins)/')
[[ $bad -eq 0 ]] && echo "no include goes upwards"
exit $bad
