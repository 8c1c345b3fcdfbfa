#!/bin/sh
# Times tvmc against `osmium cat` of the same file (reading and writing it
# again, to /dev/null) in the same run, and reports tvmc's peak resident
# memory. The goal: tvmc at most 4 times as long as osmium cat, and under
# 300 MB.
#
#   bench/tvmc/bench_tvmc.sh [OSM_FILE] [BUILD_DIR]
#
# OSM_FILE defaults to the extract the repository carries; BUILD_DIR to build.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
input=${1:-$root/data/osm/moscow.osm.gz}
build=${2:-$root/build}
tvmc=$build/bin/tvmc
runs=5
max_ratio=4
max_kb=$((300 * 1024))

[ -x "$tvmc" ] || { echo "no $tvmc: build the tvmc target first" >&2; exit 2; }
command -v osmium >/dev/null || { echo "osmium-tool is not installed" >&2; exit 2; }
command -v /usr/bin/time >/dev/null || { echo "/usr/bin/time is not installed" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Best wall time of $runs runs, in seconds; the peak memory of the last run
# lands in $work/rss (kilobytes).
best_of() {
    best=""
    i=0
    while [ $i -lt $runs ]; do
        /usr/bin/time -f "%e %M" -o "$work/time" "$@" >/dev/null 2>&1
        read -r seconds kb < "$work/time"
        echo "$kb" > "$work/rss"
        if [ -z "$best" ] || awk "BEGIN { exit !($seconds < $best) }"; then best=$seconds; fi
        i=$((i + 1))
    done
    echo "$best"
}

reference=$(best_of osmium cat "$input" -o /dev/null -f osm -O)
ours=$(best_of "$tvmc" --quiet "$input" -o "$work/map.tvm")
rss=$(cat "$work/rss")
ratio=$(awk "BEGIN { printf \"%.2f\", $ours / ($reference > 0 ? $reference : 0.01) }")

printf 'input          %s (%s bytes)\n' "$input" "$(wc -c < "$input")"
printf 'osmium cat     %s s (best of %d)\n' "$reference" "$runs"
printf 'tvmc           %s s (best of %d), %s bytes written\n' "$ours" "$runs" "$(wc -c < "$work/map.tvm")"
printf 'ratio          %s (limit %d)\n' "$ratio" "$max_ratio"
printf 'peak memory    %s KB (limit %d KB)\n' "$rss" "$max_kb"

status=0
if awk "BEGIN { exit !($ratio > $max_ratio) }"; then echo "tvmc is too slow" >&2; status=1; fi
if [ "$rss" -gt "$max_kb" ]; then echo "tvmc uses too much memory" >&2; status=1; fi
exit $status
