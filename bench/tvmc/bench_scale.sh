#!/bin/sh
# tvmc at scale: inputs of 1, 10 and 50 million objects (shifted copies of
# OSM extracts with ids of their own, made by tvmc_scale_input), compiled by
# tvmc with its default memory bound. For each size it prints tvmc's time,
# peak memory and map size, and its time without the road graph (the map and
# the name index alone), against a plain libosmium read of the same file
# (tvmc_read_reference) and `osmium cat` to OPL, measured in the same run,
# and, when the package maptool is installed, that map compiler's time,
# memory and file size on the same input. Small sizes take the median of
# three runs, the largest one run (under nice, as the machine is shared).
#
#   bench/tvmc/bench_scale.sh [DATA_DIR] [BUILD_DIR]
#
# DATA_DIR (default $TMPDIR/tvmc-scale) keeps the generated inputs between
# runs; they take about 8 bytes an object. EXTRACTS (default the extract the
# repository carries) are the files copied; SIZES (default
# "1000000 10000000 50000000") the sizes in objects; RUNS the runs of the
# small sizes (default 3); BIG (default 20000000) the size from which one run
# under nice is taken; MAPTOOL=none leaves maptool out.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
data=${1:-${TMPDIR:-/tmp}/tvmc-scale}
build=${2:-$root/build}
extracts=${EXTRACTS:-$root/data/osm/moscow.osm.gz}
sizes=${SIZES:-1000000 10000000 50000000}
runs=${RUNS:-3}
big=${BIG:-20000000}
bin=$build/bin

for tool in tvmc tvmc_scale_input tvmc_read_reference; do
    [ -x "$bin/$tool" ] || { echo "no $bin/$tool: build it first" >&2; exit 2; }
done
command -v osmium >/dev/null || { echo "osmium-tool is not installed" >&2; exit 2; }
[ -x /usr/bin/time ] || { echo "/usr/bin/time is not installed" >&2; exit 2; }
maptool=${MAPTOOL:-$(command -v maptool || true)}
absent="maptool is not installed"
[ "$maptool" = none ] && maptool="" absent="maptool left out (MAPTOOL=none)"

mkdir -p "$data"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# median FILE: the middle of the numbers in FILE, one a line.
median() { sort -n "$1" | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# measure N NAME COMMAND...: runs COMMAND N times (under nice when N is 1)
# and leaves the medians of wall seconds, CPU seconds and peak kilobytes in
# $work/NAME.{wall,cpu,kb}.
measure() {
    n=$1 name=$2
    shift 2
    : > "$work/$name.w"; : > "$work/$name.c"; : > "$work/$name.k"
    nice=""
    [ "$n" -eq 1 ] && nice="nice -n 10"
    i=0
    while [ $i -lt "$n" ]; do
        # shellcheck disable=SC2086 # empty or three words
        /usr/bin/time -f "%e %U %S %M" -o "$work/time" $nice "$@" > "$work/$name.out" 2>&1 ||
            { echo "$name failed:" >&2; tail -3 "$work/$name.out" >&2; exit 1; }
        read -r wall user sys kb < "$work/time"
        echo "$wall" >> "$work/$name.w"
        awk "BEGIN { print $user + $sys }" >> "$work/$name.c"
        echo "$kb" >> "$work/$name.k"
        i=$((i + 1))
    done
    median "$work/$name.w" > "$work/$name.wall"
    median "$work/$name.c" > "$work/$name.cpu"
    median "$work/$name.k" > "$work/$name.kb"
}

value() { cat "$work/$1"; }
ratio() { awk "BEGIN { printf \"%.2f\", $1 / ($2 > 0 ? $2 : 0.001) }"; }

printf '%-9s %8s | %7s %7s | %7s %6s %6s %8s %6s %8s | %8s %7s %8s %6s\n' \
    objects input read cat tvmc "/read" "/cat" peak "B/obj" map maptool "time" peak "size"
for size in $sizes; do
    input=$data/scale-$size.osm.pbf
    # shellcheck disable=SC2086 # the extracts are a list
    [ -s "$input" ] || "$bin/tvmc_scale_input" "$size" "$input" $extracts > "$work/gen" ||
        { echo "cannot make $input" >&2; exit 1; }
    objects=$("$bin/tvmc_read_reference" "$input" | awk '{ print $1 + $3 + $5 }')
    n=$runs
    [ "$size" -ge "$big" ] && n=1
    measure "$n" read "$bin/tvmc_read_reference" "$input"
    measure "$n" cat osmium cat -O -f opl -o /dev/null "$input"
    measure "$n" tvmc "$bin/tvmc" --quiet "$input" -o "$work/map.tvm"
    # The map and the name index alone: the read and the cells, without
    # the road graph's contraction after them.
    measure "$n" maponly "$bin/tvmc" --quiet --no-road-graph "$input" -o "$work/map.tvm"
    map=$(wc -c < "$work/map.tvm")
    mt_size=- mt_time=- mt_peak=- mt_ratio=-
    if [ -n "$maptool" ]; then
        mkdir -p "$work/maptool"
        (cd "$work/maptool" && measure "$n" maptool "$maptool" --protobuf -i "$input" map.bin)
        mt_size=$(wc -c < "$work/maptool/map.bin")
        mt_time=$(value maptool.wall)s
        mt_peak=$(($(value maptool.kb) / 1024))M
        mt_ratio=$(ratio "$map" "$mt_size")
        rm -rf "$work/maptool"
    fi
    printf '%-9s %7sM | %6ss %6ss | %6ss %6s %6s %7sM %6s %7sM | %8s %7s %8s %6s\n' \
        "$objects" "$(($(wc -c < "$input") >> 20))" "$(value read.wall)" "$(value cat.wall)" \
        "$(value tvmc.wall)" "$(ratio "$(value tvmc.wall)" "$(value read.wall)")" \
        "$(ratio "$(value tvmc.wall)" "$(value cat.wall)")" "$(($(value tvmc.kb) / 1024))" \
        "$(awk "BEGIN { printf \"%.1f\", $(value tvmc.kb) * 1024 / $objects }")" \
        "$((map >> 20))" "$([ "$mt_size" = - ] && echo - || echo $((mt_size >> 20))M)" \
        "$mt_time" "$mt_peak" "$mt_ratio"
    printf '%-9s CPU seconds: read %s, cat %s, tvmc %s\n' "" "$(value read.cpu)" \
        "$(value cat.cpu)" "$(value tvmc.cpu)"
    printf '%-9s without the road graph: %ss, %s times the read (CPU %ss), peak %sM\n' "" \
        "$(value maponly.wall)" "$(ratio "$(value maponly.wall)" "$(value read.wall)")" \
        "$(value maponly.cpu)" "$(($(value maponly.kb) / 1024))"
done
[ -n "$maptool" ] || echo "$absent: no map size to compare with"
echo "tvmc goals: under 15 bytes an object at 50 M objects and under 4 GB at any size;"
echo "at most 3 times the read; maps at most 1.2 times maptool's."
