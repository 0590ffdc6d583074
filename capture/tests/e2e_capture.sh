#!/usr/bin/env bash
# End to end: capture mode turned on from the menu of the real Tovn32.exe, another program's
# window in front, the capture key pressed and released with xdotool; the BMP files the
# captures leave in the folder are compared with that window's known pattern.
# The capture key is F9 from the settings: Xvfb's keyboard map has no F15, and the key code
# xdotool maps for it for one stroke reaches Wine as 126 only now and then.
set -eu
source "$(dirname "$0")/../../tests/e2e/lib.sh" "$1"
cp "$bin/TovnKH.dll" "$work/prog/"
printf '[Window]\r\nImg=3\r\n[Capture]\r\nKey=120\r\n' > "$work/prog/Tovn32.INI"
for i in 1 2 3 4; do convert -size 40x30 "xc:rgb($((i * 50)),120,200)" "BMP3:$work/pics/P0$i.BMP"; done
pics=$("$tovn_wine" winepath -w "$work/pics" 2>/dev/null)
pattern_pid=""
trap 'cleanup; [ -n "$pattern_pid" ] && kill "$pattern_pid" 2>/dev/null; true' EXIT

# Whether the pattern window's title bar shows the active caption colour.
pattern_active() {
    local X Y WIDTH HEIGHT SCREEN WINDOW pixel
    eval "$(xdotool getwindowgeometry --shell "$pattern")"
    pixel=$(import -window root -crop "1x1+$((X + WIDTH - 30))+$((Y + 4))" txt:- 2>/dev/null | tail -1)
    [[ $pixel == *"#32329696FAFA"* ]]
}

# Brings a window to the front as a user does, with a click on its title bar (and the
# keyboard's focus, which no window manager hands over here), and waits until the pattern
# window's title bar shows it in front ($2 = yes) or behind ($2 = no).
activate() {
    for _ in 1 2 3; do
        focus "$1"
        xdotool mousemove --window "$1" 40 8 click 1
        for _ in $(seq 20); do
            if pattern_active; then [ "$2" = yes ] && return 0; else [ "$2" = no ] && return 0; fi
            sleep 0.25
        done
    done
    fail "window $1 does not come to the front"
}

visible_windows() { xdotool search --onlyvisible '' 2>/dev/null | sort; }
# Whether a window has been mapped since the list $1 was taken (a menu opened).
menu_opened() { [ -n "$(comm -13 <(echo "$1") <(visible_windows))" ] || { echo "no new window"; return 1; }; }

# The menu as a user reaches it: a click on the window menu's icon (Alt alone is the macro
# command, so Alt+Space would open the macro window), then along the menu bar to "ﾓｰﾄﾞ"
# and down to "ｷｬﾌﾟﾁｬｰ" with the keys.
capture_menu() {
    activate "$win" no
    local before
    before=$(visible_windows)
    xdotool mousemove --window "$win" 10 10 click 1
    wait_until 5 "the window menu did not open" menu_opened "$before"
    typed Right Right Right Down Down Return
}

# The pattern window in front, the capture key pressed and released.
press_capture_key() {
    activate "$pattern" yes
    typed F9
}

# Waits for a file in the folder; fails after five seconds.
wait_file() { wait_until 5 "no $1 in the folder" test -f "$work/pics/$1"; }

# The capture shows the pattern: 160 x 120, white frame of 4, red, lime, blue, yellow quarters.
expect_pattern() {
    convert -size 160x120 xc:white -fill red -draw 'rectangle 4,4 79,59' \
        -fill lime -draw 'rectangle 80,4 155,59' -fill blue -draw 'rectangle 4,60 79,115' \
        -fill yellow -draw 'rectangle 80,60 155,115' "$work/expected.png"
    local size diff
    size=$(identify -format '%wx%h' "$work/pics/$1")
    [ "$size" = 160x120 ] || fail "$1 is $size, not 160x120"
    diff=$(compare -metric AE "$work/pics/$1" "$work/expected.png" null: 2>&1 || true)
    [ "$diff" = 0 ] || fail "$1 differs from the pattern in $diff pixels"
}

count_captures() { find "$work/pics" -name 'TOVN_*.BMP' | wc -l; }
captures_are() { local n; n=$(count_captures); [ "$n" = "$1" ] || { echo "$n captures"; return 1; }; }

start_program "$pics"
expect 1 "Normal"
expect 2 "Disp : 3*3(2)"
(cd "$bin" && exec "$tovn_wine" capture_pattern.exe 600 420 160 120) &
pattern_pid=$!
pattern=$(window_named '^Capture Pattern$' 40)
[ -n "$pattern" ] || fail "no pattern window"

# Before capture mode the key does nothing.
press_capture_key
holds_for 1 "captured before capture mode was on" captures_are 0

capture_menu
expect 1 "Capture"
press_capture_key
wait_file TOVN_000.BMP
expect_pattern TOVN_000.BMP
holds_for 1 "one stroke captured more than once" captures_are 1
expect 2 "Disp : 3*3(3)" # the capture is the grid's fifth file

# Held down, it captures once, on release; another key does nothing.
activate "$pattern" yes
xdotool keydown F9
holds_for 1 "a held key captured before its release" captures_are 1
xdotool keyup F9
wait_file TOVN_001.BMP
typed F8
holds_for 1 "held key or F8 captured more than once" captures_are 2

# The first free number: with TOVN_001.BMP present the next capture writes TOVN_000.BMP.
rm "$work/pics/TOVN_000.BMP"
press_capture_key
wait_file TOVN_000.BMP
expect_pattern TOVN_000.BMP
for n in $(seq 2 999); do : > "$work/pics/TOVN_$(printf %03d "$n").BMP"; done
press_capture_key
wait_file TOVN_1000.BMP
expect_pattern TOVN_1000.BMP

# Off and on again keeps working.
capture_menu
expect 1 "Normal"
press_capture_key
holds_for 1 "captured with capture mode off" test ! -f "$work/pics/TOVN_1001.BMP"
capture_menu
expect 1 "Capture"
press_capture_key
wait_file TOVN_1001.BMP

activate "$win" no
typed alt+F4 # Esc, a command key, is ignored in capture mode
wait_closed || fail "the program did not close"

# Without TovnKH.dll the menu item gives the message and capture mode stays off.
mkdir "$work/bare"
cp "$bin/Tovn32.exe" "$work/bare/"
(cd "$work/bare" && exec "$tovn_wine" Tovn32.exe "$pics") &
pid=$!
win=$(window_named '^Tovane 32$' 60)
[ -n "$win" ] || fail "no main window"
wait_until 20 "the status bar stays empty" status_filled
capture_menu
box=$(window_named '^Can not Load TovnKH.DLL.$' 20)
[ -n "$box" ] || fail "no message for the missing library"
focus "$box"
closing_key "$box" Return
window_gone "$box" 10 "the message"
expect 1 "Normal"
echo "capture end to end: passed"
