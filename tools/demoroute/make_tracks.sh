#!/bin/sh
# Rewrites the demonstration drive data/demo.plt and the track of data/Tracks/
# from the OpenStreetMap extract of the demonstration map. Run from anywhere;
# the result is the same on every run.
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
route="python3 $root/tools/demoroute/demoroute.py --osm $root/data/osm/moscow.osm.gz"

# Across the district: Rustaveli Street east, down Ogorodny Passage, round by
# Sheremetyevskaya Street, north to Academician Korolyov Street.
$route --name "Demonstration drive" --time 2026-05-16T09:00:00 \
  --from 37.5835,55.8121 --via 37.6157,55.8068 --to 37.6262,55.8213 \
  -o "$root/data/demo.plt"

# A shorter drive: 1st Ostankinskaya Street east, south to Zvyozdny Boulevard.
mkdir -p "$root/data/Tracks"
$route --name "Ostankino" --time 2026-05-17T15:30:00 \
  --from 37.6030,55.8236 --to 37.6255,55.8124 \
  -o "$root/data/Tracks/ostankino.plt"
