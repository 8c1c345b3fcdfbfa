#!/usr/bin/env bash
# Rebuilds the seed corpora under fuzz/corpus/ from the program folder's data,
# the receiver logs and small hand-made documents that reach the paths hostile
# files take (huge windows, odd baud rates, world-sized areas, long ways, many
# levels). Needs a built tvmc for the map seeds:
#   fuzz/make_seeds.sh BUILD_FOLDER [SHARED_DATA_FOLDER]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
build=${1:?build folder with bin/tvmc}
shared=${2:-$root/../shared/data}
tvmc=$build/bin/tvmc
out=$here/corpus

seed() { mkdir -p "$out/$1"; cat > "$out/$1/$2"; }

# --- XML readers ------------------------------------------------------------
cp "$root/data/screen.xml" "$(mkdir -p "$out/screen_xml" && echo "$out/screen_xml")/data-screen.xml"
screen_with() {
  printf '<?xml version="1.0"?>\n<screens><resolution name="defaultWindows"><windowMode/>%s</resolution></screens>\n' "$1"
}
screen_with '<width>2147483647</width><height>2147483647</height><bpp>32</bpp>' | seed screen_xml huge-window.xml
screen_with '<width>-480</width><height>0</height><bpp>7</bpp>' | seed screen_xml negative-window.xml
screen_with '<poisize>0,0</poisize><coord>-99999,99999</coord><textcoord>2147483647,-2147483648</textcoord><scalelength>-5</scalelength>' | seed screen_xml odd-coords.xml
screen_with '<menu>../../../../etc/passwd</menu><splashscreen></splashscreen>' | seed screen_xml odd-names.xml

config_with() {
  printf '<?xml version="1.0"?>\n<config><device><port>%s</port><baudrate>%s</baudrate></device><navigation>%s</navigation></config>\n' "$@"
}
config_with 0 0 '<minangle>5</minangle><minspeed>5</minspeed><viewpos>-1,-1</viewpos><mapposabs>-360,-360</mapposabs><viewto>0</viewto><scale>-1</scale><scaleuser>1</scaleuser><axy>0</axy><ayz>10</ayz><ayzuser>27</ayzuser>' | seed config_xml default.xml
config_with 3 1 '' | seed config_xml baud-1.xml
config_with 65 -9600 '' | seed config_xml negative-baud.xml
config_with -1 2147483647 '<scale>1e39</scale><axy>nan</axy><ayz>-inf</ayz>' | seed config_xml huge-values.xml
config_with 2147483647 115200 '<viewpos>2147483647,-2147483648</viewpos><mapposabs>1e30,-1e30</mapposabs>' | seed config_xml far-view.xml

cp "$root/data/levels.xml" "$(mkdir -p "$out/levels_xml" && echo "$out/levels_xml")/data-levels.xml"
printf '<levels><hidepriority value="2147483647"><poi><type>ffffffff</type></poi></hidepriority><hidepriority value="-1"><polygon><type>-1</type></polygon></hidepriority><type>5</type></levels>\n' | seed levels_xml extreme.xml

# --- style file -------------------------------------------------------------
cp "$root/data/tevo.skn" "$(mkdir -p "$out/style" && echo "$out/style")/data-tevo.skn"
printf '[POLYLINES]\n48 2 -7 ffffffff 1 7fffffff 0\n49 0 1 0 0 1 0\n-1 0 1 0\n[POLYGONS]\nff 123456\n100 0\n4b sometext\n' | seed style extreme.skn

# --- receiver ---------------------------------------------------------------
for log in "$shared"/nmea/*.log; do
  head -c 2048 "$log" | seed sentrix "$(basename "$log" .log).nmea"
done
{ printf '$GPGSV,9,1,99'; for i in $(seq 1 40); do printf ',%02d,45,180,40' "$i"; done; printf '*00\r\n'; } | seed sentrix many-satellites.nmea
{ printf '$GPRMC,'; printf '%3000s' '' | tr ' ' '9'; printf '\r\n'; } | seed sentrix long-line.nmea
printf '$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n$GPRMC,235959,A,9999.999,S,99999.999,W,999999.9,999.9,311299,,*00\r\n$GPGSA,A,3,,,,,,,,,,,,,,,,,,,,,,,,,1.0,1.0,1.0*00\r\n' | seed sentrix odd-values.nmea

# --- map compiler input -----------------------------------------------------
osm() { printf '<?xml version="1.0" encoding="UTF-8"?>\n<osm version="0.6">\n%s\n</osm>\n' "$1"; }
node() { printf '<node id="%s" version="1" lat="%s" lon="%s"/>' "$1" "$2" "$3"; }
roads=$(node 1 55.75 37.61)$(node 2 55.76 37.62)$(node 3 55.75 37.63)'<way id="10" version="1"><nd ref="1"/><nd ref="2"/><nd ref="3"/><tag k="highway" v="primary"/><tag k="name" v="Tverskaya"/></way>'
osm "$roads" | seed tvmc_osm road.osm
area=$(node 1 55.70 37.50)$(node 2 55.80 37.50)$(node 3 55.80 37.70)$(node 4 55.70 37.70)'<way id="20" version="1"><nd ref="1"/><nd ref="2"/><nd ref="3"/><nd ref="4"/><nd ref="1"/><tag k="landuse" v="forest"/></way>'
osm "$area" | seed tvmc_osm area.osm
poi='<node id="5" version="1" lat="43.73" lon="7.42"><tag k="amenity" v="hospital"/><tag k="name" v="Centre"/></node>'"$(node 6 43.73 7.41)$(node 7 43.74 7.42)"'<way id="30" version="1"><nd ref="6"/><nd ref="7"/><tag k="waterway" v="river"/></way>'
osm "$poi" | seed tvmc_osm poi-and-river.osm
world=$(node 1 0.001 -179.9)$(node 2 89.9 -179.9)$(node 3 89.9 179.9)$(node 4 0.001 179.9)'<way id="40" version="1"><nd ref="1"/><nd ref="2"/><nd ref="3"/><nd ref="4"/><nd ref="1"/><tag k="natural" v="water"/></way>'
{ echo '#tvmc --levels 3600,36000'; osm "$world"; } | seed tvmc_osm huge-area.osm
long=$(node 1 1 -179)$(node 2 80 179)'<way id="50" version="1"><nd ref="1"/><nd ref="2"/><tag k="highway" v="motorway"/></way>'
{ echo '#tvmc --levels 60,600'; osm "$long"; } | seed tvmc_osm long-way.osm
{ echo '#tvmc --levels 60,120,180,240,300,600,900,1200,1800,3600 --start-level 120'; osm "$roads"; } | seed tvmc_osm many-levels.osm
multi=$(node 1 55.70 37.50)$(node 2 55.80 37.50)$(node 3 55.80 37.70)$(node 7 55.70 37.70)$(node 4 55.72 37.55)$(node 5 55.75 37.55)$(node 6 55.75 37.60)'<way id="1" version="1"><nd ref="1"/><nd ref="2"/><nd ref="3"/><nd ref="7"/><nd ref="1"/></way><way id="2" version="1"><nd ref="4"/><nd ref="5"/><nd ref="6"/><nd ref="4"/></way><relation id="9" version="1"><member type="way" ref="1" role="outer"/><member type="way" ref="2" role="inner"/><tag k="type" v="multipolygon"/><tag k="landuse" v="forest"/></relation>'
{ echo '#tvmc --bbox 37.5,55.7,37.65,55.78'; osm "$multi"; } | seed tvmc_osm multipolygon-cut.osm
# A block of streets: a one-way street, a banned left turn, a dead end and a
# roundabout, for the road graph.
block=$(node 1 55.800 37.598)$(node 2 55.800 37.600)$(node 3 55.800 37.602)$(node 4 55.801 37.602)$(node 5 55.801 37.600)$(node 6 55.800 37.604)$(node 7 55.7994 37.6)$(node 8 55.7997 37.6003)$(node 9 55.7994 37.6006)$(node 10 55.7991 37.6003)
block=$block'<way id="1" version="1"><nd ref="1"/><nd ref="2"/><tag k="highway" v="residential"/><tag k="oneway" v="yes"/><tag k="name" v="West"/></way>'
block=$block'<way id="2" version="1"><nd ref="2"/><nd ref="3"/><tag k="highway" v="primary"/><tag k="maxspeed" v="30 mph"/></way>'
block=$block'<way id="3" version="1"><nd ref="3"/><nd ref="4"/><nd ref="5"/><nd ref="2"/><tag k="highway" v="residential"/></way>'
block=$block'<way id="4" version="1"><nd ref="3"/><nd ref="6"/><tag k="highway" v="service"/></way>'
block=$block'<way id="5" version="1"><nd ref="2"/><nd ref="7"/><tag k="highway" v="tertiary"/></way>'
block=$block'<way id="6" version="1"><nd ref="7"/><nd ref="8"/><nd ref="9"/><nd ref="10"/><nd ref="7"/><tag k="highway" v="tertiary"/><tag k="junction" v="roundabout"/></way>'
block=$block'<relation id="1" version="1"><member type="way" ref="1" role="from"/><member type="node" ref="2" role="via"/><member type="way" ref="5" role="to"/><tag k="type" v="restriction"/><tag k="restriction" v="no_right_turn"/></relation>'
osm "$block" | seed tvmc_osm road-block.osm
if command -v osmium >/dev/null && [ -f "$shared/osm/monaco.osm.gz" ]; then
  osmium extract --overwrite -b 7.4215,43.7375,7.4225,43.7380 "$shared/osm/monaco.osm.gz" \
    -o "$out/tvmc_osm/monaco-corner.osm" >/dev/null 2>&1
fi

# --- map files: the compiler's output for the documents above ----------------
mkdir -p "$out/map_file"
for doc in road area poi-and-river many-levels multipolygon-cut monaco-corner road-block; do
  src=$out/tvmc_osm/$doc.osm
  [ -f "$src" ] || continue
  args=$(head -1 "$src" | sed -n 's/^#tvmc//p')
  tail -n +"$([ -n "$args" ] && echo 2 || echo 1)" "$src" > "$out/map_file/.in.osm"
  # shellcheck disable=SC2086
  "$tvmc" --quiet $args "$out/map_file/.in.osm" -o "$out/map_file/$doc.tvm" ||
    echo "no map from $doc.osm" >&2
done
rm -f "$out/map_file/.in.osm"

# --- road graph files: written beside those maps ----------------------------
mkdir -p "$out/route_file"
for graph in "$out"/map_file/*.tvr; do mv "$graph" "$out/route_file/"; done
rm -f "$out/map_file/road-block.tvm"
# --- name indexes: those written beside the map seeds, and the extracts' -----
mkdir -p "$out/name_index"
for f in "$out"/map_file/*.tvn; do
  [ -f "$f" ] && mv "$f" "$out/name_index/"
done
for extract in moscow north-bayreuth; do
  "$tvmc" --quiet "$root/data/osm/$extract.osm.gz" -o "$out/name_index/.$extract.tvm"
  mv "$out/name_index/.$extract.tvn" "$out/name_index/$extract.tvn"
  rm -f "$out/name_index/.$extract.tvm"
done
