#!/bin/sh
# Start-up to a mapped window and idle memory of the program against a
# minimal Qt Widgets window (with a Latin and with a Chinese caption), on a
# private Xvfb (no window manager).
#
#   bench/start_bench.sh BUILD [ROUNDS] [MORE PROGRAMS...]
#
# e.g. bench/start_bench.sh build 11 /tmp/bixiqin-before
set -eu
build=$(realpath "$1")
rounds=${2:-11}
[ $# -ge 2 ] && shift 2 || shift $#
fifo=$(mktemp -u)
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" 2>/dev/null &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -f "$fifo"' EXIT
display=$(head -n1 < "$fifo")
# Each program from a folder of its own, with the environment a desktop gives.
cd "$(mktemp -d)"
DISPLAY=:$display QT_QPA_PLATFORM=xcb "$build/bench/bixiqin-bench-start" --rounds "$rounds" \
  "$build/bench/bixiqin-bench-minimal-window" "$build/bench/bixiqin-bench-minimal-window-zh" \
  "$build/bixiqin" "$@"
