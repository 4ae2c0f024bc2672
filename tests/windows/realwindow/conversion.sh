#!/bin/sh
# bixiqin.exe under Wine converting, driven by real clicks and keys in a
# private X server under openbox; one check a run:
#   add-and-convert   two files typed into the real open dialog, then 转换:
#                     both outputs are the bytes worked out by hand and the
#                     bytes the Linux build's bixiqin-convert writes
#   failed-row        a file that is not valid UTF-8, given on the command
#                     line beside a good one: after 转换 its row, the second,
#                     is painted red, and its tooltip gives the place and
#                     the bytes
#   choose-encodings  GBK picked as the source and UTF-8 as the target in the
#                     two drop-down lists by mouse and keys, then 转换: the
#                     output is named and written in UTF-8
#   live-during-file  a 200 MB file added in the open dialog, then 转换: the
#                     window keeps answering until its output is there, and
#                     the output is the Linux build's, byte for byte
#   conversion.sh STARTER PREFIX PROBE LINUX-BUILD CHECK
# STARTER runs bixiqin.exe under Wine in the prefix PREFIX (ended at the
# end), PROBE runs window-probe.exe in the same prefix, LINUX-BUILD holds
# bixiqin-convert and tests/realwindow/realwindow-pixel.
# Exit 77 (skipped) only when there is no Xvfb at all.
set -u
PROGRAM=$1
WINE_PREFIX_TO_END=$2
PROBE=$3
LINUX_BUILD=$4
CHECK=$5
. "$(dirname "$0")/../../realwindow/common.sh"

ADD_X=38 ADD_Y=25          # 添加
CONVERT_X=299 CONVERT_Y=24 # 转换
SOURCE_X=166 SOURCE_Y=26   # the source encoding's drop-down list
TARGET_X=436 TARGET_Y=26   # the target encoding's
# The left list's rectangle in the main window's client area.
LIST_LEFT=15 LIST_TOP=56 LIST_H=232
LINUX_CONVERT=$LINUX_BUILD/bixiqin-convert
PIXEL=$LINUX_BUILD/tests/realwindow/realwindow-pixel
for tool in "$LINUX_CONVERT" "$PIXEL"; do
  [ -x "$tool" ] || fail "$tool is not built (make build)"
done

# The Windows name of a file here (Wine's drive Z: is the root).
dos_path() { printf 'Z:%s' "$1" | tr / '\\'; }

origin() { set -- $(geometry "$main"); echo "$1 $2"; }

add_in_dialog() {
  click_in "$main" $ADD_X $ADD_Y
  wait_for window_shown '打开TXT文件' || fail "添加 did not open the file dialog"
  dialog=$found
  wait_for is_active "$dialog" || fail "the file dialog did not become active"
  xdotool type --delay 30 "$1"
  xdotool key Return
  wait_for window_gone '打开TXT文件' || fail "Enter did not take the typed names"
}

# What the Linux build writes for the same file, in a folder of its own.
linux_output() {
  mkdir -p "$tmp/linux"
  ln -f "$1" "$tmp/linux/$(basename "$1")" || cp "$1" "$tmp/linux/"
  (cd "$tmp/linux" && "$LINUX_CONVERT" --quiet "$(basename "$1")") || fail "the Linux build failed on $1"
  echo "$tmp/linux/GB18030  $(basename "$1")"
}

check_add_and_convert() {
  mkdir -p "$tmp/books"
  printf '\344\270\255\346\226\207 a \342\202\254\360\237\230\200\n' >"$tmp/books/a.txt" # 中文 a €😀
  printf '\347\254\254\344\270\200\347\253\240\n' >"$tmp/books/b.txt"                   # 第一章
  # In GB18030: 中文 D6D0 CEC4, € A2E3, and U+1F600 four bytes from
  # 0x90308130 on: 0xF600 = 4 * 12600 + 9 * 1260 + 123 * 10 + 6.
  printf '\326\320\316\304 a \242\343\224\071\374\066\n' >"$tmp/expected-a"
  printf '\265\332\322\273\325\302\n' >"$tmp/expected-b"
  cd "$tmp/books" || fail "no folder"
  start_program
  add_in_dialog '"a.txt" "b.txt"'
  click_in "$main" $CONVERT_X $CONVERT_Y
  converted() { [ -f "$tmp/books/GB18030  a.txt" ] && [ -f "$tmp/books/GB18030  b.txt" ]; }
  wait_for converted || { ls -l "$tmp/books" >&2; fail "转换 did not write both files"; }
  for name in a b; do
    cmp "$tmp/books/GB18030  $name.txt" "$tmp/expected-$name" >&2 || fail "$name.txt: not its text in GB18030"
    cmp "$tmp/books/GB18030  $name.txt" "$(linux_output "$tmp/books/$name.txt")" >&2 ||
      fail "$name.txt: not what the Linux build writes"
  done
  say "both files picked in the open dialog converted by 转换, byte for byte as worked out and as the Linux build writes"
}

# The colour at a point of the main window's client area, and whether it is
# a red of the kind a failure is marked with, or plain white.
pixel() { "$PIXEL" "$main" "$1" "$2"; }
reddish() {
  r=$((0x$(echo "$1" | cut -c1-2))) g=$((0x$(echo "$1" | cut -c3-4))) b=$((0x$(echo "$1" | cut -c5-6)))
  [ "$r" -gt $((g + 20)) ] && [ "$r" -gt $((b + 20)) ]
}

check_failed_row() {
  mkdir -p "$tmp/books"
  printf '\344\270\255\346\226\207\n' >"$tmp/books/good.txt"
  printf 'ok\nab\377c\n' >"$tmp/books/bad.txt" # FF: line 2, column 3
  cd "$tmp/books" || fail "no folder"
  start_program good.txt bad.txt
  click_in "$main" $CONVERT_X $CONVERT_Y
  wait_for test -f "$tmp/books/GB18030  good.txt" || fail "转换 did not convert good.txt"
  sleep 1
  [ ! -e "$tmp/books/GB18030  bad.txt" ] || fail "bad.txt has an output"

  # Down the list's left edge, just inside its border: the marked pixels
  # must make one span, as high as a row and one row down, so that the row
  # above it (good.txt) is as high as it and unmarked.
  x=$((LIST_LEFT + 3))
  y=$((LIST_TOP + 1))
  start="" end=""
  while [ $y -lt $((LIST_TOP + LIST_H - 2)) ]; do
    colour=$(pixel $x $y) || fail "cannot read the window's pixels"
    if [ "$colour" != ffffff ]; then
      reddish "$colour" || fail "the list shows $colour at $x,$y: neither white nor a failure's red"
      [ -z "$end" ] || fail "a second marked span begins at y $y"
      [ -n "$start" ] || start=$y
    elif [ -n "$start" ] && [ -z "$end" ]; then
      end=$y
    fi
    y=$((y + 1))
  done
  [ -n "$start" ] && [ -n "$end" ] || fail "no row of the list is marked"
  height=$((end - start))
  top=$((start - height))
  [ "$top" -ge "$LIST_TOP" ] && [ "$top" -le $((LIST_TOP + 3)) ] ||
    fail "the marked span is at y $start..$end: not the second row of a list beginning at $LIST_TOP"
  # The whole row is tinted, not only its edge.
  inside=$(pixel $((LIST_LEFT + 200)) $((start + height / 2)))
  [ "$inside" != ffffff ] && reddish "$inside" || fail "the marked row is $inside inside"
  say "the second row, y $start..$end, is marked red ($(pixel $x $((start + 1))) at its edge, $inside inside)"

  # The tooltip follows the mouse onto the row.
  set -- $(origin)
  xdotool mousemove $(($1 + LIST_LEFT + 100)) $(($2 + start + height / 2))
  expected='第 2 行第 3 列：不是有效的 UTF-8 字节 (FF)'
  # A tooltip shows once the mouse has rested on the row a moment: every
  # move before that starts the wait again, so the mouse moves by a pixel
  # only now and then, in case the tip has come and gone.
  asked=0
  tip_says() {
    asked=$((asked + 1))
    [ $((asked % 10)) -eq 0 ] && xdotool mousemove_relative 1 0
    if tip=$("$PROBE" tooltip "$MAIN_CAPTION" 2>/dev/null); then
      [ "$tip" = "$expected" ]
    else
      tip="(no tooltip showing)"
      return 1
    fi
  }
  TRIES=100 wait_for tip_says || fail "the tooltip over the failed row says \"$tip\", not \"$expected\""
  say "its tooltip says \"$tip\""
}

# Opens a drop-down list with a click and accepts its first or last item
# with the keys, as a user who does not aim for the row does.
pick() {
  click_in "$main" "$1" "$2"
  sleep 0.5
  xdotool key "$3"
  sleep 0.2
  xdotool key Return
}

check_choose_encodings() {
  mkdir -p "$tmp/books"
  printf '\326\320\316\304 g\n' >"$tmp/books/g.txt"                # 中文 g in GBK
  printf '\344\270\255\346\226\207 g\n' >"$tmp/expected-g"        # in UTF-8
  cd "$tmp/books" || fail "no folder"
  start_program g.txt
  pick $SOURCE_X $SOURCE_Y Home # GBK, the first item
  pick $TARGET_X $TARGET_Y End  # UTF-8, the last
  sleep 0.5
  click_in "$main" $CONVERT_X $CONVERT_Y
  wait_for test -f "$tmp/books/UTF-8  g.txt" || { ls -l "$tmp/books" >&2; fail "no output named for UTF-8 after the picks"; }
  cmp "$tmp/books/UTF-8  g.txt" "$tmp/expected-g" >&2 || fail "the output is not g.txt's text in UTF-8"
  say "GBK and UTF-8 picked in the drop-down lists: 转换 wrote \"UTF-8  g.txt\" in UTF-8"
}

check_live_during_file() {
  mkdir -p "$tmp/big"
  # 200,000,042 bytes of whole lines of Chinese.
  yes '第一章 这是一个很长的小说的一行文字，用来测试。' | head -n 2816902 >"$tmp/big/big.txt"
  [ "$(wc -c <"$tmp/big/big.txt")" -eq 200000042 ] || fail "cannot make the 200 MB file"
  cd "$tmp/big" || fail "no folder"
  start_program
  # Asks from before the click, so that its own start costs none of the run.
  "$PROBE" answers-during "$MAIN_CAPTION" "$(dos_path "$tmp/clicked")" "$(dos_path "$tmp/big/GB18030  big.txt")" \
    >"$tmp/probe.log" 2>&1 &
  probe_pid=$!
  add_in_dialog '"big.txt"'
  click_in "$main" $CONVERT_X $CONVERT_Y
  : >"$tmp/clicked"
  wait "$probe_pid"
  probe_status=$?
  TRIES=1200 wait_for test -f "$tmp/big/GB18030  big.txt" || fail "转换 did not convert the 200 MB file"
  answers=$(sed -n 's/^answers \([0-9]*\).*/\1/p' "$tmp/probe.log")
  [ "$probe_status" -eq 0 ] && [ -n "$answers" ] || fail "the window stopped answering: $(cat "$tmp/probe.log")"
  # A window that serves no messages while it converts answers none
  # before the output is there; one that does answers each within a few
  # milliseconds.
  [ "$answers" -ge 10 ] || fail "the window answered only $answers times while the 200 MB file was converted"
  cmp "$tmp/big/GB18030  big.txt" "$(linux_output "$tmp/big/big.txt")" >&2 ||
    fail "the 200 MB file's output is not what the Linux build writes"
  say "the window answered $answers times while the 200 MB file was converted; its output is the Linux build's"
}

start_x
case $CHECK in
  add-and-convert) check_add_and_convert ;;
  failed-row) check_failed_row ;;
  choose-encodings) check_choose_encodings ;;
  live-during-file) check_live_during_file ;;
  *) fail "unknown check $CHECK" ;;
esac
esc_ends_program "$main"
