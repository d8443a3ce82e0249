#!/usr/bin/env bash
# compare_drawings.sh LINUX_HATCH WINDOWS_HATCH DRAWINGS: every real drawing,
# run with each word of its args file, by a Linux build and by a Windows build
# (through HATCH_RUN_WITH, wine). The Windows run must leave what the Linux run
# leaves as text mode writes it there, every LF as CRLF, the same status and an
# empty standard error; numbers may differ within 1e-9 where the runtimes' sine
# and cosine do (tests/near_equal.sh).
set -u
linux=$1
windows=$2
drawings=$3
here=$(cd "$(dirname "$0")" && pwd)
exact=0 near=0 failed=0
for dir in "$drawings"/*/; do
  [ -f "$dir/plc_temp.txt" ] || continue
  name=$(basename "$dir")
  args=()
  [ -f "$dir/args" ] && IFS=$' \t\r\n' read -r -d '' -a args <"$dir/args"
  work=$(mktemp -d)
  for side in linux windows; do
    mkdir "$work/$side"
    cp "$dir/plc_temp.txt" "$work/$side/"
    if [ $side = linux ]; then run=("$linux"); else run=(${HATCH_RUN_WITH:+"$HATCH_RUN_WITH"} "$windows"); fi
    (cd "$work/$side" && timeout 300 "${run[@]}" "${args[@]}" </dev/null >.stdout 2>.stderr; echo $? >.status)
  done
  problem=""
  if [ "$(cat "$work/linux/.status")" != "$(cat "$work/windows/.status")" ]; then
    problem="status $(cat "$work/linux/.status") on Linux, $(cat "$work/windows/.status") on Windows"
  elif [ -s "$work/windows/.stderr" ]; then
    problem="standard error not empty: $(head -c 300 "$work/windows/.stderr")"
  fi
  kind=exact
  for f in plc_temp.txt hatchlog.txt .stdout; do
    [ -n "$problem" ] && break
    if [ ! -f "$work/linux/$f" ]; then
      [ -f "$work/windows/$f" ] && problem="$f left only on Windows"
      continue
    fi
    [ -f "$work/windows/$f" ] || { problem="$f missing"; break; }
    perl -pe 's/\n/\r\n/g' "$work/linux/$f" >"$work/want"
    if cmp -s "$work/want" "$work/windows/$f"; then continue; fi
    if "$here/near_equal.sh" "$work/want" "$work/windows/$f"; then kind=near; continue; fi
    problem="$f differs"
    diff "$work/want" "$work/windows/$f" | head -10
  done
  if [ -n "$problem" ]; then
    echo "$name: $problem"; failed=$((failed + 1))
  elif [ $kind = near ]; then
    echo "$name: numbers within 1e-9"; near=$((near + 1))
  else
    exact=$((exact + 1))
  fi
  rm -rf "$work"
done
echo "drawings as on Linux: $exact byte for byte, $near within 1e-9"
echo "$((exact + near)) passed, $failed failed"
[ $failed -eq 0 ]
