#!/bin/sh
# The real program in a real X server under a real window manager: its main
# window is found by its caption, framed at 605 x 363 and centred on the
# screen, and Esc closes it with exit code 0.
#   realwindow.sh PATH-TO-BIXIQIN
# Exit 77 (skipped) only when there is no Xvfb at all.
set -u
PROGRAM=$1
OUTER_W=605
OUTER_H=363
. "$(dirname "$0")/common.sh"

start_x
start_program
win=$main
say "window $win"

expect_x=$(((SCREEN_W - OUTER_W) / 2))
expect_y=$(((SCREEN_H - OUTER_H) / 2))
# The manager frames and places the window a moment after it maps.
settled() {
  frame=$(frame_of "$win")
  set -- $(geometry "$frame")
  got="$1 $2 $3 $4"
  [ "$got" = "$expect_x $expect_y $OUTER_W $OUTER_H" ]
}
if ! wait_for settled; then
  echo "realwindow: client: $(geometry "$win")" >&2
  fail "frame $frame at x y w h = $got, expected $expect_x $expect_y $OUTER_W $OUTER_H"
fi
say "frame $frame at $got (client $(geometry "$win"))"

xdotool key --window "$win" Escape
if ! wait_for program_exited; then
  # A sent key event may be ignored by the toolkit: type it into the focused window instead.
  xdotool windowactivate --sync "$win" key Escape
  wait_for program_exited || fail "Esc did not close the program"
fi
wait "$app_pid"
code=$?
app_pid=""
[ "$code" -eq 0 ] || fail "exit code $code, expected 0"
say "Esc closed the program with exit code 0"
