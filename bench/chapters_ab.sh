#!/bin/bash
# Two builds of the window bench side by side on the 10,000 chapters: each
# round runs both (the first of the pair alternating), each in a fresh copy
# of the chapters, and prints the medians with min and max of the click's
# time, of the process's CPU time (user + system), of its voluntary context
# switches (a thread waiting for another), of the longest wait between two
# turns of the window's 1 ms timer and of the process's peak memory.
#
#   bench/chapters_ab.sh BENCH-A BENCH-B CORPUS ROOT [ROUNDS] [GBK|UTF-8] [offscreen|xcb] [COPIES]
#
# COPIES (default 1) lists the chapters that many times over, each copy
# under names of its own, for a longer list.
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
copies=${8:-1}
if [ "$from" = GBK ]; then to=UTF-8; chapters=$corpus/small-gbk; else to=GBK; chapters=$corpus/small-utf8; fi
mkdir -p "$root"
base=$(mktemp -d "$root/chapters-ab-XXXXXX")

# stats DIGITS NUMBERS...: the median (min–max), with DIGITS decimals.
stats() {
  local digits=$1
  shift
  printf '%s\n' "$@" | sort -n | awk -v d="$digits" '{v[NR]=$1} END{m=(NR%2)?v[(NR+1)/2]:(v[NR/2]+v[NR/2+1])/2; f="%." d "f"; printf f " (" f "–" f ")", m, v[1], v[NR]}'
}

declare -a wall_a wall_b cpu_a cpu_b sw_a sw_b gap_a gap_b rss_a rss_b
for r in $(seq "$rounds"); do
  if [ $((r % 2)) = 1 ]; then order="a b"; else order="b a"; fi
  for m in $order; do
    if [ "$m" = a ]; then bench=$a; else bench=$b; fi
    dir=$base/$m$r
    mkdir "$dir"
    if [ "$copies" = 1 ]; then
      cp "$chapters"/[0-9]*.txt "$dir"/
    else
      for c in $(seq "$copies"); do
        for f in "$chapters"/[0-9]*.txt; do cp "$f" "$dir/$c-${f##*/}"; done
      done
    fi
    sync
    line=$(/usr/bin/time -o "$dir.time" -f "%U %S %w %M" "$bench" --child window "$platform" 0 "$from" "$to" "$dir" 2>/dev/null)
    wall=$(printf '%s\n' "$line" | sed -n 's/.*seconds=\([0-9.]*\).*/\1/p')
    gap=$(printf '%s\n' "$line" | sed -n 's/.*gap=\([0-9.]*\).*/\1/p' | awk '{print $1 * 1000}')
    cpu=$(awk '{print $1 + $2}' "$dir.time")
    switches=$(awk '{print $3}' "$dir.time")
    rss=$(awk '{print $4 / 1024}' "$dir.time")
    if [ "$m" = a ]; then
      wall_a+=("$wall"); cpu_a+=("$cpu"); sw_a+=("$switches"); gap_a+=("$gap"); rss_a+=("$rss")
    else
      wall_b+=("$wall"); cpu_b+=("$cpu"); sw_b+=("$switches"); gap_b+=("$gap"); rss_b+=("$rss")
    fi
  done
done
echo "$from → $to, $copies × the chapters, $rounds rounds, $platform; seconds of the click, CPU seconds and voluntary switches of the process, longest wait, peak memory"
# summary a|b: one build's line.
summary() {
  local -n w=wall_$1 c=cpu_$1 s=sw_$1 g=gap_$1 r=rss_$1
  echo "$(stats 3 "${w[@]}"); CPU $(stats 2 "${c[@]}"); switches $(stats 0 "${s[@]}"); wait $(stats 1 "${g[@]}") ms; peak $(stats 1 "${r[@]}") MiB"
}
echo "A $a: $(summary a)"
echo "B $b: $(summary b)"
echo "copies left in $base"
