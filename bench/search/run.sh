#!/bin/sh
# How long a keystroke's hits take: tvmsearch --bench on the name indexes of
# the extract north of Bayreuth and of a network of about a million nodes,
# each compiled here by tvmc. Figures are each keystroke's median over three
# rounds (tvmsearch --bench), against a plain scan of every name measured in
# the same run, and the index's size against its map's.
#
#   bench/search/run.sh [BUILD_DIR] [WORK_DIR]
#
# The million-node network is the road network that roadnet generates
# (--towns 19) when it is built; else shifted copies of the repository's
# extracts (tvmc_scale_input), which carry real names, when that is built.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${1:-$root/build}
work=${2:-${TMPDIR:-/tmp}/tevo-search-bench}
bin=$build/bin
for tool in tvmc tvmsearch; do
    [ -x "$bin/$tool" ] || { echo "no $bin/$tool: build it first" >&2; exit 2; }
done
mkdir -p "$work"

# measure NAME INPUT: compiles the input into WORK/NAME and benchmarks it.
measure() {
    mkdir -p "$work/$1"
    echo "== $1"
    nice "$bin/tvmc" "$2" -o "$work/$1/map.tvm" 2>"$work/$1/tvmc.log" |
        grep -E '^(input|names|wrote)' || { cat "$work/$1/tvmc.log" >&2; exit 1; }
    "$bin/tvmsearch" --bench "$work/$1" --rounds 3
}

measure north-bayreuth "$root/data/osm/north-bayreuth.osm.gz"

if [ -x "$bin/roadnet" ]; then
    [ -f "$work/roadnet.osm.pbf" ] || "$bin/roadnet" --towns 19 -o "$work/roadnet.osm.pbf"
    measure roadnet "$work/roadnet.osm.pbf"
fi
if [ -x "$bin/tvmc_scale_input" ]; then
    # About a million nodes of real names: copies of both extracts.
    [ -f "$work/copies.osm.pbf" ] ||
        "$bin/tvmc_scale_input" 1150000 "$work/copies.osm.pbf" \
            "$root/data/osm/north-bayreuth.osm.gz" "$root/data/osm/moscow.osm.gz"
    measure copies "$work/copies.osm.pbf"
fi
if [ ! -x "$bin/roadnet" ] && [ ! -x "$bin/tvmc_scale_input" ]; then
    echo "neither roadnet nor tvmc_scale_input is built: no million-node network" >&2
fi
