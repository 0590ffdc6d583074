#!/usr/bin/env bash
# End to end: the real Tovn32.exe under Wine, typed at with xdotool. Space Space D and OK
# puts the two marked pictures into the desktop trash and greys their cells; where the
# input box exists, N renames the cursor file (which must be the next one) and K makes a
# folder, and the numbering is saved at close.
set -eu
source "$(dirname "$0")/../../tests/e2e/lib.sh" "$1"

# Names of their own, so that earlier runs' files in the trash do not count.
tag=E$(date +%s%N | tail -c 7)
trash="$HOME/.local/share/Trash/files"
for i in 1 2 3 4; do
    convert -size 40x30 "xc:rgb($((i * 50)),90,200)" "BMP3:$work/pics/${tag}P$i.BMP"
done
printf '[Directory]\r\nBackup=1\r\n[Window]\r\nImg=2\r\n' > "$work/prog/Tovn32.INI"
pics=$("$tovn_wine" winepath -w "$work/pics" 2>/dev/null)

grey_pixels() {
    import -window root "$work/shot.png"
    convert "$work/shot.png" -depth 8 txt:- | grep -c '#808080' || true
}

start_program "$pics"
before=$(grey_pixels)

xdotool key --window "$win" space space d
box=$(window_named '削除確認')
[ -n "$box" ] || fail "no delete confirmation"
focus "$box"
xdotool key Return
sleep 2
for i in 1 2; do
    [ -e "$work/pics/${tag}P$i.BMP" ] && fail "P$i still in the folder"
    ls "$trash" 2>/dev/null | grep -q "^${tag}P$i.BMP" || fail "P$i not in the trash"
done
[ -e "$work/pics/${tag}P3.BMP" ] || fail "P3 was removed"
after=$(grey_pixels)
[ "$after" -gt $((before + 400)) ] || fail "no grey cells ($before -> $after grey pixels)"
rm -f "$trash/${tag}"* "$HOME/.local/share/Trash/info/${tag}"*

focus "$win"
xdotool key --window "$win" n
box=$(window_named '連番リネーム' 10)
if [ -n "$box" ]; then
    focus "$box"
    xdotool type PIC
    xdotool key Return
    box=$(window_named 'ナンバー' 10)
    [ -n "$box" ] || fail "no number box"
    focus "$box"
    xdotool key ctrl+a BackSpace
    xdotool type 7
    xdotool key Return
    sleep 1
    [ -e "$work/pics/PIC007.BMP" ] || fail "the cursor file was not renamed to PIC007.BMP"
    [ -e "$work/pics/${tag}P4.BMP" ] || fail "P4 renamed instead of P3"
    focus "$win"
    xdotool key --window "$win" k
    box=$(window_named 'ディレクトリ作成' 10)
    [ -n "$box" ] || fail "no new-folder box"
    focus "$box"
    xdotool type NEWDIR
    xdotool key Return
    sleep 1
    [ -d "$work/pics/NEWDIR" ] || fail "K made no folder"
    renamed=yes
else
    echo "no input box in this build: rename and new folder not typed"
    renamed=no
fi

focus "$win"
xdotool key --window "$win" q
wait_closed || fail "Q did not close the program"
if [ "$renamed" = yes ]; then
    tr -d '\r' < "$work/prog/Tovn32.INI" > "$work/ini.txt"
    grep -qx 'ReName=PIC' "$work/ini.txt" || fail "ReName not saved"
    grep -qx 'ReNo=8' "$work/ini.txt" || fail "ReNo not 8"
fi
echo "file commands end to end: passed"
