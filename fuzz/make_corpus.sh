#!/usr/bin/env bash
# Lays out the seed corpora of the fuzz targets, one folder per input kind:
#   exchange/  exchange files: examples, end-to-end inputs, generated ones
#   figure/    figure files: those of the end-to-end cases and generated ones
#   options/   containers of option words, command file and settings log
#   run/       containers of whole runs: every example, end-to-end case and real drawing as it is run
# Nothing is copied into git: the seeds come from the project's own files.
# Usage: fuzz/make_corpus.sh OUT_DIR SEED_GENERATOR
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$1
generator=$2
rm -rf "$out"
mkdir -p "$out/exchange" "$out/figure" "$out/options" "$out/run"

# A container: the words, then each file of the folder as a "=====NAME" section.
container() {
  local words=$1 dir=$2 f
  printf '%s' "$words"
  if [ -d "$dir" ]; then
    for f in "$dir"/*; do
      [ -f "$f" ] || continue
      printf '\n=====%s\n' "$(basename "$f")"
      cat "$f"
    done
  fi
}

for d in "$root"/examples/*/; do
  name=$(basename "$d")
  args=$(head -n 1 "$d/args" 2>/dev/null || true)
  cp "$d/plc_temp.txt" "$out/exchange/example-$name"
  { printf '%s\n=====plc_temp.txt\n' "$args"; cat "$d/plc_temp.txt"; } >"$out/run/example-$name"
  printf '%s' "$args" >"$out/options/example-$name"
done

for d in "$root"/tests/e2e/*/; do
  name=$(basename "$d")
  args=$(head -n 1 "$d/args" 2>/dev/null || true)
  [ -f "$d/input/plc_temp.txt" ] && cp "$d/input/plc_temp.txt" "$out/exchange/e2e-$name"
  for f in "$d"/input/*.plk; do
    [ -f "$f" ] && cp "$f" "$out/figure/e2e-$name-$(basename "$f" .plk)"
  done
  container "$args" "$d/input" >"$out/run/e2e-$name"
  # The option target brings its own drawing: only the words and the files it reads.
  {
    printf '%s' "$args"
    [ -f "$d/input/hatchlog.txt" ] && { printf '\n=====hatchlog.txt\n'; cat "$d/input/hatchlog.txt"; }
    true
  } >"$out/options/e2e-$name"
done

# The real drawings beside the project, when they are there (their args: one word a
# line), as whole runs only: hundreds of edges make each run slow, and the exchange
# targets gain more from many small drawings than from a few large ones.
drawings=$root/../shared/drawings
if [ -d "$drawings" ]; then
  for d in "$drawings"/*/; do
    [ -f "$d/plc_temp.txt" ] || continue
    name=$(basename "$d")
    args=$(tr '\n' ' ' <"$d/args" 2>/dev/null || true)
    { printf '%s\n=====plc_temp.txt\n' "$args"; cat "$d/plc_temp.txt"; } >"$out/run/drawing-$name"
  done
fi

"$generator" "$out"
echo "make_corpus: $(ls "$out/exchange" | wc -l) exchange, $(ls "$out/figure" | wc -l) figure," \
  "$(ls "$out/options" | wc -l) options, $(ls "$out/run" | wc -l) run seeds in $out"
