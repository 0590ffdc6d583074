# Sourced by the end-to-end scripts: a scratch folder with a copy of the program, the
# program started under Wine, and what a user sees of it.
# Usage: source lib.sh BIN_DIR; then $work/prog holds Tovn32.exe and $work/pics is empty.
#
# Every step waits for what it expects and fails with what it saw: a key is followed by a
# wait for its effect (a window, a file, a status text, pixels), never by a fixed sleep.
# The only pauses left are a typist's pace between keys and the time a key is held.
bin=$1
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
source "$root/scripts/wine-env.sh"
tovn_wine_prefix
work=$(mktemp -d)
pid=""
win=""
cleanup() { [ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
# A failure says what was on the screen: the named windows shown then. To stderr, so that it
# is seen also from inside $(...).
fail() {
    echo "FAIL: $*" >&2
    local w
    for w in $(xdotool search --onlyvisible --name . 2>/dev/null); do
        echo "  shown: $w $(xdotool getwindowname "$w" 2>/dev/null)" >&2
    done
    exit 1
}
mkdir -p "$work/prog" "$work/pics"
cp "$bin/Tovn32.exe" "$work/prog/"

# wait_until SECONDS WHAT COMMAND...: runs COMMAND (in this shell: it may keep state)
# until it succeeds; after SECONDS fails with WHAT and what the last try printed.
wait_until() {
    local limit=$1 what=$2
    shift 2
    local deadline=$((SECONDS + limit))
    while :; do
        "$@" >"$work/last-try" 2>&1 && return 0
        [ "$SECONDS" -ge "$deadline" ] && fail "$what (last seen: $(cat "$work/last-try"))"
        sleep 0.1
    done
}

# holds_for SECONDS WHAT COMMAND...: for a key that must do nothing, COMMAND keeps
# succeeding for SECONDS after it; fails with WHAT as soon as it does not.
holds_for() {
    local limit=$1 what=$2
    shift 2
    local deadline=$((SECONDS + limit))
    while [ "$SECONDS" -lt "$deadline" ]; do
        "$@" >"$work/last-try" 2>&1 || fail "$what (seen: $(cat "$work/last-try"))"
        sleep 0.1
    done
}

# The visible windows whose name matches, one a line.
windows_named() { xdotool search --onlyvisible --name "$1" 2>/dev/null || true; }

# The first visible window whose name matches and that is not one of the windows listed in
# $3 (those seen before the key that opens the new one), waiting up to $2 half-seconds;
# empty when none came.
window_named() {
    local w="" deadline=$((SECONDS + (${2:-40} + 1) / 2))
    while :; do
        w=$(windows_named "$1" | grep -vxF -e "${3:-none}" | head -1 || true)
        [ -n "$w" ] || [ "$SECONDS" -ge "$deadline" ] && break
        sleep 0.1
    done
    echo "$w"
}

# Whether window $1 still exists and is mapped.
window_shown() { xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }

window_hidden() { ! window_shown "$1" || { echo "still shown"; return 1; }; }
# Waits up to $2 seconds (10) for window $1 to be gone; fails naming $3.
window_gone() { wait_until "${2:-10}" "${3:-window $1} did not close" window_hidden "$1"; }

# A window just mapped may refuse the focus for a moment.
focus() {
    local deadline=$((SECONDS + 5))
    until xdotool windowfocus --sync "$1" 2>/dev/null; do
        [ "$SECONDS" -ge "$deadline" ] && fail "cannot focus window $1"
        sleep 0.1
    done
}

# Keys typed one at a time at a typist's pace: to the window $win (keys) or to whichever
# window has the focus, a dialog (typed).
keys() { for k in "$@"; do xdotool key --window "$win" "$k" || fail "key $k not sent"; sleep 0.15; done; }
typed() { for k in "$@"; do xdotool key "$k" || fail "key $k not sent"; sleep 0.15; done; }
# A text typed into the focused window, one character per key event.
type_text() {
    local i
    for ((i = 0; i < ${#1}; i++)); do
        xdotool type -- "${1:i:1}" || fail "cannot type '${1:i:1}'"
        sleep 0.05
    done
}

# closing_key WINDOW KEY: a key that closes WINDOW (or the whole program) on its key-down.
# It is typed as a person does, through the keyboard to the focused window, so the key-up
# finds whichever window has the focus then, and the key is never left held; a key-up sent
# to the closed window itself would fail, or be lost and leave Wine thinking it is held.
# The caller then waits for what the key must cause (wait_closed, window_gone).
closing_key() {
    focus "$1"
    xdotool key "$2" || fail "key $2 not typed into window $1"
}

# quit_with KEY: KEY to the main window ends the program.
quit_with() {
    focus "$win"
    closing_key "$win" "$1"
    wait_closed || fail "$1 did not close the program"
}

# Status-bar panel N (1..4) as the program shows it.
status() { (cd "$bin" && "$tovn_wine" tovn_status_probe.exe 2>/dev/null | tr -d '\r' | sed -n "$1p"); }
panel_is() { # panel_is PANEL TEXT: prints what the panel shows when it is something else
    local got
    got=$(status "$1")
    [ "$got" = "$2" ] || { echo "'$got'"; return 1; }
}
status_filled() { [ -n "$(status 1)" ] || { echo "an empty status bar"; return 1; }; }
expect() { wait_until 10 "panel $1 does not show '$2'" panel_is "$1" "$2"; }

# Starts the program on a Windows path; sets $pid and $win (the main window, focused, its
# status bar filled: the program is taking messages).
# By default the copy in $work/prog runs with BIN_DIR as current folder, where its
# components are; given a FOLDER, its Tovn32.exe runs from there, as Explorer starts it.
start_program() { # start_program PATH [FOLDER]
    local exe=$work/prog/Tovn32.exe dir=$bin
    [ -z "${2:-}" ] || { exe=$2/Tovn32.exe; dir=$2; }
    [ -z "$(windows_named '^Tovane 32$')" ] || fail "a main window of an earlier run is still there"
    cd "$dir"
    "$tovn_wine" "$exe" "$1" &
    pid=$!
    win=$(window_named '^Tovane 32$' 60)
    [ -n "$win" ] || fail "no main window"
    wait_until 20 "the status bar stays empty" status_filled
    focus "$win"
}

# Waits up to ten seconds for the program to end after it was told to close.
wait_closed() {
    local deadline=$((SECONDS + 10))
    while kill -0 "$pid" 2>/dev/null; do
        [ "$SECONDS" -ge "$deadline" ] && return 1
        sleep 0.1
    done
    pid=""
}

# Esc to the main window, then the question whether to quit answered with KEY (Return: OK,
# Escape: Cancel); waits until the question is gone.
answer_quit() {
    local box
    focus "$win"
    keys Escape
    box=$(window_named '^Quit Tovane 32$' 20)
    [ -n "$box" ] || fail "Esc asked nothing"
    focus "$box"
    closing_key "$box" "$1"
    window_gone "$box" 10 "the question whether to quit"
}
quit_asked() {
    answer_quit Return
    wait_closed || fail "Esc with OK did not close the program"
}

# window_shows MIN #RRGGBB...: whether the main window shows each colour in at least MIN
# pixels; prints the missing ones.
window_shows() {
    local min=$1 shot=$work/window.png missing="" c
    shift
    import -window "$win" "$shot" 2>/dev/null || { echo "no screenshot"; return 1; }
    local counts
    counts=$(convert "$shot" -depth 8 -format %c histogram:info:- 2>/dev/null)
    for c in "$@"; do
        awk -v c="${c^^}" -v min="$min" '$3 == c && $1 + 0 >= min {found = 1} END {exit !found}' \
            <<<"$counts" || missing="$missing $c"
    done
    [ -z "$missing" ] || { echo "missing:$missing"; return 1; }
}
