#!/usr/bin/env bash
# run_on_8bit_screen.sh ROOT PROGRAM [ARGS]: runs a Windows test program on an Xvfb screen of
# its own with 8 bits per pixel, where Wine reports a 256-colour display.
set -eu
root=$1
shift
fifo=$(mktemp -u)
mkfifo "$fifo"
exec 3<>"$fifo"
rm -f "$fifo"
Xvfb -displayfd 3 -screen 0 1024x768x8 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null' EXIT
read -r -t 20 display <&3
export DISPLAY=:$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
"$root/scripts/wine-run" "$@"
