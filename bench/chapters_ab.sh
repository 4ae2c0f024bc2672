#!/bin/bash
# Two builds of the window bench side by side on the 10,000 chapters: each
# round runs both (the first of the pair alternating), each in a fresh copy
# of the chapters, and prints the medians with min and max of the click's
# time, of the process's CPU time (user + system) and of its voluntary
# context switches (a thread waiting for another).
#
#   bench/chapters_ab.sh BENCH-A BENCH-B CORPUS ROOT [ROUNDS] [GBK|UTF-8] [offscreen|xcb]
#
# xcb is the real X path: run the script under xvfb-run -a.
# BENCH-A and BENCH-B are bixiqin-bench-window programs (copy one aside
# before building the other). ROOT should be a new top-level folder: ext4
# makes new files far more slowly for minutes next to thousands of removed
# ones when it has no journal, so the copies are left there, not removed.
set -euo pipefail
a=$(realpath "$1")
b=$(realpath "$2")
corpus=$(realpath "$3")
root=$4
rounds=${5:-10}
from=${6:-GBK}
platform=${7:-offscreen}
if [ "$from" = GBK ]; then to=UTF-8; chapters=$corpus/small-gbk; else to=GBK; chapters=$corpus/small-utf8; fi
mkdir -p "$root"
base=$(mktemp -d "$root/chapters-ab-XXXXXX")

# stats DIGITS NUMBERS...: the median (min–max), with DIGITS decimals.
stats() {
  local digits=$1
  shift
  printf '%s\n' "$@" | sort -n | awk -v d="$digits" '{v[NR]=$1} END{m=(NR%2)?v[(NR+1)/2]:(v[NR/2]+v[NR/2+1])/2; f="%." d "f"; printf f " (" f "–" f ")", m, v[1], v[NR]}'
}

declare -a wall_a wall_b cpu_a cpu_b sw_a sw_b
for r in $(seq "$rounds"); do
  if [ $((r % 2)) = 1 ]; then order="a b"; else order="b a"; fi
  for m in $order; do
    if [ "$m" = a ]; then bench=$a; else bench=$b; fi
    dir=$base/$m$r
    mkdir "$dir"
    cp "$chapters"/[0-9]*.txt "$dir"/
    sync
    line=$(/usr/bin/time -o "$dir.time" -f "%U %S %w" "$bench" --child window "$platform" 0 "$from" "$to" "$dir" 2>/dev/null)
    wall=$(printf '%s\n' "$line" | sed -n 's/.*seconds=\([0-9.]*\).*/\1/p')
    cpu=$(awk '{print $1 + $2}' "$dir.time")
    switches=$(awk '{print $3}' "$dir.time")
    if [ "$m" = a ]; then
      wall_a+=("$wall"); cpu_a+=("$cpu"); sw_a+=("$switches")
    else
      wall_b+=("$wall"); cpu_b+=("$cpu"); sw_b+=("$switches")
    fi
  done
done
echo "$from → $to, $rounds rounds, $platform; seconds of the click, CPU seconds and voluntary switches of the process"
echo "A $a: $(stats 3 "${wall_a[@]}"); CPU $(stats 2 "${cpu_a[@]}"); switches $(stats 0 "${sw_a[@]}")"
echo "B $b: $(stats 3 "${wall_b[@]}"); CPU $(stats 2 "${cpu_b[@]}"); switches $(stats 0 "${sw_b[@]}")"
echo "copies left in $base"
