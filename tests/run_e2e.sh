#!/usr/bin/env bash
# One end-to-end case: copy the case's input files into a fresh directory, run
# the program there with the case's option words, compare what it leaves.
#
# A case folder holds:
#   args             the option words, on one line (may be empty)
#   input/           files laid into the working directory (plc_temp.txt, ...)
#   expected/        files the run must leave, byte for byte; a name ending in
#                    .utf8 is compared after conversion to Shift-JIS (CP932),
#                    so texts stay readable; "stdout" is standard output and
#                    "status" the exit status (0 when absent)
#   absent           optional: names of files that must not exist afterwards
#
# For a Windows build CMake sets HATCH_TARGET=windows: the expected files are
# then compared as text mode writes them there, every LF as CRLF, and
# HATCH_RUN_WITH names what runs the .exe (wine). HATCH_INPUT_LINE_ENDS=crlf
# lays the text inputs down with CRLF line ends, as a Windows host writes them.
set -u
bin=$1
case_dir=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if [ -d "$case_dir/input" ]; then cp -R "$case_dir/input/." "$work/"; fi
if [ "${HATCH_INPUT_LINE_ENDS:-lf}" = crlf ]; then
  for f in "$work"/*; do
    [[ "$f" == *.plk ]] || perl -pi -e 's/\n/\r\n/g' "$f"  # figure files are binary
  done
fi
# A file expected to equal its input is one the run must not touch: it is
# compared with what was laid down, whatever the target's line ends.
mkdir "$work/.laid"
for f in "$work"/*; do [ -f "$f" ] && cp "$f" "$work/.laid/"; done
# The runtime's sine and cosine decide the last digits of these cases' numbers
# (a cos(90 degrees) residue of about 6e-17, then what follows from it), and
# Windows' differ from glibc's: on Windows they are compared within 1e-9.
libm_cases=" angles-two angles-three "
args=""
[ -f "$case_dir/args" ] && args=$(head -n 1 "$case_dir/args")
# shellcheck disable=SC2086
(cd "$work" && timeout 60 ${HATCH_RUN_WITH:+"$HATCH_RUN_WITH"} "$bin" $args </dev/null >"$work/.stdout" 2>"$work/.stderr"; echo $? >"$work/.status")
failed=0
expected_status=0
[ -f "$case_dir/expected/status" ] && expected_status=$(tr -d '[:space:]' <"$case_dir/expected/status")
actual_status=$(cat "$work/.status")
if [ "$actual_status" != "$expected_status" ]; then
  echo "exit status: expected $expected_status, got $actual_status"
  failed=1
fi
if [ -s "$work/.stderr" ]; then
  echo "standard error was not empty:"; cat "$work/.stderr"; failed=1
fi
for want in "$case_dir"/expected/*; do
  [ -e "$want" ] || continue
  name=$(basename "$want")
  [ "$name" = status ] && continue
  target=$name
  reference=$want
  if [[ "$name" == *.utf8 ]]; then
    target=${name%.utf8}
    reference="$work/.expected.$target"
    iconv -f UTF-8 -t CP932 "$want" >"$reference" || { echo "cannot convert $name"; failed=1; continue; }
  fi
  actual="$work/$target"
  [ "$target" = stdout ] && actual="$work/.stdout"
  if [ ! -f "$actual" ]; then
    echo "missing file: $target"; failed=1; continue
  fi
  if [ -f "$case_dir/input/$target" ] && cmp -s "$want" "$case_dir/input/$target"; then
    reference="$work/.laid/$target"
  elif [ "${HATCH_TARGET:-}" = windows ]; then
    perl -pe 's/\n/\r\n/g' "$reference" >"$work/.expected.crlf.$target"
    reference="$work/.expected.crlf.$target"
    if [[ "$libm_cases" == *" $(basename "$case_dir") "* ]] &&
       "$(dirname "$0")/near_equal.sh" "$reference" "$actual"; then
      continue
    fi
  fi
  if ! cmp -s "$reference" "$actual"; then
    echo "differs: $target"
    diff <(iconv -f CP932 -t UTF-8 "$reference" 2>/dev/null || cat "$reference") \
         <(iconv -f CP932 -t UTF-8 "$actual" 2>/dev/null || cat "$actual") | head -40
    failed=1
  fi
done
if [ -f "$case_dir/absent" ]; then
  while read -r name; do
    [ -n "$name" ] && [ -e "$work/$name" ] && { echo "file should not exist: $name"; failed=1; }
  done <"$case_dir/absent"
fi
exit $failed
