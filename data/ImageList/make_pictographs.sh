#!/bin/sh
# Remakes the pictograph images (<decimal>.gif) and ImageList.lst in this folder.
#
#   data/ImageList/make_pictographs.sh [pictographs.csv] [size] [pictographs-carriers.csv]
#
# The tables default to tools/pictographs/pictographs.csv (the picker's 176, with the list) and
# tools/pictographs/pictographs-carriers.csv (every DoCoMo and au pictograph, images only), the
# size to 20 pixels.
# Needs: g++, pkg-config, qt6-base-dev, fonts-noto-color-emoji, fonts-dejavu-core,
# imagemagick (convert) and iconv (libc-bin).
set -eu

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
csv=${1:-$root/tools/pictographs/pictographs.csv}
size=${2:-20}
carriers=${3:-$root/tools/pictographs/pictographs-carriers.csv}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# shellcheck disable=SC2046 # pkg-config prints several words on purpose
g++ -std=c++20 -O1 -fPIC -o "$work/make_pictographs" "$root/tools/pictographs/make_pictographs.cpp" \
    $(pkg-config --cflags --libs Qt6Gui)

mkdir "$work/out"
"$work/make_pictographs" "$csv" "$work/out" "$size" "$carriers"

# iconv stops at the first character that code page 932 cannot hold, so nothing is lost quietly.
iconv -f UTF-8 -t CP932 "$work/out/ImageList.txt" >"$work/ImageList.lst"

count=0
for png in "$work/out"/*.png; do
    name=$(basename "$png" .png)
    convert "$png" -strip "$work/out/$name.gif"
    count=$((count + 1))
done
[ "$count" -eq 929 ] || { echo "expected 929 images, made $count" >&2; exit 1; }

rm -f "$here"/*.gif
mv "$work/out"/*.gif "$here/"
mv "$work/ImageList.lst" "$here/ImageList.lst"
echo "made $count pictographs of ${size}x${size} in $here"
