#!/usr/bin/env bash
# End to end: the macro window typed at under Wine, the batches run by Wine's cmd.exe.
# Alt opens the window; Insert, "COPY $M SUB", Enter stores slot A; "a" runs it over two
# marked pictures. Slot B, "NOTEPAD", is started directly and waited for while the
# browser keeps painting. Inside an archive, slot C appends a line to each extracted
# copy, and lhasa finds the new bytes in the archive; no work folder is left.
set -eu
source "$(dirname "$0")/../../tests/e2e/lib.sh" "$1"

for i in 1 2 3; do convert -size 40x30 "xc:rgb($((i * 60)),90,200)" "BMP3:$work/pics/P$i.BMP"; done
mkdir "$work/pics/SUB"
printf '[Window]\r\nImg=2\r\n' > "$work/prog/Tovn32.INI"
pics=$("$tovn_wine" winepath -w "$work/pics" 2>/dev/null)

# The keysyms that type a text.
keysyms() {
    local text=$1 i c
    for ((i = 0; i < ${#text}; i++)); do
        c=${text:i:1}
        case $c in
        ' ') echo space ;; '$') echo dollar ;; '>') echo greater ;; '@') echo at ;;
        *) echo "$c" ;;
        esac
    done
}
macro_window() { window_named '^TOVANE 32 マクロ$' "${1:-40}"; }
# Waits up to $1 seconds for the macro window to close.
macro_closed() { window_gone "$mcr" "${1:-20}" "the macro window"; }
# Alt, then the macro window focused.
open_macros() {
    focus "$win"
    keys Alt_L
    mcr=$(macro_window)
    [ -n "$mcr" ] || fail "Alt opened no macro window"
    focus "$mcr"
}
# Insert on the highlighted slot, the text typed into the input box, Enter.
store_macro() {
    typed Insert
    box=$(window_named 'Input Tovane 32 MCR')
    [ -n "$box" ] || fail "no macro input box"
    focus "$box"
    # shellcheck disable=SC2046
    typed $(keysyms "$1")
    closing_key "$box" Return
    window_gone "$box" 10 "the macro input box"
    focus "$mcr"
}
shot() { import -window root "$work/shot.png"; }
# How many pixels of the screenshot have the colour #RRGGBB.
pixels() { convert "$work/shot.png" -depth 8 txt:- | grep -ci "#$1" || true; }
# Conditions on a new screenshot: the mark bands of P1 and P2 shown (more than 100 pixels
# of them) or gone; P3's cell showing more (or fewer) than N pixels of its colour.
marks_shown() {
    shot
    local n=$(($(pixels C35AC8) + $(pixels 875AC8))) # P1 and P2 under the red XOR mark band
    [ "$1" = yes ] && [ "$n" -gt 100 ] && return 0
    [ "$1" = no ] && [ "$n" -eq 0 ] && return 0
    echo "$n pixels of mark bands"
    return 1
}
p3_above() { shot; local n; n=$(pixels B45AC8); [ "$n" -gt "$1" ] || { echo "$n pixels of P3"; return 1; }; }
p3_below() { shot; local n; n=$(pixels B45AC8); [ "$n" -lt "$1" ] || { echo "$n pixels of P3"; return 1; }; }

start_program "$pics"
keys space space
wait_until 10 "no mark bands to start with" marks_shown yes

open_macros
store_macro 'COPY $M SUB'
typed a
macro_closed
for i in 1 2; do [ -f "$work/pics/SUB/P$i.BMP" ] || fail "P$i not copied into SUB"; done
[ -e "$work/pics/SUB/P3.BMP" ] && fail "P3 copied though not marked"
expected=$(printf '%s\r\n' "${pics:0:2}" "CD /D $pics" "IF ERRORLEVEL 1 GOTO :EOF" "@CALL COPY P1.BMP SUB" "@CALL COPY P2.BMP SUB")
[ "$(cat "$work/prog/TEMP.BAT")" = "$expected" ] || { cat -A "$work/prog/TEMP.BAT"; fail "TEMP.BAT"; }
wait_until 10 "marks still shown after the run" marks_shown no
tr -d '\r' < "$work/prog/Tovn32.MCR" | head -1 | grep -qx 'COPY \$M SUB' || fail "slot A not saved"

# A program started directly: the browser keeps painting while it runs. Notepad opens
# away from the browser, and a window of another program covers the browser for a moment.
for v in X:560 Y:420 DX:400 DY:300; do
    "$tovn_wine" reg add 'HKCU\Software\Microsoft\Notepad' /v "iWindowPos${v%%:*}" \
        /t REG_DWORD /d "${v#*:}" /f >/dev/null 2>&1
done
open_macros
typed Down
store_macro 'NOTEPAD'
typed b
pad=$(window_named 'メモ帳|Notepad')
[ -n "$pad" ] || fail "NOTEPAD did not start"
padpid=$(xdotool getwindowpid "$pad" 2>/dev/null || true)
trap 'kill "$padpid" 2>/dev/null || true; cleanup' EXIT
wait_until 10 "P3 not on the screen" p3_above 100
before=$(pixels B45AC8)
eval "$(xdotool getwindowgeometry --shell "$win")"
xmessage -geometry "${WIDTH}x${HEIGHT}+${X}+${Y}" "cover" &
cover=$!
wait_until 10 "the browser was not covered" p3_below $((before / 10))
kill "$cover"
wait_until 10 "the browser did not repaint while NOTEPAD ran (before: $before pixels)" \
    p3_above $((before * 9 / 10 - 1))
window_shown "$mcr" || fail "the macro window closed before NOTEPAD ended"
focus "$pad"
typed alt+F4
window_gone "$pad" 10 "NOTEPAD"
macro_closed 20
quit_with q

# Inside an archive: the changed copies go back, the work folder goes.
mkdir "$work/arc"
cp "$work/pics/P1.BMP" "$work/arc/L1.BMP"
cp "$work/pics/P2.BMP" "$work/arc/L2.BMP"
(cd "$work/arc" && jlha a ARC.LZH L1.BMP L2.BMP >/dev/null 2>&1)
arc=$("$tovn_wine" winepath -w "$work/arc/ARC.LZH" 2>/dev/null)
start_program "$arc"
expect 1 "Lha"
keys space space
open_macros
typed Down Down
store_macro 'ECHO X>>$M'
typed c
macro_closed
[ -e "$work/prog/TEMP" ] && fail "the work folder is still there"
mkdir "$work/out"
(cd "$work/out" && lhasa xq "$work/arc/ARC.LZH") || fail "lhasa cannot read the archive"
# The copies grew by the macro's line (Wine's cmd.exe also writes its echo of the command).
for i in 1 2; do
    name=$(ls "$work/out" | grep -i "^l$i.bmp$")
    size=$(stat -c %s "$work/arc/L$i.BMP")
    cmp -s -n "$size" "$work/arc/L$i.BMP" "$work/out/$name" &&
        [ "$(stat -c %s "$work/out/$name")" -gt "$size" ] &&
        [ "$(tail -c 3 "$work/out/$name" | od -An -c | tr -d ' ')" = 'X\r\n' ] ||
        fail "L$i in the archive does not hold the macro's change"
done
quit_with q
echo "macros end to end: passed"
