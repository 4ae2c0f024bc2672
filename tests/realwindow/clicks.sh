#!/bin/sh
# The real program under Xvfb and openbox, driven by the server's own mouse
# and keyboard (xdotool), one check a run:
#   add-and-convert  files typed into the real open dialog, then 转换
#   about-on-top     About stays above and active when the main window is clicked
#   quick-clicks     clicks on the background do not start a move
#   icon             the window's _NET_WM_ICON is the program's picture
#   open-with        started as the desktop entry's Exec line starts it for a
#                    file ("Open with"): the file is listed, and 转换 converts it
#   clicks.sh PATH-TO-BIXIQIN PATH-TO-PNG-ARGB PATH-TO-ICON-PNG CHECK [DESKTOP-FILE]
# Exit 77 (skipped) only when there is no Xvfb at all.
set -u
PROGRAM=$1
PNG_ARGB=$2
ICON_PNG=$3
CHECK=$4
DESKTOP=${5:-}
. "$(dirname "$0")/common.sh"

# Points in the main window's client area (the controls' rectangles' centres).
ADD_X=38 ADD_Y=25          # 添加
CONVERT_X=299 CONVERT_Y=24 # 转换
ABOUT_X=562 ABOUT_Y=25     # 关于
BACK_X=299 BACK_Y=150      # background, between the two lists
# ... and in the About window's.
UPDATE_X=86 UPDATE_Y=33    # 更新
DONATE_X=278 DONATE_Y=33   # 捐助

# The window manager has handled every event sent before this: it answers a
# change of the desktop count, which it reads from the same queue.
desktops=4
wm_caught_up() {
  if [ "$desktops" = 5 ]; then desktops=6; else desktops=5; fi
  xdotool set_num_desktops "$desktops"
  has_desktops() { xprop -root _NET_NUMBER_OF_DESKTOPS | grep -q "= $desktops\$"; }
  wait_for has_desktops || fail "the window manager does not answer"
}

# A condition that has become true and stays so for a moment, polled.
settles() {
  wait_for "$@" || return 1
  n=0
  while [ $n -lt 5 ]; do
    "$@" || return 1
    n=$((n + 1))
    sleep 0.1
  done
}

open_about() {
  click_in "$main" $ABOUT_X $ABOUT_Y
  wait_for window_shown "$ABOUT_CAPTION" || fail "关于 did not open the About window"
  about=$found
  wait_for is_active "$about" || fail "the About window did not become active"
}

close_about_with_esc() {
  xdotool key Escape
  wait_for window_gone "$ABOUT_CAPTION" || fail "Esc did not close the About window"
  # Polled: a search that meets a window being destroyed can come back empty.
  wait_for window_shown "$MAIN_CAPTION" && ! program_exited || fail "the main window went with the About window"
}

check_add_and_convert() {
  mkdir -p "$tmp/books"
  printf '\344\270\255\346\226\207 a\n' >"$tmp/books/a.txt"                     # 中文 a
  printf '\347\254\254\344\270\200\347\253\240\n' >"$tmp/books/b.txt"           # 第一章
  printf '\326\320\316\304 a\n' >"$tmp/expected-a"
  printf '\265\332\322\273\325\302\n' >"$tmp/expected-b"
  # The dialog opens in the current folder.
  cd "$tmp/books" || fail "no folder"
  start_program
  click_in "$main" $ADD_X $ADD_Y
  wait_for window_shown '打开TXT文件' || fail "添加 did not open the file dialog"
  dialog=$found
  wait_for is_active "$dialog" || fail "the file dialog did not become active"
  xdotool type --delay 30 '"a.txt" "b.txt"'
  xdotool key Return
  wait_for window_gone '打开TXT文件' || fail "Enter did not take the typed names"
  click_in "$main" $CONVERT_X $CONVERT_Y
  converted() {
    cmp -s "$tmp/books/GB18030  a.txt" "$tmp/expected-a" &&
      cmp -s "$tmp/books/GB18030  b.txt" "$tmp/expected-b"
  }
  wait_for converted || { ls -l "$tmp/books" >&2; fail "转换 did not write both files in GB18030"; }
  say "both typed files converted to GB18030 byte for byte"
}

check_about_on_top() {
  # The browser is a stand-in that writes down the address it was given.
  mkdir -p "$tmp/bin"
  printf '#!/bin/sh\nprintf "%%s|%%s\\n" "$#" "$*" >>"%s/pages"\n' "$tmp" >"$tmp/bin/xdg-open"
  chmod +x "$tmp/bin/xdg-open"
  PATH=$tmp/bin:$PATH
  export PATH
  start_program
  open_about
  above "$about" "$main" || fail "the About window opened below the main window"
  click_in "$main" $ADD_X $ADD_Y
  wm_caught_up
  about_in_front() { above "$about" "$main" && is_active "$about"; }
  if ! settles about_in_front; then
    fail "after a click on the main window: stacking $(tr '\n' ' ' <"$tmp/stacking")(About $about, main $main), active $(active_window)"
  fi
  say "a click on the main window leaves About above it and active"
  window_gone '打开TXT文件' || fail "the click reached 添加 while About was open"

  click_in "$about" $UPDATE_X $UPDATE_Y
  click_in "$about" $DONATE_X $DONATE_Y
  two_pages() { [ "$(wc -l <"$tmp/pages" 2>/dev/null)" = 2 ]; }
  wait_for two_pages || fail "the About window's buttons did not open the pages"
  grep -q -x '1|https\?://[^ ]*' "$tmp/pages" || fail "pages opened: $(cat "$tmp/pages")"
  [ "$(sort -u "$tmp/pages" | wc -l)" = 2 ] || fail "both buttons opened the same page"
  say "更新 and 捐助 still open their pages: $(tr '\n' ' ' <"$tmp/pages")"

  close_about_with_esc
  say "Esc closed the About window"
  # The main window takes keys again: Esc ends the program.
  wait_for is_active "$main" || xdotool windowactivate --sync "$main"
  xdotool key Escape
  wait_for program_exited || fail "the main window did not take Esc after About closed"
}

check_quick_clicks() {
  start_program
  frame=$(frame_of "$main")
  wait_for is_active "$main" || fail "the main window is not active"
  before=$(geometry "$frame")
  set -- $(geometry "$main")
  # A few pixels apart, as a hand moves between clicks: a move left running
  # by a click would carry the window along.
  i=0
  while [ $i -lt 10 ]; do
    xdotool mousemove $(($1 + BACK_X + 2 * i)) $(($2 + BACK_Y + i)) click 1
    i=$((i + 1))
  done
  open_about
  after=$(geometry "$frame")
  [ "$after" = "$before" ] || fail "the main window moved from $before to $after"
  say "ten quick clicks on the background, then 关于 opened About; the window stayed at $after"
  close_about_with_esc
}

check_icon() {
  start_program
  # All values of the property as numbers: width, height, then ARGB pixels,
  # for each size given.
  xprop -id "$main" -notype -f _NET_WM_ICON 32c '=$0+\n' _NET_WM_ICON | sed 's/^[^=]*=//' |
    tr ',' '\n' | sed 's/ //g' >"$tmp/icon-property"
  "$PNG_ARGB" "$ICON_PNG" | tr ',' '\n' | sed 's/ //g' >"$tmp/icon-png" || fail "cannot read $ICON_PNG"
  w=$(sed -n 1p "$tmp/icon-png")
  h=$(sed -n 2p "$tmp/icon-png")
  [ "$w" = 48 ] && [ "$h" = 48 ] || fail "the icon file is ${w}x$h, not 48x48"
  # Find the 48 x 48 image among the sizes in the property.
  at=1
  total=$(wc -l <"$tmp/icon-property")
  while [ "$at" -lt "$total" ]; do
    pw=$(sed -n "${at}p" "$tmp/icon-property")
    ph=$(sed -n "$((at + 1))p" "$tmp/icon-property")
    [ -n "$pw" ] && [ -n "$ph" ] || break
    if [ "$pw" = 48 ] && [ "$ph" = 48 ]; then
      sed -n "${at},$((at + 1 + 48 * 48))p" "$tmp/icon-property" >"$tmp/icon-shown"
      cmp -s "$tmp/icon-shown" "$tmp/icon-png" || fail "the 48x48 _NET_WM_ICON differs from $ICON_PNG"
      opaque=$(sed -n '3,$p' "$tmp/icon-png" | awk '$1 >= 4278190080' | wc -l)
      say "_NET_WM_ICON holds the 48x48 picture of $ICON_PNG pixel for pixel ($opaque opaque pixels)"
      return
    fi
    at=$((at + 2 + pw * ph))
  done
  fail "no 48x48 image in _NET_WM_ICON ($total values)"
}

check_open_with() {
  # A launcher gives each file of %F as one argument of its own.
  exec_line=$(sed -n 's/^Exec=//p' "$DESKTOP")
  [ "$exec_line" = "bixiqin %F" ] || fail "the desktop entry's Exec line is '$exec_line'"
  wm_class=$(sed -n 's/^StartupWMClass=//p' "$DESKTOP")
  mkdir -p "$tmp/books"
  printf '\344\270\255\346\226\207 a\n' >"$tmp/books/one a.txt"  # 中文 a
  printf '\326\320\316\304 a\n' >"$tmp/expected"
  cd "$tmp" || fail "no folder"
  start_program "$tmp/books/one a.txt"
  xprop -id "$main" WM_CLASS | grep -q "\"$wm_class\"\$" ||
    fail "WM_CLASS is $(xprop -id "$main" WM_CLASS), the desktop entry says $wm_class"
  click_in "$main" $CONVERT_X $CONVERT_Y
  converted() { cmp -s "$tmp/books/GB18030  one a.txt" "$tmp/expected"; }
  wait_for converted || { ls -l "$tmp/books" >&2; fail "the file given on the command line was not converted"; }
  say "started for one file as the desktop entry says, its class $wm_class: 转换 converted it"
}

start_x
case $CHECK in
  add-and-convert) check_add_and_convert ;;
  about-on-top) check_about_on_top ;;
  quick-clicks) check_quick_clicks ;;
  icon) check_icon ;;
  open-with) check_open_with ;;
  *) fail "unknown check $CHECK" ;;
esac
