#!/bin/sh
# The real program in a real X server under a real window manager: its main
# window is found by its caption, framed at 605 x 363 and centred on the
# screen, and Esc closes it with exit code 0.
#   realwindow.sh PATH-TO-BIXIQIN
# Exit 77 (skipped) only when there is no Xvfb at all.
set -u
PROGRAM=$1
CAPTION='碧溪琴-批量转码工具1.0       本软件由澄语编写'
SCREEN_W=1280
SCREEN_H=800
OUTER_W=605
OUTER_H=363

if ! command -v Xvfb >/dev/null 2>&1; then
  echo "realwindow: Xvfb is not installed; skipped (scripts/install-deps installs it)"
  exit 77
fi
for tool in openbox xdotool xwininfo xprop; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "realwindow: $tool is missing (scripts/install-deps installs it)" >&2
    exit 1
  fi
done

tmp=$(mktemp -d)
xvfb_pid=""
wm_pid=""
app_pid=""
cleanup() {
  for pid in $app_pid $wm_pid $xvfb_pid; do
    kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
  done
  rm -rf "$tmp"
}
trap cleanup EXIT
fail() {
  echo "realwindow: FAIL: $*" >&2
  exit 1
}

# Waits, polling, until the command succeeds; false after about 30 s.
wait_for() {
  tries=0
  until "$@"; do
    tries=$((tries + 1))
    [ "$tries" -ge 300 ] && return 1
    sleep 0.1
  done
}

# A display number of the server's own choosing, so parallel runs never meet.
Xvfb -displayfd 3 -screen 0 "${SCREEN_W}x${SCREEN_H}x24" -nolisten tcp 3>"$tmp/display" 2>"$tmp/xvfb.log" &
xvfb_pid=$!
display_written() { grep -q '^[0-9]' "$tmp/display" 2>/dev/null; }
wait_for display_written || { cat "$tmp/xvfb.log" >&2; fail "Xvfb did not start"; }
DISPLAY=:$(head -n 1 "$tmp/display")
export DISPLAY
echo "realwindow: Xvfb on $DISPLAY (${SCREEN_W}x${SCREEN_H})"

openbox --sm-disable >"$tmp/openbox.log" 2>&1 &
wm_pid=$!
wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
wait_for wm_running || { cat "$tmp/openbox.log" >&2; fail "openbox did not start"; }

QT_QPA_PLATFORM=xcb "$PROGRAM" >"$tmp/app.log" 2>&1 &
app_pid=$!

find_window() {
  win=$(xdotool search --onlyvisible --name "^${CAPTION}\$" 2>/dev/null | head -n 1)
  [ -n "$win" ]
}
wait_for find_window || { cat "$tmp/app.log" >&2; fail "no visible window captioned \"$CAPTION\""; }
echo "realwindow: window $win"

# The frame is the client's ancestor just below the root window.
frame_of() {
  w=$1
  root=$(xwininfo -root | sed -n 's/^xwininfo: Window id: \(0x[0-9a-f]*\).*/\1/p')
  while :; do
    parent=$(xwininfo -children -id "$w" | sed -n 's/^ *Parent window id: \(0x[0-9a-f]*\).*/\1/p')
    [ -z "$parent" ] || [ "$parent" = "$root" ] && break
    w=$parent
  done
  echo "$w"
}
geometry() {
  xwininfo -id "$1" | awk '
    /Absolute upper-left X:/ {x=$NF} /Absolute upper-left Y:/ {y=$NF}
    /Width:/ {w=$NF} /Height:/ {h=$NF}
    END {print x, y, w, h}'
}

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
[ "$frame" != "$win" ] || fail "the window was not framed by the window manager"
echo "realwindow: frame $frame at $got (client $(geometry "$win"))"

xdotool key --window "$win" Escape
# Gone, or a zombie waiting to be reaped.
exited() {
  state=$(ps -o stat= -p "$app_pid" 2>/dev/null)
  [ -z "$state" ] || [ "${state#Z}" != "$state" ]
}
if ! wait_for exited; then
  # A sent key event may be ignored by the toolkit: type it into the focused window instead.
  xdotool windowactivate --sync "$win" key Escape
  wait_for exited || fail "Esc did not close the program"
fi
wait "$app_pid"
code=$?
app_pid=""
[ "$code" -eq 0 ] || { cat "$tmp/app.log" >&2; fail "exit code $code, expected 0"; }
echo "realwindow: Esc closed the program with exit code 0"
