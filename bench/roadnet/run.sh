#!/usr/bin/env bash
# The routing benchmark. roadnet writes a road network of about a million
# nodes; it and the north-bayreuth extract are compiled by tvmc without and
# with the road graph, and tvmroute --bench routes on each. Every figure is
# the median of RUNS runs (default 3), printed beside the goal it is held
# against: time and memory of tvmc with the graph against tvmc without it in
# the same run, bytes of map.tvr per road node, query times.
#   bench/roadnet/run.sh [BUILD_DIR] [RUNS]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build}
runs=${2:-3}
for tool in tvmc tvmroute roadnet; do
  [ -x "$build/bin/$tool" ] || { echo "no $build/bin/$tool: build it first" >&2; exit 2; }
done
command -v /usr/bin/time >/dev/null || { echo "/usr/bin/time is not installed" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
calc() { awk "BEGIN { printf \"%.${2:-2}f\", $1 }"; }

# tvmc on INPUT into FOLDER with the extra options, RUNS times: "seconds KB"
# lines; the summary of the last run lands in $work/summary.
time_tvmc() {
  local input=$1 folder=$2
  shift 2
  mkdir -p "$folder"
  for _ in $(seq "$runs"); do
    /usr/bin/time -f "%e %M" -o "$work/time" "$build/bin/tvmc" "$@" "$input" -o "$folder/map.tvm" \
      > "$work/summary" 2> /dev/null
    cat "$work/time"
  done
}

bench() {
  local name=$1 input=$2 goal=$3
  echo "== $name"
  time_tvmc "$input" "$work/$name-map" -R > "$work/without"
  time_tvmc "$input" "$work/$name" > "$work/with"
  grep -E '^(road graph|turn restrictions)' "$work/summary"
  local nodes bytes t0 m0 t1 m1
  nodes=$(sed -n 's/^road graph: \([0-9]*\) road nodes.*/\1/p' "$work/summary")
  bytes=$(stat -c %s "$work/$name/map.tvr")
  t0=$(cut -d' ' -f1 "$work/without" | median)
  m0=$(cut -d' ' -f2 "$work/without" | median)
  t1=$(cut -d' ' -f1 "$work/with" | median)
  m1=$(cut -d' ' -f2 "$work/with" | median)
  echo "tvmc without the road graph: $t0 s, $(calc "$m0 / 1024" 1) MB"
  echo "tvmc with it: $t1 s, $(calc "$m1 / 1024" 1) MB: $(calc "$t1 / $t0" 1) times the time," \
    "$(calc "$m1 / $m0") times the memory (goal: at most 2)"
  echo "map.tvr: $bytes bytes, $(calc "$bytes / $nodes" 1) per road node (goal: at most 40)"
  for _ in $(seq "$runs"); do "$build/bin/tvmroute" --bench "$work/$name"; done > "$work/bench"
  grep -E '^(graph|dijkstra|peak)' "$work/bench" | sort -u
  local med p95
  med=$(sed -n 's/^route: median \([0-9.]*\) ms.*/\1/p' "$work/bench" | median)
  p95=$(sed -n 's/^route: .*p95 \([0-9.]*\) ms.*/\1/p' "$work/bench" | median)
  echo "route query: median $med ms, p95 $p95 ms (processor time; medians of $runs runs; goal: $goal)"
}

"$build/bin/roadnet" -o "$work/roadnet.osm.pbf"
bench roadnet "$work/roadnet.osm.pbf" "median under 1 ms, p95 under 5 ms"
bench north-bayreuth "$root/data/osm/north-bayreuth.osm.gz" "median under 0.2 ms"
