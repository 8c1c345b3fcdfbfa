#!/usr/bin/env bash
# Frame times of the map view: tvmrender --bench over the densest part of a
# map, three runs, and the median of each mode's median across them.
#
#   bash bench/tvmrender/frames.sh [BUILD_DIR] [MAP.tvm | OSM-EXTRACT]
#
# Without a map the program folder's own map is timed. An OpenStreetMap
# extract is compiled with tvmc into a temporary program folder first.
# The machine's load shows in the figures: compare runs of one session.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}
input=${2:-}
cmake --build "$build" -j2 --target tvmrender tvmc tevo_demo_map >/dev/null

folder="$build/dist"
if [[ -n "$input" ]]; then
    folder=$(mktemp -d)
    trap 'rm -rf "$folder"' EXIT
    for f in screen.xml levels.xml vsa.xml tevo.skn DejaVuSans.ttf pictures; do
        [[ -e "$build/dist/$f" ]] && cp -r "$build/dist/$f" "$folder/"
    done
    if [[ "$input" == *.tvm ]]; then
        cp "$input" "$folder/map.tvm"
    else
        "$build/bin/tvmc" --quiet "$input" -o "$folder/map.tvm"
    fi
fi

runs=$(for i in 1 2 3; do "$build/bin/tvmrender" --bench "$folder"; done)
echo "$runs"
echo "--- median of three runs"
for mode in 3d eco 2d; do
    echo "$runs" | awk -v m="$mode:" '$1 == m { gsub(",", "", $3); print $3, $6 }' |
        sort -n | awk -v m="$mode" 'NR == 2 { printf "%s: median %s ms, p95 %s ms\n", m, $1, $2 }'
done
