#!/usr/bin/env bash
# End to end: the real Tovn32.exe under Wine, typed at with xdotool, checked by what a user
# finds afterwards (the settings file it wrote, the window it showed).
set -eu
bin=$1
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/scripts/wine-env.sh"
tovn_wine_prefix
work=$(mktemp -d)
pid=""
cleanup() { [ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
mkdir -p "$work/prog" "$work/pics/sub"
cp "$bin/Tovn32.exe" "$work/prog/"
for i in $(seq 1 10); do
    n=$(printf %02d "$i")
    convert -size 40x30 "xc:rgb($((i * 20)),120,$((250 - i * 20)))" "BMP3:$work/pics/P$n.BMP"
done
echo hello > "$work/pics/README"
echo x > "$work/pics/X.C"
pics=$("$tovn_wine" winepath -w "$work/pics" 2>/dev/null)
cd "$bin"
"$tovn_wine" "$work/prog/Tovn32.exe" "$pics" &
pid=$!
win=""
for _ in $(seq 60); do
    win=$(xdotool search --name '^Tovane 32$' 2>/dev/null | head -1 || true)
    [ -n "$win" ] && break
    sleep 0.5
done
[ -n "$win" ] || { echo "FAIL: no main window"; exit 1; }
sleep 1
xdotool windowfocus --sync "$win"
import -window root "$work/shot.png"
xdotool key --window "$win" 3
sleep 0.5
xdotool key --window "$win" Right Right Down
sleep 0.5
xdotool key --window "$win" q
for _ in $(seq 40); do kill -0 "$pid" 2>/dev/null || break; sleep 0.25; done
if kill -0 "$pid" 2>/dev/null; then echo "FAIL: Q did not close the program"; exit 1; fi
pid=""
ini="$work/prog/Tovn32.INI"
[ -f "$ini" ] || { echo "FAIL: no settings file written"; exit 1; }
tr -d '\r' < "$ini" > "$work/ini.txt"
grep -qx 'Img=3' "$work/ini.txt" || { echo "FAIL: Img not 3"; cat "$work/ini.txt"; exit 1; }
grep -qx "Directory=${pics//\\/\\\\}\\\\" "$work/ini.txt" || { echo "FAIL: Directory"; cat "$work/ini.txt"; exit 1; }
grep -qx 'Key=126' "$work/ini.txt" || { echo "FAIL: capture key"; exit 1; }
echo "end to end: passed"
