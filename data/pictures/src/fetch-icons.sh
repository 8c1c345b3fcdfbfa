#!/usr/bin/env bash
# Copies the icon glyphs that poi-icons.txt names from the two CC0 icon packages
# of the npm registry into icons/, with their licence. Only needed to add or
# change a glyph: the copies in icons/ are committed, and make.py reads those.
set -euo pipefail
cd "$(dirname "$0")"

MAKI_VERSION=8.2.0
TEMAKI_VERSION=5.13.0

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$work" && npm pack --silent "@mapbox/maki@$MAKI_VERSION" "@rapideditor/temaki@$TEMAKI_VERSION" >/dev/null)
mkdir -p "$work/maki" "$work/temaki"
tar xzf "$work/mapbox-maki-$MAKI_VERSION.tgz" -C "$work/maki"
tar xzf "$work/rapideditor-temaki-$TEMAKI_VERSION.tgz" -C "$work/temaki"

rm -rf icons
mkdir -p icons/maki icons/temaki
# Every maki:NAME and temaki:NAME of the table.
names=$( (grep -v '^#' poi-icons.txt | grep -o '\(maki\|temaki\):[A-Za-z0-9_-]*') | sort -u)
for entry in $names; do
  set=${entry%%:*}
  name=${entry#*:}
  cp "$work/$set/package/icons/$name.svg" "icons/$set/$name.svg"
done
cp "$work/maki/package/LICENSE.txt" icons/LICENSE-maki.txt
cp "$work/temaki/package/LICENSE.md" icons/LICENSE-temaki.md
printf 'maki %s\ntemaki %s\n' "$MAKI_VERSION" "$TEMAKI_VERSION" > icons/VERSIONS
echo "$(echo "$names" | wc -l) glyphs copied into icons/"
