#!/bin/bash
# Two builds of the window bench side by side on the 10,000 chapters: each
# round runs both (the first of the pair alternating), each in a fresh copy
# of the chapters, and prints the medians with min and max of the click's
# time and of the process's CPU time (user + system).
#
#   bench/chapters_ab.sh BENCH-A BENCH-B CORPUS ROOT [ROUNDS] [GBK|UTF-8]
#
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
if [ "$from" = GBK ]; then to=UTF-8; chapters=$corpus/small-gbk; else to=GBK; chapters=$corpus/small-utf8; fi
mkdir -p "$root"
base=$(mktemp -d "$root/chapters-ab-XXXXXX")

# stats NUMBERS...: the median (min–max).
stats() { printf '%s\n' "$@" | sort -n | awk '{v[NR]=$1} END{m=(NR%2)?v[(NR+1)/2]:(v[NR/2]+v[NR/2+1])/2; printf "%.3f (%.3f–%.3f)", m, v[1], v[NR]}'; }

declare -a wall_a wall_b cpu_a cpu_b
for r in $(seq "$rounds"); do
  if [ $((r % 2)) = 1 ]; then order="a b"; else order="b a"; fi
  for m in $order; do
    if [ "$m" = a ]; then bench=$a; else bench=$b; fi
    dir=$base/$m$r
    mkdir "$dir"
    cp "$chapters"/[0-9]*.txt "$dir"/
    sync
    line=$(/usr/bin/time -o "$dir.time" -f "%U %S" "$bench" --child window offscreen 0 "$from" "$to" "$dir" 2>/dev/null)
    wall=$(printf '%s\n' "$line" | sed -n 's/.*seconds=\([0-9.]*\).*/\1/p')
    cpu=$(awk '{print $1 + $2}' "$dir.time")
    if [ "$m" = a ]; then wall_a+=("$wall"); cpu_a+=("$cpu"); else wall_b+=("$wall"); cpu_b+=("$cpu"); fi
  done
done
echo "$from → $to, $rounds rounds, offscreen; seconds of the click, then CPU seconds of the process"
echo "A $a: $(stats "${wall_a[@]}"); CPU $(stats "${cpu_a[@]}")"
echo "B $b: $(stats "${wall_b[@]}"); CPU $(stats "${cpu_b[@]}")"
echo "copies left in $base"
