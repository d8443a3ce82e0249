#!/usr/bin/env bash
# Every real drawing beside the project, run with its own option words: the run
# must end in time, without a sanitizer report, with status 0, and leave an
# exchange file that ends with the four restore lines.
set -u
bin=$1
drawings=$2
if [ ! -d "$drawings" ]; then
  echo "drawings: skipped, there is no folder $drawings"
  exit 77
fi
failed=0
count=0
for dir in "$drawings"/*/; do
  [ -f "$dir/plc_temp.txt" ] || continue
  name=$(basename "$dir")
  work=$(mktemp -d)
  cp "$dir/plc_temp.txt" "$work/"
  # One option word per line, each passed as it stands.
  words=()
  if [ -f "$dir/args" ]; then
    while IFS= read -r word || [ -n "$word" ]; do
      word=${word%$'\r'}
      [ -n "$word" ] && words+=("$word")
    done <"$dir/args"
  fi
  (cd "$work" && timeout 120 "$bin" "${words[@]}" </dev/null >"$work/.stdout" 2>"$work/.stderr")
  status=$?
  count=$((count + 1))
  if [ $status -ne 0 ]; then
    echo "$name: exit status $status"; head -c 600 "$work/.stderr"; failed=$((failed + 1))
  elif [ -s "$work/.stderr" ]; then
    echo "$name: standard error not empty"; head -c 600 "$work/.stderr"; failed=$((failed + 1))
  elif ! tail -n 4 "$work/plc_temp.txt" | head -n 1 | grep -q '^lg'; then
    echo "$name: the exchange file does not end with the restore lines"; failed=$((failed + 1))
  fi
  rm -rf "$work"
done
echo "drawings: $((count - failed)) passed, $failed failed"
[ $failed -eq 0 ]
