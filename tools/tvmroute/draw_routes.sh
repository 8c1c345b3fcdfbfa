#!/usr/bin/env bash
# Draws routes over the map they were found on: tvmroute finds each route,
# tvmrender draws the program folder's map flat, north up, with the route as
# a track over it; one PNG per route, framed to the route.
#   tools/tvmroute/draw_routes.sh BUILD FOLDER OUTDIR FROM TO [FROM TO ...]
# BUILD is the build folder (bin/tvmroute, bin/tvmrender), FOLDER a program
# folder with map.tvm and map.tvr, FROM and TO positions as LON,LAT.
set -euo pipefail
[ $# -ge 5 ] && [ $(( ($# - 3) % 2 )) -eq 0 ] || { sed -n '2,7p' "$0"; exit 2; }
build=$1 folder=$2 out=$3
shift 3
size=900
mkdir -p "$out"
n=0
while [ $# -ge 2 ]; do
  n=$((n + 1))
  gpx=$out/route$n.gpx
  if ! "$build/bin/tvmroute" "$folder" --from "$1" --to "$2" --gpx "$gpx" > "$out/route$n.json"; then
    echo "route $n: $1 -> $2: $(tr -d '\n' < "$out/route$n.json")"
    shift 2
    continue
  fi
  # The track file: the route's points as latitude,longitude lines.
  {
    printf 'Tevo track point file\nWGS 84\nAltitude is in Metres\nReserved 3\n0,2,255,Route,0,0,2,255\n'
    grep -c '<trkpt' "$gpx"
    sed -n 's/.*<trkpt lat="\([^"]*\)" lon="\([^"]*\)".*/\1,\2,0,0,0/p' "$gpx"
  } > "$out/route$n.plt"
  # The frame: the middle of the route's box, wide enough for all of it.
  read -r lon lat mpp < <(sed -n 's/.*<trkpt lat="\([^"]*\)" lon="\([^"]*\)".*/\1 \2/p' "$gpx" |
    awk -v size=$size '
      NR == 1 { s = n = $1; w = e = $2 }
      { if ($1 < s) s = $1; if ($1 > n) n = $1; if ($2 < w) w = $2; if ($2 > e) e = $2 }
      END {
        m = 6370000 * 3.14159265 / 180
        wide = (e - w) * m * cos((s + n) / 2 * 3.14159265 / 180); high = (n - s) * m
        mpp = (wide > high ? wide : high) * 1.3 / size; if (mpp < 1) mpp = 1
        printf "%.7f %.7f %.2f\n", (w + e) / 2, (s + n) / 2, mpp
      }')
  "$build/bin/tvmrender" "$folder" --at "$lon,$lat" --mpp "$mpp" --mode eco --size ${size}x$size \
    --track "$out/route$n.plt" -o "$out/route$n.png"
  echo "route $n: $1 -> $2: $(grep -o '"duration_s": [0-9.]*' "$out/route$n.json"), $out/route$n.png"
  shift 2
done
