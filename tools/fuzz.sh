#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, ASan + UBSan) and runs each for
# SECONDS (default 60) from its corpus, one after another. A crash, a sanitizer
# report, a failed check of the harness (fuzz/README.md), a run that does not
# end, a leak or an exhausted memory is a finding: its input is kept under
# BUILD/fuzz/findings/TARGET/ and the script exits non-zero once all targets ran.
#
#   tools/fuzz.sh [SECONDS] [TARGET ...]     targets: fuzz_exchange_line ... (default: all)
#
# FUZZ_BUILD_DIR (default build-fuzz); FUZZ_FLAGS adds libFuzzer flags;
# FUZZ_KEEP_GOING=1 restarts a target after a finding for the time left. The
# corpus each target grows is kept in BUILD/fuzz/corpus/TARGET for the next run;
# the table of executions, speed and coverage goes to BUILD/fuzz/summary.txt.
set -uo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
build=${FUZZ_BUILD_DIR:-build-fuzz}
case $build in
  /*) ;;
  *) build=$PWD/$build ;;
esac
# The harness makes its scratch directories here; a crashed target leaves its own behind.
export TMPDIR=$build/fuzz/tmp

bash tools/deps.sh
if ! command -v clang++ >/dev/null || ! ls "$(clang++ --print-runtime-dir)"/libclang_rt.fuzzer-*.a >/dev/null 2>&1; then
  echo "fuzz.sh: needs clang++ and the libFuzzer runtime (Debian: apt-get install clang libclang-rt-14-dev)" >&2
  exit 2
fi

cmake -S . -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DHATCH_FUZZ=ON -DHATCH_TESTS=OFF -DHATCH_BENCH=OFF \
  >/dev/null || exit 2
cmake --build "$build" -j"$(nproc)" || exit 2
rm -rf "$TMPDIR" && mkdir -p "$TMPDIR"
"$build/fuzz/fuzz_harness_check" || exit 2
bash fuzz/make_corpus.sh "$build/fuzz/seeds" "$build/fuzz/hatch_fuzz_seeds" || exit 2
failed=0
# Every whole-run seed twice in one process: a run must leave nothing that changes the next.
echo "== every whole-run seed twice"
if ! HATCH_FUZZ_REPEAT=1 "$build/fuzz/fuzz_run" -runs=0 "$build/fuzz/seeds/run" >"$build/fuzz/repeat.log" 2>&1; then
  grep -E '^== hatch fuzz|ERROR' "$build/fuzz/repeat.log" | head -n 5
  echo "   FINDING: see $build/fuzz/repeat.log"
  failed=1
fi

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(fuzz_exchange_line fuzz_exchange_double fuzz_exchange_brick fuzz_exchange_fan fuzz_exchange_slant
    fuzz_exchange_band fuzz_exchange_breaks fuzz_exchange_outlines fuzz_options fuzz_figure_tiled
    fuzz_figure_whole fuzz_figure_random fuzz_run)
fi

export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
summary=$build/fuzz/summary.txt
printf '%-24s %8s %10s %8s %6s %7s  %s\n' target seconds executions exec/s cov ft result >"$summary"
for t in "${targets[@]}"; do
  case $t in
    fuzz_exchange_*) seeds=exchange ;;
    fuzz_figure_*) seeds=figure ;;
    fuzz_options) seeds=options ;;
    fuzz_run) seeds=run ;;
    *) echo "fuzz.sh: no target $t" >&2; exit 2 ;;
  esac
  corpus=$build/fuzz/corpus/$t
  findings=$build/fuzz/findings/$t
  log=$build/fuzz/$t.log
  mkdir -p "$corpus" "$findings"
  # The seeds join the corpus the target grows, so that an input that stopped it
  # can be taken out before it starts again.
  cp -n "$build/fuzz/seeds/$seeds"/* "$corpus"/
  echo "== $t: $seconds s"
  : >"$log"
  began=$(date +%s)
  execs=0
  findings_here=0
  # With FUZZ_KEEP_GOING=1 a target that stops at a finding starts again for the
  # time left, so that one known fault does not end a long campaign.
  while :; do
    left=$((seconds - ($(date +%s) - began)))
    [ "$left" -gt 0 ] || break
    # The harness interrupts a run after 10 s of processor time and tells a stall
    # from a run busy writing; the timeout, in wall time, only has to outlast
    # that on a loaded machine, with libFuzzer's second run of an input whose
    # allocations it cannot match.
    # shellcheck disable=SC2086
    nice -n 10 "$build/fuzz/$t" -max_total_time="$left" -timeout=180 -report_slow_units=3 -rss_limit_mb=2048 \
      -dict=fuzz/hatch.dict -artifact_prefix="$findings/" -print_final_stats=1 ${FUZZ_FLAGS:-} \
      "$corpus" >"$log.part" 2>&1
    status=$?
    cat "$log.part" >>"$log"
    n=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log.part" | tail -n 1)
    [ -n "$n" ] || n=$(grep -o '^#[0-9]*' "$log.part" | tail -n 1 | tr -d '#')
    execs=$((execs + ${n:-0}))
    [ $status -eq 0 ] && break
    findings_here=$((findings_here + 1))
    grep -E '^== hatch fuzz|ERROR: libFuzzer|ERROR: AddressSanitizer|runtime error|SUMMARY|Test unit written' \
      "$log.part" | head -n 8
    [ "${FUZZ_KEEP_GOING:-0}" = 1 ] || break
    # The finding is kept in findings/; its copy in the corpus would stop the next start at once.
    artifact=$(grep -o 'Test unit written to [^ ]*' "$log.part" | tail -n 1 | sed 's/.*written to //')
    sha=${artifact##*-}
    if [ -n "$sha" ]; then
      for f in "$corpus"/*; do
        [ "$(sha1sum <"$f" | cut -d' ' -f1)" = "$sha" ] && rm -f "$f"
      done
    fi
  done
  rm -f "$log.part"
  elapsed=$(($(date +%s) - began))
  speed=$((execs / (elapsed > 0 ? elapsed : 1)))
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1 | cut -d' ' -f2)
  ft=$(grep -o 'ft: [0-9]*' "$log" | tail -n 1 | cut -d' ' -f2)
  result=ok
  if [ $findings_here -gt 0 ]; then
    result="FINDINGS: $findings_here"
    failed=1
  fi
  printf '%-24s %8s %10s %8s %6s %7s  %s\n' "$t" "$elapsed" "$execs" "$speed" "${cov:-?}" "${ft:-?}" "$result" |
    tee -a "$summary"
  ls "$findings" | grep -q '^slow-unit-' && echo "   slow inputs (3 s or more) kept in $findings"
done
echo "== summary ($summary)"
cat "$summary"
exit $failed
