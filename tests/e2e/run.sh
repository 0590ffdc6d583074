#!/usr/bin/env bash
# End to end: the real Tovn32.exe under Wine, typed at with xdotool, checked by what a user
# sees (the status bar, read from outside the program) and finds afterwards (the settings
# file it wrote).
set -eu
source "$(dirname "$0")/lib.sh" "$1"
mkdir -p "$work/pics/sub"
printf '[Window]\r\nImg=3\r\n' > "$work/prog/Tovn32.INI"
for i in $(seq 1 12); do
    n=$(printf %02d "$i")
    convert -size 40x30 "xc:rgb($((i * 20)),120,$((250 - i * 20)))" "BMP3:$work/pics/P$n.BMP"
done
echo hello > "$work/pics/README"
echo x > "$work/pics/X.C"
pics=$("$tovn_wine" winepath -w "$work/pics" 2>/dev/null)

start_program "$pics"

expect 1 "Normal"
expect 2 "Disp : 3*3(4)"
expect 3 "Page : 1/2"
expect 4 "$pics\\P01.BMP"
keys Right Right Down
expect 4 "$pics\\P06.BMP"
keys shift+Prior 2
expect 2 "Disp : 2*2(4)"
expect 3 "Page : 1/3"
keys shift+Next
expect 4 "$pics\\P09.BMP"
keys ctrl+d
expect 4 "$pics\\P10.BMP"
keys ctrl+5
expect 2 "Disp : 25*25(4)"
keys shift+ctrl+2 3
expect 2 "Disp : 3*3(4)"
keys Next
expect 4 "$pics\\P10.BMP"
keys j
box=$(window_named '^Page Jump$' 20)
[ -n "$box" ] || fail "J asked for no page"
focus "$box"
typed 1
closing_key "$box" Return
window_gone "$box" 10 "the page jump box"
expect 3 "Page : 1/2"
expect 4 "$pics\\P01.BMP"
answer_quit Escape # Cancel: still running
kill -0 "$pid" 2>/dev/null || fail "Esc with Cancel closed the program"
expect 1 "Normal"
quit_asked

tr -d '\r' < "$work/prog/Tovn32.INI" > "$work/ini.txt"
grep -qx 'Img=3' "$work/ini.txt" || { cat "$work/ini.txt"; fail "Img not 3"; }
grep -qx "Directory=${pics//\\/\\\\}\\\\" "$work/ini.txt" || { cat "$work/ini.txt"; fail "Directory"; }
grep -qx 'Key=126' "$work/ini.txt" || fail "capture key"
echo "end to end: passed"
