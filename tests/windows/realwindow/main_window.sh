#!/bin/sh
# bixiqin.exe under Wine in a real X server under openbox: its main window is
# found by its caption, its outer rectangle (Windows' frame, as the client
# area shows it) is 605 x 363 and centred on the screen, and Esc closes it
# with exit code 0; Tab and Shift+Tab walk the controls in their order; a
# drag from the background or a label moves the window, one from a list box
# does not; About's two buttons open their pages through explorer.exe;
# About, opened by its button, stays above the main window and active after
# a click on it, and Esc closes About alone. openbox draws a frame of its
# own around the client area, so the outer size is read from where the
# client area sits: centred, a frame of equal sides leaves the same border
# left, right and below.
#   main_window.sh STARTER PREFIX PROBE
# STARTER runs bixiqin.exe under Wine in the Wine prefix PREFIX, whose
# services are ended at the end, so that a failure never leaves the
# program running (and this script waiting for it); PROBE runs
# window-probe.exe in the same prefix.
# Exit 77 (skipped) only when there is no Xvfb at all.
set -u
PROGRAM=$1
OUTER_W=605
OUTER_H=363
WINE_PREFIX_TO_END=$2
PROBE=$3
. "$(dirname "$0")/../../realwindow/common.sh"

# The browser Wine's explorer.exe hands an address to is a stand-in that
# writes down the address it was given.
mkdir -p "$tmp/bin"
printf '#!/bin/sh\nprintf "%%s|%%s\\n" "$#" "$*" >>"%s/pages"\n' "$tmp" >"$tmp/bin/xdg-open"
chmod +x "$tmp/bin/xdg-open"
PATH=$tmp/bin:$PATH
export PATH

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

# A fixed frame with a minimize box and a close box, no maximize box, as
# Wine tells the window manager in the Motif hints: the functions (move 4,
# minimize 8, close 0x20; resize 2 and maximize 0x10 not) and the
# decorations (the maximize button 0x40 and the resize handles 4 not).
hints=$(xprop -id "$win" _MOTIF_WM_HINTS | sed 's/^[^=]*= *//')
functions=$(($(echo "$hints" | cut -d, -f2)))
decorations=$(($(echo "$hints" | cut -d, -f3)))
[ $((functions & 0x2c)) -eq $((0x2c)) ] || fail "the window may not be moved, minimized and closed (hints $hints)"
[ $((functions & 0x12)) -eq 0 ] || fail "the window may be resized or maximized (hints $hints)"
[ $((decorations & 0x44)) -eq 0 ] || fail "the window has a maximize button or resize handles (hints $hints)"
say "it may be moved, minimized and closed, not maximized or resized"

# Tab walks the controls in the reverse of their definition order, wrapping
# round; Shift+Tab walks back. Read as the focused control's class and text
# (the combo boxes show their items: the target's, then the source's).
wait_for is_active "$win" || xdotool windowactivate --sync "$win"
focused() { "$PROBE" focus "$MAIN_CAPTION" 2>/dev/null; }
focus_on_add() { [ "$(focused)" = 'Button 添加' ]; }
xdotool key Tab
TRIES=20 wait_for focus_on_add || fail "the first Tab gave the focus to $(focused), not 添加"
walk=""
for step in 1 2 3 4 5 6 7 8 9; do
  walk="$walk$(focused)|"
  xdotool key Tab
  sleep 0.2
done
expected_walk='Button 添加|ListBox |ListBox |Button 清空|ComboBox #编码_GB18030 简中 最新|Button 转换|ComboBox #编码_UTF_8  |Button 关于|Button 添加|'
[ "$walk" = "$expected_walk" ] || fail "Tab went $walk, expected $expected_walk"
xdotool key shift+Tab
sleep 0.2
[ "$(focused)" = 'Button 添加' ] || fail "Shift+Tab from 关于 went to $(focused), not back to 添加"
xdotool key shift+Tab
sleep 0.2
[ "$(focused)" = 'Button 关于' ] || fail "Shift+Tab from 添加 went to $(focused), not to 关于"
say "Tab goes 添加, the two lists, 清空, the target, 转换, the source, 关于, 添加; Shift+Tab back"

# A drag from a free spot or a label moves the window by as much as the
# mouse; a drag from a list box does not.
drag() {
  set -- "$1" "$2" $(geometry "$win")
  from_x=$(($3 + $1)) from_y=$(($4 + $2))
  xdotool mousemove --sync "$from_x" "$from_y" mousedown 1
  i=1
  while [ $i -le 10 ]; do
    xdotool mousemove --sync $((from_x + 4 * i)) $((from_y + 3 * i))
    sleep 0.05
    i=$((i + 1))
  done
  xdotool mouseup 1
  sleep 0.5
}
moved_by() {
  dx=$1 dy=$2
  set -- $(geometry "$win")
  after="$1 $2"
  [ $(($1 - at_x)) -eq "$dx" ] && [ $(($2 - at_y)) -eq "$dy" ]
}
for spot in "299 150 background" "137 311 label"; do
  set -- $spot
  set -- "$1" "$2" "$3" $(geometry "$win")
  at_x=$4 at_y=$5
  drag "$1" "$2"
  what=$3
  wait_for moved_by 40 30 || fail "a drag of 40, 30 from the $what at $1, $2 moved the window from $at_x $at_y to $after"
done
set -- $(geometry "$win")
at_x=$1 at_y=$2
drag 137 172  # the left list
moved_by 0 0 || fail "a drag from the list box moved the window from $at_x $at_y to $after"
say "drags from the background and a label move the window by as much as the mouse; from a list box not"

click_in "$win" 562 25  # 关于
TRIES=300 wait_for window_shown "$ABOUT_CAPTION" || fail "no About window after a click on 关于"
about=$found
# Windows makes the new window the active one in front. openbox leaves its
# own focus on the main window until the next click (its rule for a window
# mapped without a newer user time), so the system's answer is read here.
foreground_is_about() { [ "$("$PROBE" foreground 2>/dev/null)" = "$ABOUT_CAPTION" ]; }
TRIES=50 wait_for foreground_is_about || fail "About is not the active window in front: $("$PROBE" foreground 2>&1)"
say "About opened as the active window in front"
# Below the left label, clear of About, which stands over the middle.
click_in "$win" 40 330  # the main window, which waits for About
sleep 1
above "$about" "$win" || fail "About is not above the main window after a click on it"
wait_for is_active "$about" || fail "About did not stay active after a click on the main window (active: $(active_window))"
say "About stays above and active after a click on the main window"
# 更新 and 捐助 start explorer.exe with their pages, which reach the browser.
click_in "$about" 86 33
click_in "$about" 278 33
two_pages() { [ "$(wc -l <"$tmp/pages" 2>/dev/null)" = 2 ]; }
wait_for two_pages || fail "About's buttons did not open their pages (opened: $(cat "$tmp/pages" 2>/dev/null))"
grep -q -x '1|https\?://[^ ]*' "$tmp/pages" || fail "pages opened: $(cat "$tmp/pages")"
[ "$(sort -u "$tmp/pages" | wc -l)" = 2 ] || fail "both buttons opened the same page"
say "更新 and 捐助 opened their pages through explorer.exe: $(tr '\n' ' ' <"$tmp/pages")"
wait_for is_active "$about" || fail "About did not stay active after its buttons"
xdotool key Escape
wait_for window_gone "$ABOUT_CAPTION" || fail "Esc did not close About"
sleep 1
program_exited && fail "Esc ended the program too"
say "Esc closed About alone"

esc_ends_program "$win"
say "Esc closed the program with exit code 0"
