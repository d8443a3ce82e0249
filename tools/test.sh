#!/usr/bin/env bash
# Builds the project and runs every test: unit tests, end-to-end cases and the
# real drawings. Usage: tools/test.sh [build-dir]; HATCH_SANITIZE=1 for ASan+UBSan.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh
dir=${1:-build}
sanitize=OFF
[ "${HATCH_SANITIZE:-0}" = 1 ] && sanitize=ON
cmake -S . -B "$dir" -G Ninja -DHATCH_SANITIZE=$sanitize -DHATCH_WERROR=ON >/dev/null
cmake --build "$dir" -j"$(nproc)"
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$dir" --output-on-failure -j"$(nproc)"
