# Shared by the real-window scripts: a private X server with openbox, the
# program started in it, and helpers that find, measure and click windows.
# Sourced with PROGRAM set; exits 77 (skipped) only when there is no Xvfb.
MAIN_CAPTION='碧溪琴-批量转码工具1.0       本软件由澄语编写'
ABOUT_CAPTION='关于'
SCREEN_W=1280
SCREEN_H=800

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

# The program is started from other folders too.
case $PROGRAM in /*) ;; *) PROGRAM=$PWD/$PROGRAM ;; esac

tmp=$(mktemp -d)
xvfb_pid=""
wm_pid=""
app_pid=""
# A program run under Wine leaves Wine's services running after it, and
# they outlive a kill of its starter: with WINE_PREFIX_TO_END set to its
# prefix they are ended too, so that no failure leaves the program behind.
cleanup() {
  if [ -n "${WINE_PREFIX_TO_END:-}" ]; then
    WINEPREFIX=$WINE_PREFIX_TO_END wineserver -k 2>/dev/null ||
      WINEPREFIX=$WINE_PREFIX_TO_END /usr/lib/wine/wineserver -k 2>/dev/null
  fi
  for pid in $app_pid $wm_pid $xvfb_pid; do
    kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
  done
  rm -rf "$tmp"
}
trap cleanup EXIT
fail() {
  echo "realwindow: FAIL: $*" >&2
  [ -s "$tmp/app.log" ] && sed 's/^/realwindow: program: /' "$tmp/app.log" >&2
  exit 1
}
say() { echo "realwindow: $*"; }

# Waits, polling, until the command succeeds; false after about 30 s
# (TRIES tenths of a second when set).
wait_for() {
  tries=0
  until "$@"; do
    tries=$((tries + 1))
    [ "$tries" -ge "${TRIES:-300}" ] && return 1
    sleep 0.1
  done
}

# A display number of the server's own choosing, so parallel runs never meet.
# Under load a server now and then goes before openbox reaches it: then both
# start again, a few times.
start_x() {
  attempt=1
  until start_x_once; do
    for pid in $wm_pid $xvfb_pid; do kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null; done
    wm_pid="" xvfb_pid=""
    attempt=$((attempt + 1))
    [ "$attempt" -le 3 ] || { cat "$tmp/xvfb.log" "$tmp/openbox.log" >&2; fail "Xvfb with openbox did not start"; }
    say "Xvfb or openbox went at the start; again"
  done
}
start_x_once() {
  : >"$tmp/display"
  # No key repeats: under load a key's release can come late enough for
  # the server to repeat it into the next window.
  Xvfb -displayfd 3 -screen 0 "${SCREEN_W}x${SCREEN_H}x24" -nolisten tcp -ardelay 60000 3>"$tmp/display" 2>"$tmp/xvfb.log" &
  xvfb_pid=$!
  display_written() { grep -q '^[0-9]' "$tmp/display" 2>/dev/null; }
  wait_for display_written || return 1
  DISPLAY=:$(head -n 1 "$tmp/display")
  export DISPLAY
  say "Xvfb on $DISPLAY (${SCREEN_W}x${SCREEN_H})"
  openbox --sm-disable >"$tmp/openbox.log" 2>&1 &
  wm_pid=$!
  # Running and announced; an openbox that has ended ends the wait at once.
  wm_running() {
    kill -0 "$wm_pid" 2>/dev/null || return 0
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
  }
  wait_for wm_running && kill -0 "$wm_pid" 2>/dev/null
}

# Starts the program in the current folder, with the arguments given, and
# waits for its main window, which it leaves in $main.
start_program() {
  QT_QPA_PLATFORM=xcb "$PROGRAM" "$@" >"$tmp/app.log" 2>&1 &
  app_pid=$!
  # A slow start on a busy machine is no failure.
  TRIES=900 wait_for window_shown "$MAIN_CAPTION" || fail "no visible window captioned \"$MAIN_CAPTION\""
  main=$found
  # Placed and framed by the manager a moment after it maps.
  wait_for framed "$main" || fail "the main window was not framed"
}

# The visible window of exactly this caption, in $found (decimal id).
window_shown() {
  found=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1)
  [ -n "$found" ]
}
window_gone() { ! window_shown "$1"; }

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
framed() { [ "$(printf '%d' "$(frame_of "$1")")" != "$(printf '%d' "$1")" ]; }
# x y width height, on the screen.
geometry() {
  xwininfo -id "$1" | awk '
    /Absolute upper-left X:/ {x=$NF} /Absolute upper-left Y:/ {y=$NF}
    /Width:/ {w=$NF} /Height:/ {h=$NF}
    END {print x, y, w, h}'
}

# A click of the left button at a point of a window's client area, as the
# user's mouse gives it (the server's pointer, not an event sent to one window).
click_in() {
  set -- "$1" "$2" "$3" $(geometry "$1")
  xdotool mousemove $(($4 + $2)) $(($5 + $3)) click 1
}

# Window ids as decimal numbers, one a line: the root's _NET_CLIENT_LIST_STACKING
# from bottom to top, and _NET_ACTIVE_WINDOW.
stacking() {
  xprop -root _NET_CLIENT_LIST_STACKING | sed 's/^[^#]*#//' | tr ',' '\n' |
    while read -r id; do [ -n "$id" ] && printf '%d\n' "$id"; done
}
active_window() {
  id=$(xprop -root _NET_ACTIVE_WINDOW | sed 's/^[^#]*# *//; s/,.*//')
  printf '%d\n' "$id" 2>/dev/null
}
# Whether window $1 is stacked above window $2.
above() {
  stacking >"$tmp/stacking"
  a=$(grep -n -x "$1" "$tmp/stacking" | cut -d: -f1)
  b=$(grep -n -x "$2" "$tmp/stacking" | cut -d: -f1)
  [ -n "$a" ] && [ -n "$b" ] && [ "$a" -gt "$b" ]
}
is_active() { [ "$(active_window)" = "$1" ]; }

# The program has ended: gone, or a zombie waiting to be reaped.
program_exited() {
  state=$(ps -o stat= -p "$app_pid" 2>/dev/null)
  [ -z "$state" ] || [ "${state#Z}" != "$state" ]
}

# Esc in window $1 ends the program, with exit code 0.
esc_ends_program() {
  wait_for is_active "$1" || xdotool windowactivate --sync "$1"
  xdotool key Escape
  wait_for program_exited || fail "Esc did not end the program"
  wait "$app_pid"
  code=$?
  app_pid=""
  [ "$code" -eq 0 ] || fail "exit code $code after Esc, expected 0"
}
