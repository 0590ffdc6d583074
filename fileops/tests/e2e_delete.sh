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
    import -window "$win" "$work/shot.png" 2>/dev/null || { echo 0; return; }
    convert "$work/shot.png" -depth 8 txt:- | grep -c '#808080' || true
}
# The grey of removed cells, more than $1 pixels of it.
greyed() {
    local n
    n=$(grey_pixels)
    [ "$n" -gt "$1" ] || { echo "$n grey pixels"; return 1; }
}
# The two deleted pictures are out of the folder and in the trash; the others stay.
deleted_to_trash() {
    local i
    for i in 1 2; do
        [ -e "$work/pics/${tag}P$i.BMP" ] && { echo "P$i still in the folder"; return 1; }
        ls "$trash" 2>/dev/null | grep -q "^${tag}P$i.BMP" || { echo "P$i not in the trash"; return 1; }
    done
    for i in 3 4; do [ -e "$work/pics/${tag}P$i.BMP" ] || { echo "P$i was removed"; return 1; }; done
}
# Waits for a dialog named $1 and focuses it; sets $box.
dialog() {
    box=$(window_named "$1" 20)
    [ -n "$box" ] || fail "$2"
    focus "$box"
}
# Answers the focused dialog $box with Return and waits for it to close.
confirm() {
    closing_key "$box" Return
    window_gone "$box" 10 "$1"
}

start_program "$pics"
# All four cells painted before the grey is counted.
wait_until 20 "the page is not painted" window_shows 100 '#325AC8' '#645AC8' '#965AC8' '#C85AC8'
before=$(grey_pixels)

keys space space d
dialog '削除確認' "no delete confirmation"
confirm "the delete confirmation"
wait_until 20 "the marked pictures did not go to the trash" deleted_to_trash
wait_until 10 "no grey cells (before: $before grey pixels)" greyed $((before + 400))
rm -f "$trash/${tag}"* "$HOME/.local/share/Trash/info/${tag}"*

focus "$win"
before=$(windows_named '連番リネーム')
keys n
box=$(window_named '連番リネーム' 10 "$before")
if [ -n "$box" ]; then
    focus "$box"
    type_text PIC
    confirm "the rename box"
    dialog 'ナンバー' "no number box"
    typed ctrl+a BackSpace
    type_text 7
    confirm "the number box"
    wait_until 10 "the cursor file was not renamed to PIC007.BMP" test -e "$work/pics/PIC007.BMP"
    [ -e "$work/pics/${tag}P4.BMP" ] || fail "P4 renamed instead of P3"
    focus "$win"
    keys k
    dialog 'ディレクトリ作成' "no new-folder box"
    type_text NEWDIR
    confirm "the new-folder box"
    wait_until 10 "K made no folder" test -d "$work/pics/NEWDIR"
    renamed=yes
else
    echo "no input box in this build: rename and new folder not typed"
    renamed=no
fi

quit_with q
if [ "$renamed" = yes ]; then
    tr -d '\r' < "$work/prog/Tovn32.INI" > "$work/ini.txt"
    grep -qx 'ReName=PIC' "$work/ini.txt" || fail "ReName not saved"
    grep -qx 'ReNo=8' "$work/ini.txt" || fail "ReNo not 8"
fi
echo "file commands end to end: passed"
