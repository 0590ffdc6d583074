#!/usr/bin/env bash
# Lists the 10 000-member archive through the archive library as archive mode does (list_bench
# under Wine; it makes the archive beside itself on first use) and sets the median against
# 7-Zip's listing of the same archive, timed right after in the same run.
# Usage: bench/list/archive_list.sh [BIN_DIR]   (default build/win32/bin)
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
bin=${1:-$root/build/win32/bin}
rounds=5
command -v 7zz >/dev/null || { echo "7zz (Debian's 7zip) is needed" >&2; exit 2; }

# Milliseconds of one 7-Zip listing, output thrown away as the program has none.
seven_zip_ms() {
    local start end
    start=$(date +%s%N)
    7zz l "$bin/list_bench_archive.lzh" >/dev/null
    end=$(date +%s%N)
    echo $(((end - start) / 1000))
}
median() { tr ' ' '\n' | sort -n | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }

cd "$bin"
out=$("$root/scripts/wine-run" list_bench.exe --gtest_filter='ArchiveList.*' | tr -d '\r')
echo "$out" | grep -v '^\[' || true
program=$(echo "$out" | sed -n 's/^ *archive library listing *\([0-9.]*\) ms.*/\1/p')
[ -n "$program" ] || { echo "list_bench printed no listing time" >&2; exit 1; }
times=""
for _ in $(seq $rounds); do times="$times $(seven_zip_ms)"; done
seven=$(echo $times | median | awk '{printf "%.1f", $1 / 1000}')
echo "  7zz l, same archive       $(printf '%8.1f' "$seven") ms  (median of $rounds runs, start-up included)"
awk -v p="$program" -v s="$seven" 'BEGIN {printf "  archive library / 7-Zip   %8.2f x\n", p / s}'
