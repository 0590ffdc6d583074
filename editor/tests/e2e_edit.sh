#!/usr/bin/env bash
# End to end: the real Tovn32.exe under Wine, typed at with xdotool. E opens the editor on a
# 640 x 400 MAG picture; a range dragged from (50, 300) snaps to the 8-pixel grid; a fill
# and a text colour are picked from the picture, two lines typed, Write, Save: MG.EXE
# replaces the MAG file with the edited picture, which must equal a reference drawn by the
# probe. Then the same inside an archive, checked with lhasa.
set -eu
source "$(dirname "$0")/../../tests/e2e/lib.sh" "$1"
cp "$bin/MG.EXE" "$work/prog/"
probe() { (cd "$bin" && "$tovn_wine" tovn_edit_probe.exe "$@" 2>/dev/null | tr -d '\r'); }
winpath() { "$tovn_wine" winepath -w "$1" 2>/dev/null | tr -d '\r'; }
pics=$(winpath "$work/pics")
prog=$(winpath "$work/prog")
probe make "$pics\\A.MAG" || fail "no test picture"
cp "$work/pics/A.MAG" "$work/original.mag"

# The editor window and its client origin on the screen.
editor=""
ox=0 oy=0
# The window is centred again whenever its rectangle changes: the origin counts once two
# readings in a row agree.
origin_settled() {
    local o
    o=$(probe origin) && [ -n "$o" ] && [ "$o" = "${last_origin:-}" ] && return 0
    last_origin=$o
    echo "${o:-no origin}"
    return 1
}
origin() {
    last_origin=""
    wait_until 10 "the editor's origin does not settle" origin_settled
    read -r ox oy <<<"$last_origin"
}
wait_editor() {
    editor=$(window_named 'A\.MAG \(' 40)
    [ -n "$editor" ] || fail "no editor window"
    origin
}
click() { # click X Y [BUTTON]: at a point of the editor's client area
    xdotool mousemove --sync $((ox + $1)) $((oy + $2))
    xdotool click "${3:-1}"
    sleep 0.2
}
caption() {
    local got
    got=$(xdotool getwindowname "$editor" 2>/dev/null || true)
    [ "$got" = "$1" ] || { echo "'$got'"; return 1; }
}
caption_is() { wait_until 5 "editor caption is not '$1'" caption "$1"; }
wait_gone() { window_gone "$editor" 30 "the editor"; }
# Layout of a 640-wide editor: tool buttons of 120 below the 420-pixel image.
button=120
tool() { click $(($1 * button + 60)) 430; }

start_program "$pics"
keys e
wait_editor
caption_is "$pics\\A.MAG ( 48,302)-(591,375)"

tool 4 # range selection
xdotool mousemove --sync $((ox + 50)) $((oy + 300))
xdotool mousedown 1
for step in 1 2 3 4; do
    xdotool mousemove --sync $((ox + 50 + step * 37)) $((oy + 300 + step * 8))
done
caption_is "$pics\\A.MAG ( 48,300)-(199,332)"
xdotool mousemove --sync $((ox + 200)) $((oy + 340))
xdotool mouseup 1
caption_is "$pics\\A.MAG ( 48,300)-(207,340)"
origin

tool 0         # fill: the block at (10, 10) is palette entry 0
click 10 10
tool 2         # text: the block at (45, 10) is entry 1
click 45 10
click 100 460  # the memo, below the buttons at the rectangle's left
typed H i Return t h e r e
click 100 498  # Write (the memo is 48 high: the buttons' row starts at 489)
click 313 498  # Save
wait_gone

for f in A.BMP A.BAK; do [ -e "$work/pics/$f" ] && fail "$f was left"; done
printf '%s\r\n' "${pics:0:2}" "CD /D $pics" "IF ERRORLEVEL 1 GOTO :EOF" "$prog\\MG .MAG A.BMP" "DEL $pics\\A.BAK" \
    "DEL $pics\\A.BMP" >"$work/want.bat"
cmp -s "$work/want.bat" "$work/prog/TEMP.BAT" || {
    cat -A "$work/prog/TEMP.BAT"
    fail "TEMP.BAT is not the six lines"
}
probe check "$(winpath "$work/original.mag")" "$pics\\A.MAG" 48 300 207 340 4 0 1 Hi there ||
    fail "the saved MAG is not the edited picture"
tr -d '\r' <"$work/prog/Tovn32.INI" | grep -qx 'EndX=207' || fail "the rectangle was not kept"

# Inside an archive: the entry is replaced and the work folder is gone.
mkdir -p "$work/src"
cp "$work/original.mag" "$work/src/A.MAG"
probe pack "$pics\\PICS.LZH" "$(winpath "$work/src")\\A.MAG" || fail "cannot pack"
quit_with q
start_program "$pics\\PICS.LZH"
keys e
wait_editor
tool 0
click 45 10   # fill: entry 1
click 100 498 # Write
click 313 498 # Save
wait_gone
[ -e "$work/prog/TEMP" ] && fail "the work folder was left"
mkdir -p "$work/out"
(cd "$work/out" && lhasa x ../pics/PICS.LZH >/dev/null) || fail "lhasa cannot read the archive"
probe check "$(winpath "$work/original.mag")" "$(winpath "$work/out")\\A.MAG" 48 300 207 340 4 1 -1 ||
    fail "lhasa does not extract the edited picture"
quit_with q
echo "editor end to end: passed"
