#!/usr/bin/env bash
# Runs the photo benchmarks and prints one table (see README.md). Builds nothing: run
# `scripts/build win32` first. Makes the pictures once (make_photos.sh), installs
# vipsthumbnail (libvips-tools) when it is missing, and runs photo_bench.exe under
# scripts/wine-run, one process per measurement, vipsthumbnail timed in the same rounds.
# Usage: bench/photo/run.sh [BIN_DIR]   (default build/win32/bin)
# Environment: ROUNDS (first and second visits, default 3), PHOTO_CACHE (the pictures,
# default build/photo_bench), SKIP_MEMORY=1 (leave out the paging of 2 x 1000 pictures),
# MEMORY_PAGES (pages paged through, default 10: all 1000 pictures).
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
bin=${1:-$root/build/win32/bin}
cache=${PHOTO_CACHE:-$root/build/photo_bench}
rounds=${ROUNDS:-3}
[ -f "$bin/photo_bench.exe" ] || { echo "no $bin/photo_bench.exe: run scripts/build win32" >&2; exit 2; }
if ! command -v vipsthumbnail >/dev/null; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y libvips-tools >/dev/null
fi
"$root/bench/photo/make_photos.sh" "$cache"

figures=$(mktemp) thumbs=$(mktemp -d)
trap 'rm -rf "$figures" "$thumbs"' EXIT
windows_path() { local p=$1; echo "Z:${p//\//\\}"; }
load() { echo "$1 $(cut -d' ' -f1-3 /proc/loadavg)" >>"$figures"; }

# One process of the benchmark: test, picture folder, program folder, round. Its figures
# are kept as "test round name value"; a failed run shows its whole output.
measure() {
    local test=$1 photos=$2 program=$3 round=$4 out
    shift 4
    if ! out=$(cd "$bin" && "$root/scripts/wine-run" photo_bench.exe --gtest_filter="PhotoBench.$test" \
        --photos="$(windows_path "$photos")" --program="$(windows_path "$program")" "$@" 2>&1 | tr -d '\r'); then
        echo "$out" >&2
        echo "photo_bench $test failed" >&2
        exit 1
    fi
    echo "$out" | grep -q '^\[  PASSED  \] 1 test' || { echo "$out" >&2; exit 1; }
    echo "$out" | awk -v t="$test" -v r="$round" '$1 == "figure" {print t, r, $2, $3}' >>"$figures"
}

# Milliseconds of one vipsthumbnail process over the 100 photos at the cells' size.
vips_ms() {
    local size=$1 start end
    rm -f "$thumbs"/*
    start=$(date +%s%N)
    vipsthumbnail -s "$size" -o "$thumbs/%s.jpg" "$cache"/page/p*.jpg
    end=$(date +%s%N)
    echo $(((end - start) / 1000000))
}

load load_start
echo "photo page, $rounds rounds (each a new program folder, then vipsthumbnail) ..." >&2
for r in $(seq "$rounds"); do
    rm -rf "$cache/program"
    measure FirstVisit "$cache/page" "$cache/program" "$r"
    size=$(awk '$3 == "cell_width" {w = $4} $3 == "cell_height" {h = $4} END {print int(w) "x" int(h)}' "$figures")
    echo "vips $r vipsthumbnail $(vips_ms "$size")" >>"$figures"
done
echo "second visits over the same program folder ..." >&2
for r in $(seq "$rounds"); do measure SecondVisit "$cache/page" "$cache/program" "$r"; done
if [ "${SKIP_MEMORY:-0}" != 1 ]; then
    echo "paging through 1000 photos, then 1000 small pictures ..." >&2
    for kind in big small; do
        rm -rf "$cache/program-$kind"
        measure Paging "$cache/$kind" "$cache/program-$kind" "$kind" --pages="${MEMORY_PAGES:-10}"
    done
fi
load load_end

awk -v rounds="$rounds" -v cores="$(nproc)" -f "$root/bench/photo/table.awk" "$figures"
