#!/usr/bin/env bash
# End to end: the slide viewer of the real Tovn32.exe under Wine, typed at with xdotool one
# key at a time. Enter views the cursor picture at natural size, Space marks it and moves
# the browser on, F and Enter fit a picture to the screen, Shift+Enter shows the marked
# pictures, the arrows and N and B step, Space gives the mark band, any other key closes.
set -eu
source "$(dirname "$0")/../../tests/e2e/lib.sh" "$1"

convert -size 60x40 xc:'rgb(255,0,0)' "BMP3:$work/pics/A.BMP"
convert -size 100x50 xc:'rgb(0,255,0)' "BMP3:$work/pics/B.BMP"
convert -size 60x40 xc:'rgb(0,0,255)' "BMP3:$work/pics/C.BMP"
convert -size 60x40 xc:'rgb(255,255,255)' "BMP3:$work/pics/D.BMP"
printf '[Window]\r\nImg=2\r\n' > "$work/prog/Tovn32.INI"
pics=$("$tovn_wine" winepath -w "$work/pics" 2>/dev/null)

key() { xdotool key "$1"; sleep 0.2; }

# The viewer showing NAME: its window, focused.
viewer() {
    local v
    v=$(window_named "\\\\$1\$" 20)
    [ -n "$v" ] || fail "no viewer showing $1"
    focus "$v"
    echo "$v"
}
none_named() { [ -z "$(windows_named "$1")" ] || { echo "still shown"; return 1; }; }
closed() { wait_until 5 "the viewer showing $1 did not close" none_named "$1\$"; }
width() { xdotool getwindowgeometry "$1" | sed -n 's/.*Geometry: \([0-9]*\)x.*/\1/p'; }
# The colour on screen at x, y of a window (its top left corner including the frame).
colour_at() {
    eval "$(xdotool getwindowgeometry --shell "$1")"
    import -window root "$work/shot.png"
    convert "$work/shot.png" -crop "1x1+$((X + $2))+$((Y + $3))" -depth 8 txt:- | grep -o '#[0-9A-F]\{6\}'
}
colour_is() { # WINDOW X Y COLOUR
    local got
    got=$(colour_at "$1" "$2" "$3")
    [ "$got" = "$4" ] || { echo "$got"; return 1; }
}
expect_colour() { wait_until 5 "$5: not $4 at $2,$3" colour_is "$1" "$2" "$3" "$4"; }

start_program "$pics"
expect 4 "$pics\\A.BMP"

key Return
v=$(viewer A.BMP)
[ "$(width "$v")" = 100 ] || fail "a 60 x 40 picture: window $(width "$v") wide, not 100"
eval "$(xdotool getwindowgeometry --shell "$v")"
expect_colour "$v" 50 $((HEIGHT - 20)) '#FF0000' "the picture"
key space
closed A.BMP
expect 4 "$pics\\B.BMP"

focus "$win"
key f
key Return
v=$(viewer B.BMP)
screen=$(xdpyinfo | sed -n 's/.*dimensions: *\([0-9]*\)x.*/\1/p')
# The size is truncated from the single-precision scale: it may fall a pixel short.
fitted=$(width "$v")
[ "$fitted" = "$screen" ] || [ "$fitted" = $((screen - 1)) ] ||
    fail "fitted: window $fitted wide, not $screen"
eval "$(xdotool getwindowgeometry --shell "$v")"
expect_colour "$v" $((WIDTH / 2)) $((HEIGHT / 2)) '#00FF00' "the fitted picture"
key x
closed B.BMP

focus "$win"
key f
key space # B marked, on to C
key space # C marked, on to D
key shift+Return
v=$(viewer A.BMP)
key Right
viewer B.BMP >/dev/null
key n
viewer C.BMP >/dev/null
key Right # the last: a beep, C stays
holds_for 1 "Right moved on from the last picture" none_named '\\[ABD]\.BMP$'
viewer C.BMP >/dev/null
key Left
viewer B.BMP >/dev/null
key b
v=$(viewer A.BMP)
key space # A marked, on to B
viewer B.BMP >/dev/null
key Left # A again, with its red band XORed over red: black below, red above
v=$(viewer A.BMP)
eval "$(xdotool getwindowgeometry --shell "$v")"
expect_colour "$v" 50 $((HEIGHT - 9)) '#000000' "the mark band"
expect_colour "$v" 50 $((HEIGHT - 26)) '#FF0000' "above the mark band"
key Up
closed A.BMP
expect 4 "$pics\\A.BMP"

quit_with q
echo "slide viewer end to end: passed"
