# Sourced by the end-to-end scripts: a scratch folder with a copy of the program, the
# program started under Wine, and what a user sees of it.
# Usage: source lib.sh BIN_DIR; then $work/prog holds Tovn32.exe and $work/pics is empty.
bin=$1
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
source "$root/scripts/wine-env.sh"
tovn_wine_prefix
work=$(mktemp -d)
pid=""
win=""
cleanup() { [ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }
mkdir -p "$work/prog" "$work/pics"
cp "$bin/Tovn32.exe" "$work/prog/"

# The first visible window whose name matches, waiting up to $2 half-seconds.
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

# Starts the program on a Windows path; sets $pid and $win (the main window, focused).
# By default the copy in $work/prog runs with BIN_DIR as current folder, where its
# components are; given a FOLDER, its Tovn32.exe runs from there, as Explorer starts it.
start_program() { # start_program PATH [FOLDER]
    local exe=$work/prog/Tovn32.exe dir=$bin
    [ -z "${2:-}" ] || { exe=$2/Tovn32.exe; dir=$2; }
    cd "$dir"
    "$tovn_wine" "$exe" "$1" &
    pid=$!
    win=$(window_named '^Tovane 32$' 60)
    [ -n "$win" ] || fail "no main window"
    sleep 1
    focus "$win"
}

# Waits up to ten seconds for the program to end after it was told to close.
wait_closed() {
    for _ in $(seq 40); do kill -0 "$pid" 2>/dev/null || break; sleep 0.25; done
    kill -0 "$pid" 2>/dev/null && return 1
    pid=""
}

# Status-bar panel N (1..4) as the program shows it.
status() { (cd "$bin" && "$tovn_wine" tovn_status_probe.exe 2>/dev/null | tr -d '\r' | sed -n "$1p"); }
expect() { # expect PANEL TEXT
    local got=""
    for _ in $(seq 20); do
        got=$(status "$1")
        [ "$got" = "$2" ] && return 0
        sleep 0.25
    done
    fail "panel $1 shows '$got', expected '$2'"
}
