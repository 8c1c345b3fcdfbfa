#!/usr/bin/env bash
# Draws 30 fixed map frames with tvmrender, to check that a change of the map
# view leaves every picture as it was:
#
#   bash scripts/check-frames.sh [-b BUILD] [-m MAPS] OUT [REFERENCE]
#
# Three maps (the program folder's demonstration map, Monaco and the north of
# Bayreuth, compiled from data/osm), each in Eco, 2D and 3D at several zooms,
# turns and tilts, with the pointer, compass, scale bar, names, icons and, on
# the demonstration map, its track. The program folders of the maps are made
# in MAPS (default OUT/maps) unless they are there already: give a later run
# the MAPS of an earlier one and both draw from the very same files. With
# REFERENCE, every PNG of OUT is compared byte for byte with the PNG of the
# same name there; the exit code is 1 when any differs or is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build
maps=
while getopts "b:m:h" opt; do
    case $opt in
    b) build=$OPTARG ;;
    m) maps=$OPTARG ;;
    *) sed -n '2,15p' "$0" >&2; exit 2 ;;
    esac
done
shift $((OPTIND - 1))
[[ $# -ge 1 ]] || { sed -n '2,15p' "$0" >&2; exit 2; }
out=$1
reference=${2:-}
maps=${maps:-$out/maps}
cmake --build "$build" -j2 --target tvmrender tvmc tevo_demo_map >/dev/null
mkdir -p "$out" "$maps"

# A program folder for the map NAME: the layout, style, levels, font and
# pictures of the build's program folder, and the map compiled from SOURCE.
folder_for() {
    local name=$1 source=$2 dir=$maps/$1
    [[ -f $dir/map.tvm ]] && return
    mkdir -p "$dir"
    for f in screen.xml levels.xml vsa.xml tevo.skn DejaVuSans.ttf pictures demo.plt; do
        cp -r "$build/dist/$f" "$dir/"
    done
    if [[ $source == *.tvm ]]; then
        cp "$source" "$dir/map.tvm"
    else
        "$build/bin/tvmc" --quiet "$source" -o "$dir/map.tvm"
    fi
    echo "$name: $dir"
}
folder_for demo "$build/dist/map.tvm"
folder_for monaco data/osm/monaco.osm.gz
folder_for bayreuth data/osm/north-bayreuth.osm.gz

# name map mode lon,lat metres-per-pixel yaw tilt [more tvmrender options]
frames=(
    "demo-eco-near demo eco 37.6047,55.8148 0.5 0 60"
    "demo-eco-turned demo eco 37.5990,55.8120 2 37 60"
    "demo-eco-wide demo eco 37.6047,55.8148 12 200 60"
    "demo-2d-low demo 2d 37.6047,55.8148 1 0 20"
    "demo-2d-steep demo 2d 37.6100,55.8180 2 120 65"
    "demo-3d-near demo 3d 37.6047,55.8148 0.5 0 50"
    "demo-3d-turned demo 3d 37.5990,55.8120 1 45 65 --size 800x480"
    "demo-3d-far demo 3d 37.6047,55.8148 3 210 30"
    "demo-3d-track demo 3d 37.6047,55.8148 1.5 300 55 --track TRACK"
    "demo-eco-track demo eco 37.6047,55.8148 3 10 60 --track TRACK"
    "monaco-eco-near monaco eco 7.4260,43.7390 0.7 0 60"
    "monaco-eco-turned monaco eco 7.4200,43.7320 3 75 60 --size 800x480"
    "monaco-eco-world monaco eco 7.4260,43.7390 2000 0 60"
    "monaco-2d-low monaco 2d 7.4260,43.7390 1 0 25"
    "monaco-2d-steep monaco 2d 7.4200,43.7320 2.5 160 70"
    "monaco-3d-near monaco 3d 7.4260,43.7390 0.5 0 45"
    "monaco-3d-turned monaco 3d 7.4200,43.7320 1 230 60"
    "monaco-3d-far monaco 3d 7.4180,43.7350 6 330 35"
    "monaco-3d-level monaco 3d 7.4260,43.7390 1.2 90 75"
    "monaco-2d-wide monaco 2d 7.4260,43.7390 40 20 50"
    "bayreuth-eco-near bayreuth eco 11.5800,49.9800 1 0 60"
    "bayreuth-eco-turned bayreuth eco 11.5500,50.0100 8 300 60"
    "bayreuth-eco-off bayreuth eco 12.5000,49.0000 1 0 60"
    "bayreuth-2d-low bayreuth 2d 11.5800,49.9800 2 0 20"
    "bayreuth-2d-steep bayreuth 2d 11.5500,50.0100 5 250 70"
    "bayreuth-3d-near bayreuth 3d 11.5800,49.9800 0.6 0 50"
    "bayreuth-3d-turned bayreuth 3d 11.5500,50.0100 2 135 60 --size 800x480"
    "bayreuth-3d-far bayreuth 3d 11.5300,50.0300 15 20 40"
    "bayreuth-3d-off bayreuth 3d 12.5000,49.0000 2 0 60"
    "bayreuth-2d-fields bayreuth 2d 11.5000,50.0400 3 180 55"
)
for frame in "${frames[@]}"; do
    read -r name map mode at mpp yaw tilt more <<<"$frame"
    more=${more//TRACK/$maps/demo/demo.plt}
    # shellcheck disable=SC2086 # the extra options are words
    "$build/bin/tvmrender" "$maps/$map" --at "$at" --mpp "$mpp" --mode "$mode" --yaw "$yaw" \
        --tilt "$tilt" $more -o "$out/$name.png"
done
echo "${#frames[@]} frames in $out"

[[ -n $reference ]] || exit 0
differ=0
for frame in "${frames[@]}"; do
    name=${frame%% *}
    if ! cmp -s "$out/$name.png" "$reference/$name.png"; then
        echo "differs: $name.png"
        differ=$((differ + 1))
    fi
done
echo "$((${#frames[@]} - differ)) of ${#frames[@]} frames byte-identical with $reference"
[[ $differ -eq 0 ]]
