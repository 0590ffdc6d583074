#!/usr/bin/env bash
# End to end: a page that was not decoded ahead fills in cell by cell where the user sees it,
# and no painted cell goes blank again before the page is whole. Every picture has a colour
# of its own, so a screenshot tells which cells are painted.
set -eu
source "$(dirname "$0")/lib.sh" "$1"
printf '[Window]\r\nImg=4\r\n' > "$work/prog/Tovn32.INI"

colour() { printf '%02X%02X%02X' $((40 + 4 * $1)) $((230 - 4 * $1)) $((24 + ($1 * 53) % 200)); }
# Pages 1 and 2 are small pictures; page 3 is large ones, slow enough to decode that the
# filling can be watched.
for i in $(seq 1 48); do
    size=40x30
    [ "$i" -gt 32 ] && size=2000x1500
    convert -size $size "xc:#$(colour "$i")" "PNG24:$work/pics/P$(printf %02d "$i").PNG"
done
pics=$("$tovn_wine" winepath -w "$work/pics" 2>/dev/null)

# How many of the pictures FIRST..LAST show in the program's window now: a cell, not a stray
# pixel, is a few hundred pixels of the picture's colour.
cells_shown() {
    local wanted
    wanted=$(for i in $(seq "$1" "$2"); do echo "#$(colour "$i")"; done)
    import -window "$win" "$work/shot.png" 2>/dev/null || { echo -1; return; }
    convert "$work/shot.png" -format %c histogram:info:- 2>/dev/null |
        awk -v wanted="$wanted" 'BEGIN {split(wanted, w, "\n"); for (i in w) want[w[i]] = 1}
            {sub(":", "", $1)} want[$3] && $1 + 0 > 300 {n++} END {print n + 0}'
}

# Takes screenshots until all of FIRST..LAST show (or a minute passes); the counts seen.
watch_page() {
    local seen="" n
    for _ in $(seq 300); do
        n=$(cells_shown "$1" "$2")
        seen="$seen $n"
        [ "$n" -eq $(($2 - $1 + 1)) ] && break
    done
    echo "$seen"
}

start_program "$pics"
expect 3 "Page : 1/3"
first=$(watch_page 1 16)
[ "${first##* }" = 16 ] || fail "page 1 never showed all its cells:$first"

# Page 3 is not next to page 1, so nothing of it was decoded ahead.
keys shift+Next
seen=$(watch_page 33 48)
expect 3 "Page : 3/3"
echo "cells of page 3 seen while it painted:$seen"
[ "${seen##* }" = 16 ] || fail "page 3 never showed all its cells:$seen"
partial=0 last=0
for n in $seen; do
    [ "$n" -ge "$last" ] || fail "a painted cell vanished again:$seen"
    [ "$n" -gt 0 ] && [ "$n" -lt 16 ] && partial=$((partial + 1))
    last=$n
done
[ "$partial" -gt 0 ] || fail "page 3 appeared at once, not cell by cell:$seen"

quit_with q
echo "page fill end to end: passed"
