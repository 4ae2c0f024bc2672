#!/bin/sh
# A real drop from another X client: files and a folder dragged, by the
# server's own mouse (xdotool), from a window of the drag source onto the
# main window's left list, then 转换. What the list then holds is read from
# the outputs: each listed file gets one beside it, named in list order.
#   drop.sh PATH-TO-BIXIQIN PATH-TO-DRAG-SOURCE PATH-TO-CREATED-NAMES
# Exit 77 (skipped) only when there is no Xvfb at all.
set -u
PROGRAM=$1
DRAG_SOURCE=$2
CREATED_NAMES=$3
case $DRAG_SOURCE in /*) ;; *) DRAG_SOURCE=$PWD/$DRAG_SOURCE ;; esac
case $CREATED_NAMES in /*) ;; *) CREATED_NAMES=$PWD/$CREATED_NAMES ;; esac
. "$(dirname "$0")/common.sh"

LIST_X=137 LIST_Y=172      # over the left list, in the main window
CONVERT_X=299 CONVERT_Y=24 # 转换
SOURCE_CAPTION='drag source'
source_pid=""
watch_pid=""
cleanup_drop() {
  for pid in $watch_pid $source_pid; do
    kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
  done
  cleanup
}
trap cleanup_drop EXIT

# A file with a blank and Chinese characters in its name, a folder with the
# same, and a file of another kind from another folder, in that order.
shelf="$tmp/drop/书 架"
mkdir -p "$shelf/inner" "$tmp/drop/other" "$shelf/dir.txt"
for name in b.txt a.txt C.TXT 第一章.txt note.md inner/deep.txt; do
  printf 'text\n' >"$shelf/$name"
done
printf '\344\270\255\346\226\207 a\n' >"$tmp/drop/甲 乙.txt" # 中文 a
printf '\326\320\316\304 a\n' >"$tmp/expected-chinese"     # the same in GB18030
printf 'notes\n' >"$tmp/drop/other/x.md"
# The folder's .txt files in any case, by name byte for byte, not the
# folder among them nor a file below; the other file as it is.
{
  echo "$tmp/drop/GB18030  甲 乙.txt"
  echo "$shelf/GB18030  C.TXT"
  echo "$shelf/GB18030  a.txt"
  echo "$shelf/GB18030  b.txt"
  echo "$shelf/GB18030  第一章.txt"
  echo "$tmp/drop/other/GB18030  x.md"
} >"$tmp/expected-outputs"

start_x
cd "$tmp" || fail "no folder"
start_program
QT_QPA_PLATFORM=xcb "$DRAG_SOURCE" "$tmp/drop/甲 乙.txt" "$shelf" "$tmp/drop/other/x.md" >"$tmp/source.log" 2>"$tmp/source.err" &
source_pid=$!
wait_for window_shown "$SOURCE_CAPTION" || fail "the drag source did not show its window: $(cat "$tmp/source.err")"
source_win=$found
wait_for framed "$source_win" || fail "the drag source's window was not framed"

set -- $(geometry "$source_win")
from_x=$(($1 + $3 / 2)) from_y=$(($2 + $4 / 2))
source_right=$(($1 + $3)) source_bottom=$(($2 + $4))
set -- $(geometry "$main")
to_x=$(($1 + LIST_X)) to_y=$(($2 + LIST_Y))
# The press lands on the drag source, and the drop on the main window.
[ "$source_right" -le "$1" ] || [ "$source_bottom" -le "$2" ] ||
  fail "the drag source's window overlaps the main window"

source_said() { grep -q -x "$1" "$tmp/source.log" 2>/dev/null; }
xdotool mousemove --sync "$from_x" "$from_y" mousedown 1
wait_for source_said pressed || fail "the press did not start a drag: $(cat "$tmp/source.err")"
# Qt's drag follows the pointer's motion while the button is held: move in
# steps, each one a motion the source answers with a position for the window
# under it.
steps=12
i=1
while [ $i -le $steps ]; do
  xdotool mousemove --sync $((from_x + (to_x - from_x) * i / steps)) $((from_y + (to_y - from_y) * i / steps))
  sleep 0.05
  i=$((i + 1))
done
# The main window answers each position; wiggle a pixel until it has taken it.
accepted() {
  source_said 'action copy' && return 0
  xdotool mousemove --sync $((to_x + wiggle)) "$to_y"
  wiggle=$((1 - wiggle))
  return 1
}
wiggle=1
wait_for accepted || fail "the main window did not take the drag; the source said: $(tr '\n' ' ' <"$tmp/source.log")"
xdotool mouseup 1
# Said once the source has let go of the pointer, so the next click is the
# main window's.
wait_for source_said 'result copy' ||
  fail "the drop did not end as a copy; the source said: $(tr '\n' ' ' <"$tmp/source.log")"
say "dragged from the drag source onto the list and dropped: $(tr '\n' ' ' <"$tmp/source.log")"

"$CREATED_NAMES" "$tmp/drop" "$shelf" "$tmp/drop/other" >"$tmp/created" &
watch_pid=$!
watching() { grep -q -x watching "$tmp/created" 2>/dev/null; }
wait_for watching || fail "cannot watch the folders"
click_in "$main" $CONVERT_X $CONVERT_Y
# Every name that came to be, the unnamed outputs' temporary ones left out.
all_named() {
  grep -F "/GB18030  " "$tmp/created" >"$tmp/outputs"
  [ "$(wc -l <"$tmp/outputs")" -ge "$(wc -l <"$tmp/expected-outputs")" ]
}
wait_for all_named || true
if ! cmp -s "$tmp/outputs" "$tmp/expected-outputs"; then
  sed 's/^/realwindow: expected: /' "$tmp/expected-outputs" >&2
  sed 's/^/realwindow: named:    /' "$tmp/created" >&2
  fail "转换 did not write exactly the dropped files' outputs in the order dropped"
fi
cmp -s "$tmp/drop/GB18030  甲 乙.txt" "$tmp/expected-chinese" ||
  fail "the output of 甲 乙.txt is not its text in GB18030"
say "转换 named the outputs of the dropped files in order: the file, the folder's four .txt files, the other file"
