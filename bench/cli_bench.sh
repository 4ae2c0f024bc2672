#!/bin/sh
# The command-line converter against the iconv tool on the benchmark corpus:
# one large file each way, and the chapters (the converter given all their
# names at once, the tool in a shell loop, as a user would run each).
#
#   bench/cli_bench.sh BIXIQIN-CONVERT CORPUS [ROUNDS]
#
# Rounds alternate the two programs (A B A B ...), each in a fresh copy of
# the sources; the medians, with min and max, are printed in seconds.
set -eu
program=$(realpath "$1")
corpus=$(realpath "$2")
rounds=${3:-5}
scratch=$(mktemp -d "$corpus/cli-bench-XXXXXX")
trap 'rm -rf "$scratch"' EXIT

now() { date +%s.%N; }

# stats NAME FILE: the median, min and max of the numbers in FILE.
stats() {
  sort -g "$2" | awk -v name="$1" '{ v[NR] = $1 } END {
    m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
    printf "%-44s median %8.3f s  (min %.3f, max %.3f, %d rounds)\n", name, m, v[1], v[NR], NR }'
}

# One timed run of a command in a fresh folder holding copies of the sources.
timed() {
  out=$1; shift
  sync
  start=$(now)
  "$@" >/dev/null
  end=$(now)
  awk -v a="$end" -v b="$start" 'BEGIN { print a - b }' >> "$out"
}

big() {  # FILE FROM TO
  name=$1 from=$2 to=$3
  : > "$scratch/ours" ; : > "$scratch/tool"
  for r in $(seq "$rounds"); do
    d="$scratch/big-$r"; mkdir -p "$d"; cp "$corpus/big/$name" "$d/"
    timed "$scratch/ours" "$program" --quiet --from "$from" --to "$to" "$d/$name"
    timed "$scratch/tool" sh -c 'iconv -f "$1" -t "$2" "$3" > "$4"' sh "$from" "$to" "$d/$name" "$d/tool.out"
    rm -rf "$d"
  done
  size=$(stat -c %s "$corpus/big/$name")
  echo "one $(( size / 1000000 )) MB file, $from -> $to"
  stats "  bixiqin-convert" "$scratch/ours"
  stats "  iconv tool" "$scratch/tool"
}

chapters() {  # FOLDER FROM TO
  folder=$1 from=$2 to=$3
  : > "$scratch/ours" ; : > "$scratch/tool"
  for r in $(seq "$rounds"); do
    d="$scratch/ch-$r"; mkdir -p "$d/ours" "$d/tool"
    cp "$corpus/$folder"/[0-9]*.txt "$d/ours/"; cp "$corpus/$folder"/[0-9]*.txt "$d/tool/"
    timed "$scratch/ours" sh -c '"$1" --quiet --from "$2" --to "$3" "$4"/[0-9]*.txt' sh "$program" "$from" "$to" "$d/ours"
    timed "$scratch/tool" sh -c 'for f in "$3"/[0-9]*.txt; do iconv -f "$1" -t "$2" "$f" > "$3/$2  ${f##*/}" || exit 1; done' sh "$from" "$to" "$d/tool"
    rm -rf "$d"
  done
  echo "$(ls "$corpus/$folder" | grep -c '^[0-9]') chapters, $from -> $to"
  stats "  bixiqin-convert (all names at once)" "$scratch/ours"
  stats "  iconv tool (shell loop)" "$scratch/tool"
}

big utf8.txt UTF-8 GBK
big gbk.txt GBK UTF-8
chapters small-utf8 UTF-8 GBK
chapters small-gbk GBK UTF-8
