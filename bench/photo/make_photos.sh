#!/usr/bin/env bash
# Makes the photo benchmark's pictures once into a cache folder (kept; delete it to make them
# again), all JPEG with photo-like content (fractal plasma with sensor-like noise, not flat
# colour) at quality 90 with 2x2 chroma subsampling, as cameras write them:
#   page/   100 small pictures a000-a099 (320 x 240; the page the program opens on) and
#           100 distinct photos p000-p099 of 2000 x 1500 (the page measured)
#   big/    1000 photos of 4000 x 3000 (4 distinct ones under 1000 names, hard links)
#   small/  1000 pictures of 640 x 400 (4 distinct ones under 1000 names, hard links)
# Usage: bench/photo/make_photos.sh CACHE_FOLDER
set -eu
cache=${1:?usage: make_photos.sh CACHE_FOLDER}
command -v convert >/dev/null || { echo "ImageMagick's convert is needed" >&2; exit 2; }
[ -f "$cache/.done" ] && exit 0
mkdir -p "$cache/page" "$cache/big" "$cache/small" "$cache/base"
jpeg=(-quality 90 -sampling-factor 2x2)

echo "making the photo benchmark's pictures in $cache (several minutes, once)" >&2
# One 4000 x 3000 base (the slow step, kept when a run is broken off); three more turned and
# tinted from it, so that no two pictures share their pixels. Every picture is cut or
# scaled from these.
[ -f "$cache/base/b0.mpc" ] ||
    convert -seed 7 -size 1000x750 plasma:fractal -blur 0x1 -resize 4000x3000 \
        -attenuate 0.4 +noise Gaussian "$cache/base/b0.mpc"
turns=("" "-rotate 180 -modulate 100,100,150" "-flop -modulate 95,120,60" "-flip -modulate 105,80,170")
for i in 0 1 2 3; do
    # shellcheck disable=SC2086 # the turn is a list of arguments
    [ -f "$cache/base/b$i.mpc" ] || convert "$cache/base/b0.mpc" ${turns[$i]} "$cache/base/b$i.mpc"
    convert "$cache/base/b$i.mpc" "${jpeg[@]}" "$cache/base/big$i.jpg"
    convert "$cache/base/b$i.mpc" -resize 640x400! "${jpeg[@]}" "$cache/base/small$i.jpg"
    convert "$cache/base/b$i.mpc" -resize 320x240 "${jpeg[@]}" "$cache/base/page$i.jpg"
done

# Hard links of the distinct pictures under count names: name-prefix, digits, count.
spread() {
    local from=$1 to=$2 prefix=$3 digits=$4 count=$5 n
    for ((n = 0; n < count; n++)); do
        ln -f "$cache/base/$from$((n % 4)).jpg" "$(printf "%s/%s%0${digits}d.jpg" "$to" "$prefix" $n)"
    done
}
spread page "$cache/page" a 3 100
spread big "$cache/big" b 4 1000
spread small "$cache/small" s 4 1000

# 100 distinct photos: each a different 2000 x 1500 cut of a base, mirrored and tinted.
for ((n = 0; n < 100; n++)); do
    x=$(((n * 197) % 2000)) y=$(((n * 131) % 1500)) flip=()
    ((n % 2)) && flip=(-flop)
    convert "$cache/base/b$((n % 4)).mpc" -crop "2000x1500+$x+$y" +repage "${flip[@]}" \
        -modulate 100,$((90 + n % 30)),$((60 + (n * 7) % 80)) "${jpeg[@]}" \
        "$(printf "%s/page/p%03d.jpg" "$cache" $n)"
done
rm -f "$cache"/base/*.mpc "$cache"/base/*.cache
touch "$cache/.done"
