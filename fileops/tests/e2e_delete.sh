#!/usr/bin/env bash
# End to end: the real Tovn32.exe under Wine, typed at with xdotool. Space Space D and OK
# puts the two marked pictures into the desktop trash and greys their cells; where the
# input box exists, N renames the cursor file (which must be the next one) and K makes a
# folder, and the numbering is saved at close.
set -eu
bin=$1
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/scripts/wine-env.sh"
tovn_wine_prefix
work=$(mktemp -d)
pid=""
cleanup() { [ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

# Names of their own, so that earlier runs' files in the trash do not count.
tag=E$(date +%s%N | tail -c 7)
trash="$HOME/.local/share/Trash/files"
mkdir -p "$work/prog" "$work/pics"
cp "$bin/Tovn32.exe" "$work/prog/"
for i in 1 2 3 4; do
    convert -size 40x30 "xc:rgb($((i * 50)),90,200)" "BMP3:$work/pics/${tag}P$i.BMP"
done
printf '[Directory]\r\nBackup=1\r\n[Window]\r\nImg=2\r\n' > "$work/prog/Tovn32.INI"
pics=$("$tovn_wine" winepath -w "$work/pics" 2>/dev/null)

window_named() {
    local w=""
    for _ in $(seq "${2:-40}"); do
        w=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1 || true)
        [ -n "$w" ] && break
        sleep 0.5
    done
    echo "$w"
}
# A window just mapped may refuse the focus for a moment.
focus() {
    for _ in $(seq 10); do
        xdotool windowfocus --sync "$1" 2>/dev/null && return 0
        sleep 0.3
    done
    fail "cannot focus window $1"
}
grey_pixels() {
    import -window root "$work/shot.png"
    convert "$work/shot.png" -depth 8 txt:- | grep -c '#808080' || true
}

cd "$bin"
"$tovn_wine" "$work/prog/Tovn32.exe" "$pics" &
pid=$!
win=$(window_named '^Tovane 32$' 60)
[ -n "$win" ] || fail "no main window"
sleep 1
focus "$win"
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
for _ in $(seq 40); do kill -0 "$pid" 2>/dev/null || break; sleep 0.25; done
kill -0 "$pid" 2>/dev/null && fail "Q did not close the program"
pid=""
if [ "$renamed" = yes ]; then
    tr -d '\r' < "$work/prog/Tovn32.INI" > "$work/ini.txt"
    grep -qx 'ReName=PIC' "$work/ini.txt" || fail "ReName not saved"
    grep -qx 'ReNo=8' "$work/ini.txt" || fail "ReNo not 8"
fi
echo "file commands end to end: passed"
