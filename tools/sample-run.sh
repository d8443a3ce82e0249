#!/bin/sh
# Runs the program on a sample drawing as the host would, then draws the
# drawing with the program's result on top as an SVG picture.
#
#   tools/sample-run.sh [NAME]   one example (default: room-plan)
#   tools/sample-run.sh --all    every example
#   tools/sample-run.sh --list   the example names
#
# BUILD_DIR (default: build) and JOBS (parallel build jobs) may be set.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash tools/deps.sh
build=${BUILD_DIR:-build}
case $build in
  /*) ;;
  *) build=$root/$build ;;
esac

names=
choice=${1:-room-plan}
case $choice in
  -h|--help)
    sed -n '2,9p' "$0" | sed 's/^# \{0,1\}//'
    exit 0 ;;
  --list)
    for d in examples/*/; do basename "$d"; done
    exit 0 ;;
  --all)
    for d in examples/*/; do names="$names $(basename "$d")"; done ;;
  *)
    if [ ! -f "examples/$choice/plc_temp.txt" ]; then
      echo "sample-run: no example named '$choice' (try --list)" >&2
      exit 2
    fi
    names=$choice ;;
esac

# No cache option is set here, so this shares the build folder with tools/test.sh
# without changing how that one builds; only the two programs it runs are built.
cmake -S . -B "$build" -G Ninja >/dev/null
if [ -n "${JOBS:-}" ]; then
  cmake --build "$build" -j "$JOBS" --target hatch hatch-view
else
  cmake --build "$build" --target hatch hatch-view
fi

sample=$build/sample
mkdir -p "$sample"
status=0
for name in $names; do
  scratch=$sample/$name
  rm -rf "$scratch"
  mkdir -p "$scratch"
  cp "examples/$name/plc_temp.txt" "$scratch/plc_temp.txt"
  # The run replaces plc_temp.txt, so the drawing as the host wrote it is kept aside.
  cp "examples/$name/plc_temp.txt" "$scratch/input.txt"
  for figure in "examples/$name"/*.plk; do
    if [ -f "$figure" ]; then cp "$figure" "$scratch/"; fi
  done
  args=
  if [ -f "examples/$name/args" ]; then args=$(head -n 1 "examples/$name/args"); fi

  set -f  # the option words are passed as they are, never globbed
  rc=0
  (cd "$scratch" && exec timeout 60 "$build/hatch" $args) || rc=$?
  set +f
  if [ "$rc" -eq 124 ]; then
    echo "sample-run: $name: the run did not end within 60 s" >&2
    status=1
    continue
  fi

  svg=$sample/$name.svg
  if [ -f "$scratch/plc_temp.txt" ]; then
    "$build/hatch-view" "$scratch/input.txt" "$scratch/plc_temp.txt" -o "$svg"
  else
    "$build/hatch-view" "$scratch/input.txt" -o "$svg"
  fi
  lines=$(wc -l 2>/dev/null < "$scratch/plc_temp.txt" || echo 0)
  echo "$name: hatch $args -> exit $rc, $lines command lines; picture: $svg"
done
exit $status
