#!/bin/sh
# bixiqin.exe under Wine in a real X server under openbox: its main window is
# found by its caption, its outer rectangle (Windows' frame, as the client
# area shows it) is 605 x 363 and centred on the screen, and Esc closes it
# with exit code 0. openbox draws a frame of its own around the client area,
# so the outer size is read from where the client area sits: centred, a
# frame of equal sides leaves the same border left, right and below.
#   main_window.sh STARTER   (a command that runs bixiqin.exe under Wine)
# Exit 77 (skipped) only when there is no Xvfb at all.
set -u
PROGRAM=$1
OUTER_W=605
OUTER_H=363
. "$(dirname "$0")/../../realwindow/common.sh"

start_x
start_program
win=$main
say "window $win"

outer_x=$(((SCREEN_W - OUTER_W) / 2))
outer_y=$(((SCREEN_H - OUTER_H) / 2))
settled() {
  set -- $(geometry "$win")
  got="$1 $2 $3 $4"
  border=$(($1 - outer_x))
  title=$(($2 - outer_y))
  [ "$border" -ge 0 ] && [ "$title" -ge "$border" ] &&
    [ $(($3 + 2 * border)) -eq "$OUTER_W" ] && [ $(($4 + title + border)) -eq "$OUTER_H" ]
}
if ! wait_for settled; then
  fail "client area at x y w h = $got: no frame of equal sides makes it a $OUTER_W x $OUTER_H window at $outer_x $outer_y"
fi
say "client area at $got: a $OUTER_W x $OUTER_H window at $outer_x $outer_y (border $border, title bar and border $title)"

xdotool windowactivate --sync "$win" key Escape
wait_for program_exited || fail "Esc did not close the program"
wait "$app_pid"
code=$?
app_pid=""
[ "$code" -eq 0 ] || fail "exit code $code, expected 0"
say "Esc closed the program with exit code 0"
